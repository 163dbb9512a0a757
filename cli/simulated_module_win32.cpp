#include "cli/simulated_module.h"

bool SimulationAvailable(std::string* reason) {
    *reason =
        "--simulate is available on Linux only (the simulated module needs a "
        "pseudo-terminal); on Windows give --port with the module attached";
    return false;
}

bool StartSimulatedModule(int, std::string*, std::string* error) {
    return SimulationAvailable(error);
}

void StopSimulatedModule() {}
