#pragma once
// The module that --simulate talks to: the simulated module, served on a pseudo-terminal of the
// program's own, reached through the real serial path. It starts each run with fingers 1 to 9
// enrolled at slots 1 to 9, and places and lifts one finger automatically (0: none ever comes).
// Available on Linux; on Windows starting it fails with a message that says so.
#include <string>

enum { SIMULATED_ENROLLED_FINGERS = 9 };

// True where the simulated module can run; otherwise false with a message that says where it can.
bool SimulationAvailable(std::string* reason);

// Starts the module; false with a message. devicePath receives the path the host opens.
bool StartSimulatedModule(int finger, std::string* devicePath, std::string* error);
void StopSimulatedModule();
