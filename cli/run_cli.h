#pragma once
// The whole of quorvel-cli behind main: reads the command line, checks every value, starts the
// simulated module when asked, opens the port and logs in, performs the one action, closes, and
// reports. Returns the exit code. Tests run it in-process with their own streams.
#include <ostream>

int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
           bool errIsTerminal = false);
