#pragma once
// The command line of quorvel-sim.
#include <optional>
#include <string>
#include <vector>

#include "sim/finger_sensor.h"
#include "sim/module_model.h"

namespace sim {

struct ProgramOptions {
    std::string link;                  // --link: a symlink to the served device, removed at exit
    std::string device;                // --device: serve this serial device instead of a new pty
    int baud = 57600;                  // --baud: the device's line rate
    Password password{};               // --password HEX8
    std::string finger = "none";       // --finger: none, ID or auto[:ID]
    std::vector<FingerRange> script;   // --script: replaces --finger when given
    size_t chunk = kDefaultChunkSize;  // --chunk
    int pace = 0;                      // --pace BAUD, 0 for none
    std::optional<int> score;          // --score N
    std::string record;                // --record FILE
    std::string control;               // --control PATH
    bool silent = false;               // --silent
};

// Reads the arguments after the program name; false with the reason in `error`.
bool ParseProgramOptions(const std::vector<std::string>& args, ProgramOptions* options,
                         std::string* error);

extern const char* const kUsage;

}  // namespace sim
