#pragma once
// The control commands of the simulated module, one per line, as they come on standard input or
// on the control socket:
//   place ID | lift | auto [ID] | score N | score off | password HEX8 | silent on|off
//   fault KIND [cmd=HEX] [times=N] [value=N] | clear-faults | captures | page N | quit
// Each line gets one reply line, "ok ..." or "error ...".
#include <string>

#include "sim/module_model.h"

namespace sim {

class ModuleServer;

// Carries out one line (without its line end) and returns the reply line, without its line end.
// `quit` becomes true when the line asks the program to end.
std::string RunControlCommand(ModuleServer& server, const std::string& line, bool* quit);

// Reads a password written as 8 hex digits, e.g. 716d747a for the bytes of "qmtz".
bool ParsePassword(const std::string& text, Password* password);

// Reads a forced score, 0 to 65,535.
bool ParseScore(const std::string& text, int* score);

}  // namespace sim
