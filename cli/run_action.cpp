#include "cli/actions.h"

void RunAction(const CliRequest& request, ActionResult* result) {
    const std::string& action = request.action;
    if (action == "handshake") {
        RunHandshake(result);
    } else if (action == "enroll") {
        RunEnroll(request.slot, result);
    } else if (action == "verify") {
        RunVerify(request.slot, result);
    } else if (action == "identify") {
        RunIdentify(result);
    } else if (action == "delete") {
        RunDelete(request.slot, result);
    } else if (action == "erase") {
        RunErase(result);
    } else if (action == "clear-password") {
        RunClearPassword(result);
    } else if (action == "set-baud") {
        RunSetBaud(request.baudCode, result);
    } else if (action == "enroll-template") {
        RunEnrollTemplate(request.outPath, result);
    } else if (action == "capture-template") {
        RunCaptureTemplate(request.outPath, result);
    } else if (action == "compare") {
        RunCompare(request.first, request.second, result);
    } else if (action == "image") {
        RunImage(request.outPath, request.rawPath, result);
    }
}
