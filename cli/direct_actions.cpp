#include "cli/actions.h"
#include "cli/exit_codes.h"
#include "cli/module_session.h"
#include "commands/module_commands.h"

namespace {

enum {
    DELETE_TEMPLATES_CODE = 0x0C,
    EMPTY_TEMPLATES_CODE = 0x0D,
    SET_SYSTEM_PARAMETER_CODE = 0x0E,
    SET_PASSWORD_CODE = 0x12,
};

const unsigned char clearedPassword[PASSWORD_SIZE] = {0x00, 0x00, 0x00, 0x00};

}  // namespace

void RunHandshake(ActionResult* result) {
    result->message = std::string("logged in with ") + CandidateName(result->passwordCandidate);
}

void RunDelete(int slot, ActionResult* result) {
    result->slot = slot;
    CommandStatus status = DeleteTemplates(slot);
    if (status != 0) {
        FailCommand(DELETE_TEMPLATES_CODE, status, result);
        return;
    }
    result->message = "deleted slot " + std::to_string(slot);
}

void RunErase(ActionResult* result) {
    CommandStatus status = EmptyTemplates();
    if (status != 0) {
        FailCommand(EMPTY_TEMPLATES_CODE, status, result);
        return;
    }
    result->message = "erased the module's library";
}

void RunClearPassword(ActionResult* result) {
    CommandStatus status = SetPassword(clearedPassword);
    if (status != 0) {
        FailCommand(SET_PASSWORD_CODE, status, result);
        return;
    }
    result->message = "the module's password is all zero now";
}

void RunSetBaud(int baudCode, ActionResult* result) {
    CommandStatus status = SetSystemParameter(baudCode);
    if (status != 0) {
        FailCommand(SET_SYSTEM_PARAMETER_CODE, status, result);
        return;
    }
    std::string rate = baudCode == BAUD_CODE_115200 ? "115200" : "57600";
    // The port stays at its own rate, as in the dialog.
    result->message = "the module's baud rate is set to " + rate + "; talk to it with --baud " +
                      rate + " once it uses the new rate";
}
