#include "cli/module_session.h"

#include <cstdio>

#include "cli/exit_codes.h"
#include "commands/bulk_transfers.h"
#include "commands/module_commands.h"
#include "link/module_port.h"

namespace {

// Tried in this order; the first is what clear-password sets.
const unsigned char passwordCandidates[CANDIDATE_COUNT][PASSWORD_SIZE] = {
    {0x00, 0x00, 0x00, 0x00},
    {'q', 'm', 't', 'z'},
    {'r', 'd', 'u', 'k'},
};

const char* const candidateNames[CANDIDATE_COUNT + 1] = {
    "the all-zero password", "password candidate 1", "password candidate 2", "the given password"};

void LoginFailed(const SessionSettings& settings, CommandStatus last, ActionResult* result) {
    result->exitCode = ExitForStatus(last);
    if (last > 0) {
        result->confirmationCode = last;
        char code[8];
        std::snprintf(code, sizeof code, "0x%02X", last & 0xFF);
        result->message = settings.passwordGiven
                              ? std::string(
                                    "the module refused the given password (confirmation "
                                    "code ") +
                                    code + "); check --password"
                              : std::string(
                                    "the module refused all three candidate passwords "
                                    "(confirmation code ") +
                                    code + "); give its password with --password";
        return;
    }
    if (last == SendFailed) {
        result->message = settings.port.name + ": writing to the port failed";
        return;
    }
    result->message = "no reply from the module on " + settings.port.name + " at " +
                      std::to_string(settings.baudRate) +
                      " baud; check the cable and the power, and that --baud is the module's rate";
}

}  // namespace

bool OpenModuleSession(const SessionSettings& settings, ActionResult* result) {
    CloseModulePort();
    transferChunkSize = 128;
    if (!OpenModulePort(settings.port.number, settings.baudRate)) {
        result->exitCode = CLI_EXIT_PORT_FAILURE;
        result->message = ExplainPortFailure(settings.port, settings.baudRate);
        return false;
    }
    CommandStatus last = NoReply;
    if (settings.passwordGiven) {
        last = VerifyPassword(settings.password);
        if (last == 0) {
            result->passwordCandidate = GIVEN_PASSWORD;
            return true;
        }
    } else {
        for (int candidate = 0; candidate < CANDIDATE_COUNT; ++candidate) {
            last = VerifyPassword(passwordCandidates[candidate]);
            if (last == 0) {
                result->passwordCandidate = candidate;
                return true;
            }
        }
    }
    LoginFailed(settings, last, result);
    CloseModulePort();
    return false;
}

void CloseModuleSession() {
    CloseModulePort();
}

const char* CandidateName(int candidate) {
    return candidate >= 0 && candidate <= CANDIDATE_COUNT ? candidateNames[candidate] : "none";
}
