#pragma once
// The simulated module served in this process on a new pseudo-terminal, with the host's port 3
// pointed at it and open, for the length of one measurement.
#include "sim/module_server.h"

namespace bench {

enum { BENCH_PORT = 3 };

class ModuleSession {
  public:
    // paceBaud 0: the module sends as fast as the pseudo-terminal takes its bytes.
    ModuleSession(int paceBaud, int portBaud);
    ~ModuleSession();
    ModuleSession(const ModuleSession&) = delete;
    ModuleSession& operator=(const ModuleSession&) = delete;

    sim::ModuleServer& module() { return module_; }

  private:
    sim::ModuleServer module_;
};

// Ends the benchmark with a message when something that a measurement depends on failed: a
// figure taken from a failing transfer would mean nothing.
void Require(bool condition, const char* what);

}  // namespace bench
