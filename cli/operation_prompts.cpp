#include <chrono>
#include <thread>

#include "cli/operation_wait.h"

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

void WaitForIdleRunner() {
    // The final event is posted as the flow's last step and the mark is cleared right after it,
    // so this wait is a few steps of the worker long; it sleeps rather than spins.
    while (workerThread.load())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}
