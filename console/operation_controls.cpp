#include "console/operation_controls.h"

#include "commands/bulk_transfers.h"
#include "commands/module_commands.h"
#include "console/operation_event_texts.h"
#include "console/operation_texts.h"
#include "console/status_line.h"
#include "operations/operation_flows.h"

void StartFromButton(OperationKind kind, bool showImageTicked) {
    showImage = showImageTicked ? 1 : 0;
    StartOperation(kind);
}

void VerifySlot(TemplatePage slot, bool showImageTicked) {
    showImage = showImageTicked ? 1 : 0;
    // Buffer 2 belongs to a running operation: the press is dropped like any other start.
    if (workerThread.load())
        return;
    if (LoadTemplate(slot) != 0) {
        ShowStatus(TEXT_VERIFY_LOAD_FAILED);
        return;
    }
    StartOperation(ModuleVerify);
}

static bool CompareSucceeds() {
    // The two writes would overwrite the feature buffers of a running operation.
    if (workerThread.load())
        return false;
    if (enrolledTemplate.length <= 0 || capturedTemplate.length <= 0)
        return false;
    if (WriteFeatures(1, enrolledTemplate.bytes, enrolledTemplate.length) != 0)
        return false;
    if (WriteFeatures(2, capturedTemplate.bytes, capturedTemplate.length) != 0)
        return false;
    int score = 0;
    if (MatchFeatures(&score) != 0)
        return false;
    return score >= MATCH_SCORE_THRESHOLD;
}

void CompareHostTemplates() {
    ShowStatus(CompareSucceeds() ? TEXT_COMPARE_SUCCEEDED : TEXT_COMPARE_FAILED);
}

void ShowOperationEvent(uint32_t code, uint32_t value) {
    char buffer[OPERATION_TEXT_SIZE];
    const char* text = OperationEventText(code, value, buffer);
    if (text)
        ShowStatus(text);
}
