#include <cstdio>

#include "cli/actions.h"
#include "cli/exit_codes.h"
#include "cli/frame_watch.h"
#include "cli/operation_wait.h"
#include "cli/cli_files.h"
#include "commands/module_commands.h"
#include "operations/operation_flows.h"

namespace {

enum { MATCH_FEATURES_CODE = 0x03, SEARCH_TEMPLATES_CODE = 0x04, LOAD_TEMPLATE_CODE = 0x07 };

// Runs kind on the worker. false with the result filled when the run did not succeed; the
// final event is given back either way.
bool RunFlowOnWorker(OperationKind kind, OperationEvent* finalEvent, ActionResult* result) {
    // The console shows no images during a flow; the image action transfers its own.
    showImage = 0;
    if (!RunOperationToEnd(kind, finalEvent)) {
        result->exitCode = CLI_EXIT_HOST_FAILURE;
        result->message = "the operation's worker thread cannot be started";
        return false;
    }
    return true;
}

void SaveTemplate(const TemplateStore& store, const std::string& outPath, const char* what,
                  ActionResult* result) {
    std::string error;
    if (!WriteBytesFile(outPath, store.bytes, static_cast<size_t>(store.length), &error)) {
        result->exitCode = CLI_EXIT_HOST_FAILURE;
        result->message = error;
        return;
    }
    result->file = outPath;
    result->message = std::string(what) + ": " + std::to_string(store.length) +
                      "-byte template saved to " + outPath;
}

// The score of a finished match, or the refusal of the matcher as no match.
void ReportMatch(const CommandExchange& match, ActionResult* result) {
    if (match.confirmationCode != 0) {
        NoMatchByRefusal(MATCH_FEATURES_CODE, match.confirmationCode, result);
        return;
    }
    result->score = match.replyValue;
    result->match = match.replyValue >= MATCH_SCORE_THRESHOLD ? 1 : 0;
    result->exitCode = result->match ? CLI_EXIT_OK : CLI_EXIT_NO_MATCH;
    result->message =
        "score " + std::to_string(match.replyValue) + ": " + (result->match ? "match" : "no match");
}

// True when the last command was this one and the module answered it with an acknowledgement.
bool AnsweredLast(int commandCode, const CommandExchange& last) {
    return last.commandCode == commandCode && last.answered && last.replyPacketId == PacketId::Ack;
}

}  // namespace

void RunEnroll(int slot, ActionResult* result) {
    result->slot = slot;
    SetEnrollSlot(slot);
    OperationEvent done;
    if (!RunFlowOnWorker(ModuleEnroll, &done, result))
        return;
    if (done.code != EVT_MODULE_ENROLL_DONE || done.value != 1) {
        FailFlow(done, result);
        return;
    }
    result->message = "enrolled at slot " + std::to_string(slot);
}

void RunVerify(int slot, ActionResult* result) {
    result->slot = slot;
    // Buffer 2 holds the slot's template before the flow starts, as the dialog loads it.
    CommandStatus loaded = LoadTemplate(slot);
    if (loaded != 0) {
        FailCommand(LOAD_TEMPLATE_CODE, loaded, result);
        return;
    }
    OperationEvent done;
    if (!RunFlowOnWorker(ModuleVerify, &done, result))
        return;
    CommandExchange last = LastCommandExchange();
    // The flow reports a match and a failed match alike as done; the match's own answer tells.
    if (done.code == EVT_VERIFY_DONE && AnsweredLast(MATCH_FEATURES_CODE, last)) {
        ReportMatch(last, result);
        return;
    }
    FailFlow(done, result);
}

void RunIdentify(ActionResult* result) {
    OperationEvent done;
    if (!RunFlowOnWorker(ModuleIdentify, &done, result))
        return;
    CommandExchange last = LastCommandExchange();
    if (done.code == EVT_IDENTIFY_DONE && done.value != 0) {
        result->slot = static_cast<int>(done.value >> 16);
        result->match = 1;
        result->message = "identified: slot " + std::to_string(result->slot);
        return;
    }
    if (done.code == EVT_IDENTIFY_DONE && AnsweredLast(SEARCH_TEMPLATES_CODE, last) &&
        last.confirmationCode != 0) {
        NoMatchByRefusal(SEARCH_TEMPLATES_CODE, last.confirmationCode, result);
        return;
    }
    FailFlow(done, result);
}

void RunEnrollTemplate(const std::string& outPath, ActionResult* result) {
    OperationEvent done;
    if (!RunFlowOnWorker(HostEnroll, &done, result))
        return;
    if (done.code != EVT_HOST_ENROLL_DONE || done.value != 1) {
        FailFlow(done, result);
        return;
    }
    SaveTemplate(enrolledTemplate, outPath, "enrolled", result);
}

void RunCaptureTemplate(const std::string& outPath, ActionResult* result) {
    OperationEvent done;
    if (!RunFlowOnWorker(HostCapture, &done, result))
        return;
    if (done.code != EVT_HOST_CAPTURE_DONE || done.value != 1) {
        FailFlow(done, result);
        return;
    }
    SaveTemplate(capturedTemplate, outPath, "captured", result);
}
