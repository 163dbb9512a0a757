#include <memory>

#include "cli/simulated_module.h"
#include "sim/module_server.h"
#include "sim/templates.h"

namespace {

std::unique_ptr<sim::ModuleServer> simulatedModule;

}  // namespace

bool SimulationAvailable(std::string*) {
    return true;
}

bool StartSimulatedModule(int finger, std::string* devicePath, std::string* error) {
    simulatedModule = std::make_unique<sim::ModuleServer>();
    if (!simulatedModule->ok()) {
        *error = "the simulated module cannot start: " + simulatedModule->error();
        simulatedModule.reset();
        return false;
    }
    for (uint32_t enrolled = 1; enrolled <= SIMULATED_ENROLLED_FINGERS; ++enrolled)
        simulatedModule->storePage(enrolled, sim::MergedTemplate(sim::FingerTemplate(enrolled, 1)));
    if (finger == 0) {
        simulatedModule->setFingerPolicy("none");
    } else {
        simulatedModule->setAutoFinger(static_cast<uint32_t>(finger));
    }
    *devicePath = simulatedModule->devicePath();
    return true;
}

void StopSimulatedModule() {
    simulatedModule.reset();
}
