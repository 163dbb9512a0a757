#include "operations/operation_flows.h"

#include "commands/bulk_transfers.h"
#include "commands/module_commands.h"
#include "console/image_view.h"
#include "operations/operation_events.h"

std::atomic<int> showImage{1};

namespace {

// A step either lets the flow go on or has ended it with its final event.
enum StepResult { GoOn, Ended };

// Posts the place-finger prompt and captures until a finger is on the sensor. Any nonzero result,
// transport failures included, means no finger yet.
StepResult WaitForFinger() {
    PostOperationEvent(EVT_PLACE_FINGER, 1);
    for (int attempt = 1; attempt <= FINGER_WAIT_ATTEMPTS; ++attempt) {
        if (CaptureImage() == 0)
            return GoOn;
    }
    PostOperationEvent(EVT_FINGER_TIMEOUT, 0);
    return Ended;
}

// Captures until the sensor reports no finger; any nonzero result means the finger is lifted.
StepResult WaitForFingerLift() {
    for (int attempt = 1; attempt <= FINGER_WAIT_ATTEMPTS; ++attempt) {
        if (CaptureImage() != 0)
            return GoOn;
    }
    PostOperationEvent(EVT_FINGER_TIMEOUT, 0);
    return Ended;
}

// Transfers and presents the captured image when the option is on. false: the transfer failed.
bool ShowFingerImage() {
    if (!showImage.load())
        return true;
    if (ReadImage() != 0)
        return false;
    PresentImage();
    PostOperationEvent(EVT_IMAGE_READY, 0);
    return true;
}

// Ends a flow that failed: its done event with value 0, and the template reset its step calls for.
StepResult Fail(unsigned doneCode, TemplateStore* reset) {
    if (reset)
        reset->length = 0;
    PostOperationEvent(doneCode, 0);
    return Ended;
}

// The first finger of every flow: wait, prompt to lift, image, features into buffer 1.
StepResult FirstFinger(unsigned doneCode, TemplateStore* resetOnFailure) {
    if (WaitForFinger() == Ended)
        return Ended;
    PostOperationEvent(EVT_LIFT_FINGER, 1);
    if (!ShowFingerImage())
        return Fail(doneCode, resetOnFailure);
    if (ExtractFeatures(1) != 0)
        return Fail(doneCode, resetOnFailure);
    return GoOn;
}

// Host enroll and module enroll share their first nine steps: two placings merged in buffer 1.
// A failure to extract the second finger resets nothing, so an earlier template stays usable.
StepResult TwoFingers(unsigned doneCode) {
    if (FirstFinger(doneCode, &enrolledTemplate) == Ended)
        return Ended;
    if (WaitForFingerLift() == Ended)
        return Ended;
    if (WaitForFinger() == Ended)
        return Ended;
    if (!ShowFingerImage())
        return Fail(doneCode, &enrolledTemplate);
    if (ExtractFeatures(2) != 0)
        return Fail(doneCode, nullptr);
    if (MergeFeatures() != 0)
        return Fail(doneCode, &enrolledTemplate);
    return GoOn;
}

void RunHostEnroll() {
    if (TwoFingers(EVT_HOST_ENROLL_DONE) == Ended)
        return;
    if (ReadFeatures(enrolledTemplate.bytes, &enrolledTemplate.length) != 0) {
        Fail(EVT_HOST_ENROLL_DONE, &enrolledTemplate);
        return;
    }
    PostOperationEvent(EVT_HOST_ENROLL_DONE, 1);
}

void RunModuleEnroll() {
    if (TwoFingers(EVT_MODULE_ENROLL_DONE) == Ended)
        return;
    // The slot is read now, after both fingers, not when the operation started.
    if (StoreTemplate(ReadSlotField()) != 0) {
        Fail(EVT_MODULE_ENROLL_DONE, &enrolledTemplate);
        return;
    }
    PostOperationEvent(EVT_MODULE_ENROLL_DONE, 1);
}

void RunHostCapture() {
    if (FirstFinger(EVT_HOST_CAPTURE_DONE, &capturedTemplate) == Ended)
        return;
    if (ReadFeatures(capturedTemplate.bytes, &capturedTemplate.length) != 0) {
        Fail(EVT_HOST_CAPTURE_DONE, &capturedTemplate);
        return;
    }
    PostOperationEvent(EVT_HOST_CAPTURE_DONE, 1);
}

// Buffer 2 holds the template that the dialog loaded before the start.
void RunModuleVerify() {
    if (FirstFinger(EVT_VERIFY_DONE, nullptr) == Ended)
        return;
    int score = 0;
    bool match = MatchFeatures(&score) == 0 && score >= MATCH_SCORE_THRESHOLD;
    PostOperationEvent(EVT_VERIFY_DONE, match ? 1 : 0);
}

// Every successful search counts as identified; its score is not looked at.
void RunModuleIdentify() {
    if (FirstFinger(EVT_IDENTIFY_DONE, nullptr) == Ended)
        return;
    int page = 0;
    if (SearchTemplates(&page) != 0) {
        PostOperationEvent(EVT_IDENTIFY_DONE, 0);
        return;
    }
    PostOperationEvent(EVT_IDENTIFY_DONE, IdentifiedValue(page));
}

}  // namespace

void RunFlow(OperationKind kind) {
    switch (kind) {
        case HostEnroll:
            RunHostEnroll();
            break;
        case HostCapture:
            RunHostCapture();
            break;
        case ModuleEnroll:
            RunModuleEnroll();
            break;
        case ModuleVerify:
            RunModuleVerify();
            break;
        case ModuleIdentify:
            RunModuleIdentify();
            break;
        case NoOperation:
            break;
    }
}
