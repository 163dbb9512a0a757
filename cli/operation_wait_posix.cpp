#include <condition_variable>
#include <deque>
#include <mutex>

#include "cli/cli_output.h"
#include "cli/operation_wait.h"
#include "operations/event_recorder.h"

namespace {

std::mutex eventLock;
std::condition_variable eventArrived;
std::deque<OperationEvent> arrivedEvents;

// Called on the worker as each event is posted, before the worker goes on.
void TakeEvent(OperationEvent event, void*) {
    {
        std::lock_guard<std::mutex> hold(eventLock);
        arrivedEvents.push_back(event);
    }
    eventArrived.notify_all();
}

}  // namespace

bool OpenOperationSink(std::string*) {
    AttachEventRecorder();
    ClearRecordedEvents();
    WatchOperationEvents(TakeEvent, nullptr);
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

bool RunOperationToEnd(OperationKind kind, OperationEvent* finalEvent) {
    {
        std::lock_guard<std::mutex> hold(eventLock);
        arrivedEvents.clear();
    }
    StartOperation(kind);
    int placings = 0;
    for (;;) {
        std::unique_lock<std::mutex> hold(eventLock);
        // Every event is queued before the worker clears its busy mark, so an idle runner with
        // nothing queued means that no worker ever ran.
        eventArrived.wait(hold, [] { return !arrivedEvents.empty() || !workerThread.load(); });
        if (arrivedEvents.empty())
            return false;
        OperationEvent event = arrivedEvents.front();
        arrivedEvents.pop_front();
        hold.unlock();
        if (event.code == EVT_PLACE_FINGER)
            ++placings;
        if (const char* prompt = PromptFor(event, placings))
            WritePrompt(prompt);
        if (IsFinalEvent(event)) {
            *finalEvent = event;
            WaitForIdleRunner();
            return true;
        }
    }
}
