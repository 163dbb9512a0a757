#include <cstdio>

#include "cli/actions.h"
#include "cli/exit_codes.h"
#include "cli/frame_watch.h"
#include "commands/module_commands.h"
#include "operations/operation_flows.h"

namespace {

enum { CAPTURE_IMAGE_CODE = 0x01 };

}  // namespace

void FailCommand(int commandCode, CommandStatus status, ActionResult* result) {
    result->exitCode = ExitForStatus(status);
    result->confirmationCode = status > 0 ? status : -1;
    result->message = DescribeFailure(commandCode, status);
}

void NoMatchByRefusal(int commandCode, int confirmationCode, ActionResult* result) {
    char text[120];
    std::snprintf(text, sizeof text,
                  "no match: the module answered %s with confirmation code 0x%02X",
                  CommandName(commandCode).c_str(), confirmationCode & 0xFF);
    result->exitCode = CLI_EXIT_NO_MATCH;
    result->match = 0;
    result->confirmationCode = confirmationCode;
    result->message = text;
}

void FailFlow(OperationEvent finalEvent, ActionResult* result) {
    CommandExchange last = LastCommandExchange();
    if (last.commandCode < 0) {
        FailCommand(CAPTURE_IMAGE_CODE, SendFailed, result);
        return;
    }
    if (!last.answered) {
        FailCommand(last.commandCode, NoReply, result);
        return;
    }
    if (last.replyPacketId != PacketId::Ack) {
        FailCommand(last.commandCode, NotAck, result);
        return;
    }
    if (finalEvent.code == EVT_FINGER_TIMEOUT) {
        result->exitCode = CLI_EXIT_FINGER_TIMEOUT;
        // The last capture found a finger: it was the lift that never came.
        result->message = last.confirmationCode == 0
                              ? "finger time-out: the finger was not lifted within 19 captures"
                              : "finger time-out: no finger came within 19 captures; place it "
                                "when asked";
        return;
    }
    if (last.confirmationCode != 0) {
        FailCommand(last.commandCode, last.confirmationCode, result);
        return;
    }
    // Acknowledged, yet the step failed: the data that should have followed broke off.
    result->exitCode = CLI_EXIT_NO_REPLY;
    result->message = "the module's data after " + CommandName(last.commandCode) + " broke off";
}
