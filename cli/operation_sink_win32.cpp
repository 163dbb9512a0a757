#include <windows.h>

#include <atomic>

#include "cli/operation_wait.h"
#include "operations/event_route_win32.h"

// The operations code names the dialog's window, which the console never has: it stays null, and
// the events and the slot number take the console's route instead.
HWND dialogWindow = NULL;

namespace {

std::atomic<int> enrollSlot{0};

void RouteEvent(unsigned code, uint32_t value) {
    TakeOperationEvent({code, value});
}

int ReadEnrollSlot() {
    return enrollSlot.load();
}

}  // namespace

bool OpenOperationSink(std::string*) {
    RouteOperationEvents(RouteEvent, ReadEnrollSlot);
    return true;
}

void CloseOperationSink() {
    RouteOperationEvents(nullptr, nullptr);
}

void SetEnrollSlot(int slot) {
    enrollSlot = slot;
}
