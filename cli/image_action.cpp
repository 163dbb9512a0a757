#include <cstdio>

#include "cli/actions.h"
#include "cli/cli_output.h"
#include "cli/exit_codes.h"
#include "cli/frame_watch.h"
#include "cli/image_files.h"
#include "commands/bulk_transfers.h"
#include "commands/module_commands.h"
#include "operations/operation_flows.h"

namespace {

enum { CAPTURE_IMAGE_CODE = 0x01, READ_IMAGE_CODE = 0x0A };

// The flows' finger wait: at most 19 captures with no pause; any nonzero answer is no finger yet.
CommandStatus WaitForFingerOnSensor() {
    WritePrompt("Place finger");
    CommandStatus status = NoReply;
    for (int attempt = 1; attempt <= FINGER_WAIT_ATTEMPTS; ++attempt) {
        status = CaptureImage();
        if (status == 0)
            return 0;
    }
    return status;
}

bool SaveImage(const std::string& pngPath, const std::string& rawPath, ActionResult* result) {
    std::string error;
    if (!pngPath.empty() && !WriteImagePng(pngPath, &error)) {
        result->exitCode = CLI_EXIT_HOST_FAILURE;
        result->message = error;
        return false;
    }
    if (!rawPath.empty() && !WritePackedImage(rawPath, &error)) {
        result->exitCode = CLI_EXIT_HOST_FAILURE;
        result->message = error;
        return false;
    }
    return true;
}

}  // namespace

void RunImage(const std::string& pngPath, const std::string& rawPath, ActionResult* result) {
    CommandStatus captured = WaitForFingerOnSensor();
    if (captured > 0) {
        result->exitCode = CLI_EXIT_FINGER_TIMEOUT;
        result->message = "finger time-out: no finger came within 19 captures; place it when asked";
        return;
    }
    if (captured != 0) {
        FailCommand(CAPTURE_IMAGE_CODE, captured, result);
        return;
    }
    WritePrompt("Lift finger");
    BeginImageProgress(ErrIsTerminal());
    CommandStatus status = ReadImage();
    EndImageProgress();
    if (status != 0) {
        FailCommand(READ_IMAGE_CODE, status, result);
        return;
    }
    // A stream that ended early leaves the rest of the picture stale: nothing is saved from it.
    if (imagePixelCount.load() != IMAGE_PIXELS) {
        char text[120];
        std::snprintf(text, sizeof text, "the image arrived incomplete: %d of %d bytes",
                      imagePixelCount.load() / 2, static_cast<int>(PACKED_IMAGE_SIZE));
        result->exitCode = CLI_EXIT_NO_REPLY;
        result->message = text;
        return;
    }
    if (!SaveImage(pngPath, rawPath, result))
        return;
    result->file = pngPath;
    result->rawFile = rawPath;
    result->message = "image of 256 x 288 saved to " + (pngPath.empty() ? rawPath : pngPath);
    if (!pngPath.empty() && !rawPath.empty())
        result->message += " and " + rawPath;
}
