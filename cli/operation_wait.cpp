#include "cli/operation_wait.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "cli/cli_output.h"

namespace {

std::mutex eventLock;
std::condition_variable eventArrived;
std::deque<OperationEvent> arrivedEvents;

void WaitForIdleRunner() {
    // The final event is the flow's last step and the busy mark is cleared right after it, so
    // this wait lasts a few steps of the worker; it sleeps rather than spins.
    while (workerThread.load())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

}  // namespace

void TakeOperationEvent(OperationEvent event) {
    {
        std::lock_guard<std::mutex> hold(eventLock);
        arrivedEvents.push_back(event);
    }
    eventArrived.notify_all();
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

const char* PromptFor(OperationEvent event, int placings) {
    switch (event.code) {
        case EVT_PLACE_FINGER:
            return placings > 1 ? "Place the same finger again" : "Place finger";
        case EVT_LIFT_FINGER:
            return "Lift finger";
        default:
            return nullptr;
    }
}

bool IsFinalEvent(OperationEvent event) {
    return (event.code >= EVT_HOST_ENROLL_DONE && event.code <= EVT_IDENTIFY_DONE) ||
           event.code == EVT_FINGER_TIMEOUT;
}
