#include "sim/program_options.h"

#include "sim/control_commands.h"

namespace sim {

const char* const kUsage =
    "usage: quorvel-sim [options]\n"
    "  --link PATH          keep a symlink PATH to the served device, removed at exit\n"
    "  --device PATH        serve a real serial device instead of a new pseudo-terminal\n"
    "  --baud N             line rate for --device (default 57600)\n"
    "  --password HEX8      the module password as 8 hex digits (default 00000000)\n"
    "  --finger POLICY      none (default), ID, or auto[:ID]\n"
    "  --script SPEC        ID@FROM-TO[,ID@FROM-TO...] by CaptureImage attempt, from 1\n"
    "  --chunk N            data bytes per frame in streams: 32, 64, 128 (default), 256\n"
    "  --pace BAUD          send no faster than BAUD allows at 11 bit times per byte\n"
    "  --score N            force every match and search score to N\n"
    "  --record FILE        append every frame received as a line of hex bytes\n"
    "  --control PATH       also accept control commands on a unix socket at PATH\n"
    "  --silent             never answer\n";

bool ParseProgramOptions(const std::vector<std::string>& args, ProgramOptions* options,
                         std::string* error) {
    ProgramOptions parsed;
    bool fingerGiven = false;
    bool scriptGiven = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& name = args[i];
        if (name == "--silent") {
            parsed.silent = true;
            continue;
        }
        if (i + 1 >= args.size()) {
            *error = name.rfind("--", 0) == 0 ? name + " needs a value" : "unknown option " + name;
            return false;
        }
        const std::string& value = args[++i];
        uint32_t number = 0;
        FingerSensor check;
        bool good = true;
        if (name == "--link") {
            parsed.link = value;
        } else if (name == "--device") {
            parsed.device = value;
        } else if (name == "--baud") {
            good = ParsePositive(value, 4000000, &number);
            parsed.baud = static_cast<int>(number);
        } else if (name == "--password") {
            good = ParsePassword(value, &parsed.password);
        } else if (name == "--finger") {
            good = ApplyFingerPolicy(value, &check);
            parsed.finger = value;
            fingerGiven = true;
        } else if (name == "--script") {
            good = ParseFingerScript(value, &parsed.script);
            scriptGiven = true;
        } else if (name == "--chunk") {
            good = ParsePositive(value, 256, &number) &&
                   (number == 32 || number == 64 || number == 128 || number == 256);
            parsed.chunk = number;
        } else if (name == "--pace") {
            good = ParsePositive(value, 4000000, &number);
            parsed.pace = static_cast<int>(number);
        } else if (name == "--score") {
            int score = 0;
            good = ParseScore(value, &score);
            parsed.score = score;
        } else if (name == "--record") {
            parsed.record = value;
        } else if (name == "--control") {
            parsed.control = value;
        } else {
            *error = "unknown option " + name;
            return false;
        }
        if (!good || value.empty()) {
            *error = "bad value for " + name + ": " + value;
            return false;
        }
    }
    if (fingerGiven && scriptGiven) {
        *error = "--finger and --script each set the sensor: give one of them";
        return false;
    }
    *options = parsed;
    return true;
}

}  // namespace sim
