// quorvel-cli: the fingerprint module's test console for scripts and terminals.
#include <iostream>

#include "cli/run_cli.h"
#include "cli/terminal.h"

int main(int argc, char** argv) {
    return RunCli(argc, argv, std::cout, std::cerr, StandardErrorIsTerminal());
}
