#include "cli/cli_options.h"

#include <CLI/CLI.hpp>

namespace {

const char* const ACTIONS[] = {
    "handshake",      "enroll",   "verify",          "identify",         "delete",  "erase",
    "clear-password", "set-baud", "enroll-template", "capture-template", "compare", "image",
};

std::string ActionList() {
    std::string list;
    for (const char* action : ACTIONS) {
        if (!list.empty())
            list += ", ";
        list += action;
    }
    return list;
}

void AddSlot(CLI::App* action, CliOptions* options, const char* what) {
    action->add_option("--slot", options->slot, what)->required()->type_name("N");
}

void AddOut(CLI::App* action, CliOptions* options, const char* what) {
    action->add_option("--out", options->out, what)->required()->type_name("FILE");
}

void DefineActions(CLI::App& app, CliOptions* options) {
    CLI::App* handshake = app.add_subcommand("handshake", "open the port and log in, nothing more");
    (void)handshake;
    AddSlot(app.add_subcommand("enroll",
                               "enroll a finger (two placings) into a slot of the "
                               "module's library"),
            options, "the slot to store at, 0..65535");
    AddSlot(app.add_subcommand("verify",
                               "compare a finger with one slot (1:1); match at a score "
                               "of 80"),
            options, "the slot to compare with, 0..65535");
    app.add_subcommand("identify", "search the module's library for a finger (1:N)");
    AddSlot(app.add_subcommand("delete", "delete one slot of the module's library"), options,
            "the slot to delete, 0..65535");
    app.add_subcommand("erase", "erase the module's whole library (needs --yes)")
        ->add_flag("--yes", options->yes, "confirm that the whole library goes");
    app.add_subcommand("clear-password", "set the module's password to all zero");
    app.add_subcommand("set-baud", "switch the module's serial speed (the port keeps --baud)")
        ->add_option("rate", options->baudValue, "57600 or 115200")
        ->required()
        ->type_name("57600|115200");
    AddOut(app.add_subcommand("enroll-template",
                              "enroll a finger (two placings) on the host and save its 512-byte "
                              "template"),
           options, "the template file to write");
    AddOut(app.add_subcommand("capture-template",
                              "capture a finger (one placing) on the host and save its template"),
           options, "the template file to write");
    app.add_subcommand("compare",
                       "write two template files into the module and match them; "
                       "match at a score of 80")
        ->add_option("files", options->files, "the two template files, 1 to 512 bytes each")
        ->required()
        ->expected(2)
        ->type_name("FILE FILE");
    CLI::App* image = app.add_subcommand("image", "capture a finger and save its image");
    image->add_option("--out", options->out, "an 8-bit greyscale PNG of 256 x 288")
        ->type_name("FILE.png");
    image->add_option("--raw", options->raw, "the 36,864 packed bytes (4 bits a pixel)")
        ->type_name("FILE");
}

}  // namespace

ParseOutcome ParseCliOptions(int argc, const char* const* argv, std::ostream& out,
                             CliOptions* options, std::string* error) {
    CLI::App app(
        "quorvel-cli: the fingerprint module's test console for scripts. Each run opens "
        "the port, logs in, performs one action and closes.",
        "quorvel-cli");
    app.add_option("--port", options->port,
                   "the serial port: a number 1..16 (COM1..COM16 on Windows, the N-th serial "
                   "device on Linux) or a device path (Linux)")
        ->type_name("N|PATH");
    app.add_option("--baud", options->baud, "the port's baud rate (default 57600)")
        ->type_name("RATE");
    app.add_option("--password", options->password,
                   "log in with this password only: 8 hex digits or 4 characters (default: "
                   "the three candidates)")
        ->type_name("HEX8|TEXT4");
    app.add_flag("--simulate", options->simulate,
                 "talk to a simulated module on a pseudo-terminal of the program's own (Linux)");
    app.add_option("--finger", options->finger,
                   "with --simulate: the finger placed and lifted automatically, 1 and up "
                   "(default 1), or 0 for none")
        ->type_name("N");
    app.add_flag("--json", options->json, "print one JSON result object for scripts");
    app.add_flag("--trace", options->trace,
                 "print every frame sent and received, in hex with timestamps, to standard error");
    app.get_formatter()->label("SUBCOMMAND", "ACTION");
    app.require_subcommand(1);
    // The connection options may also follow the action.
    app.fallthrough();
    DefineActions(app, options);
    for (CLI::App* action : app.get_subcommands({}))
        action->group("Actions");
    app.footer(
        "Exit status: 0 success, 1 refused by the module, 2 bad usage, 3 no reply, 4 port "
        "failure, 5 finger time-out, 6 no match, 7 host failure.");

    // CLI11 reports with exceptions; they end here, as a message or as help.
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        app.exit(e, out, out);
        return PARSE_HELP;
    } catch (const CLI::CallForAllHelp& e) {
        app.exit(e, out, out);
        return PARSE_HELP;
    } catch (const CLI::ParseError& e) {
        std::vector<std::string> extras = app.remaining();
        if (!app.get_subcommands().empty()) {
            std::string action = app.get_subcommands().front()->get_name();
            *error = action + ": " + e.what() + " (see quorvel-cli " + action + " --help)";
        } else if (!extras.empty()) {
            *error = "unknown action '" + extras.front() + "'; the actions are " + ActionList();
        } else if (e.get_name() == "RequiredError") {
            *error = "no action given; the actions are " + ActionList();
        } else {
            *error = std::string(e.what()) + " (see quorvel-cli --help)";
        }
        return PARSE_FAILED;
    }
    options->action = app.get_subcommands().front()->get_name();
    return PARSE_RUN;
}
