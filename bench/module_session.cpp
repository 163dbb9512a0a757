#include "bench/module_session.h"

#include <cstdio>
#include <cstdlib>

#include "link/module_port.h"
#include "link/port_device_path.h"

namespace bench {

namespace {

sim::ServerOptions PacedAt(int paceBaud) {
    sim::ServerOptions options;
    options.paceBaud = paceBaud;
    return options;
}

}  // namespace

ModuleSession::ModuleSession(int paceBaud, int portBaud) : module_(PacedAt(paceBaud)) {
    Require(module_.ok(), "the simulated module did not start");
    Require(SetModulePortDevice(BENCH_PORT, module_.devicePath().c_str()) == 1,
            "the port cannot name the pseudo-terminal");
    Require(OpenModulePort(BENCH_PORT, portBaud) == 1, "the port did not open");
}

ModuleSession::~ModuleSession() {
    CloseModulePort();
}

void Require(bool condition, const char* what) {
    if (condition)
        return;
    std::fprintf(stderr, "quorvel-bench: %s\n", what);
    std::exit(1);
}

}  // namespace bench
