#include "cli/operation_wait.h"
#include "operations/event_recorder.h"

namespace {

void WatchEvent(OperationEvent event, void*) {
    TakeOperationEvent(event);
}

}  // namespace

bool OpenOperationSink(std::string*) {
    AttachEventRecorder();
    ClearRecordedEvents();
    WatchOperationEvents(WatchEvent, nullptr);
    return true;
}

void CloseOperationSink() {
    WatchOperationEvents(nullptr, nullptr);
    ClearRecordedEvents();
    DetachEventRecorder();
}

void SetEnrollSlot(int slot) {
    SetSlotField(slot);
}
