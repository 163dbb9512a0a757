#include <chrono>
#include <condition_variable>
#include <mutex>

#include "operations/event_recorder.h"
#include "operations/operation_flows.h"

namespace {

struct Recorder {
    std::mutex lock;
    std::condition_variable posted;
    bool attached = false;
    std::vector<OperationEvent> events;
    OperationEventWatcher watcher = nullptr;
    void* watcherContext = nullptr;
};

// Never destroyed: a worker may still post while the process exits.
Recorder& TheRecorder() {
    static Recorder* recorder = new Recorder;
    return *recorder;
}

std::atomic<int> slotField{0};

}  // namespace

void PostOperationEvent(unsigned code, uint32_t value) {
    Recorder& r = TheRecorder();
    OperationEventWatcher watcher;
    void* context;
    {
        std::lock_guard<std::mutex> hold(r.lock);
        if (!r.attached)
            return;
        r.events.push_back({code, value});
        watcher = r.watcher;
        context = r.watcherContext;
    }
    r.posted.notify_all();
    if (watcher)
        watcher({code, value}, context);
}

void AttachEventRecorder() {
    std::lock_guard<std::mutex> hold(TheRecorder().lock);
    TheRecorder().attached = true;
}

void DetachEventRecorder() {
    std::lock_guard<std::mutex> hold(TheRecorder().lock);
    TheRecorder().attached = false;
}

void ClearRecordedEvents() {
    std::lock_guard<std::mutex> hold(TheRecorder().lock);
    TheRecorder().events.clear();
}

std::vector<OperationEvent> RecordedEvents() {
    std::lock_guard<std::mutex> hold(TheRecorder().lock);
    return TheRecorder().events;
}

std::vector<OperationEvent> WaitForRecordedEvents(size_t count, int timeoutMs) {
    Recorder& r = TheRecorder();
    std::unique_lock<std::mutex> hold(r.lock);
    r.posted.wait_for(hold, std::chrono::milliseconds(timeoutMs),
                      [&] { return r.events.size() >= count; });
    return r.events;
}

void WatchOperationEvents(OperationEventWatcher watcher, void* context) {
    std::lock_guard<std::mutex> hold(TheRecorder().lock);
    TheRecorder().watcher = watcher;
    TheRecorder().watcherContext = context;
}

void SetSlotField(int value) {
    slotField = value;
}

int ReadSlotField() {
    return slotField.load();
}
