#pragma once
// The exit status of quorvel-cli: one code per kind of outcome, so that a script can tell a
// refused command from a silent module or a finger that never came.
#include <string>

#include "commands/command_status.h"

enum CliExit : int {
    CLI_EXIT_OK = 0,
    CLI_EXIT_REFUSED = 1,         // the module answered with a nonzero confirmation code
    CLI_EXIT_USAGE = 2,           // bad command line or input file; nothing was sent
    CLI_EXIT_NO_REPLY = 3,        // the module did not answer, or not with a valid acknowledgement
    CLI_EXIT_PORT_FAILURE = 4,    // the port cannot be opened or configured, or writing failed
    CLI_EXIT_FINGER_TIMEOUT = 5,  // no finger came, or it was never lifted
    CLI_EXIT_NO_MATCH = 6,        // the module's matcher found no match
    CLI_EXIT_HOST_FAILURE = 7,    // an output file cannot be written, or the worker cannot start
};

// The outcome word that goes with each code, as in the JSON result: "ok", "refused", ...
const char* ExitOutcomeName(int exitCode);

// The exit code for a failed command's status: refused, no reply, port failure or bad usage.
int ExitForStatus(CommandStatus status);

// The module command of a command code, as the program names it ("DeleteTemplates"); "command
// 0xNN" for a code it does not send.
std::string CommandName(int code);

// Says why a command failed: "the module refused DeleteTemplates with confirmation code 0x0A",
// "no reply to VerifyPassword", ...
std::string DescribeFailure(int commandCode, CommandStatus status);
