#include <windows.h>

#include <atomic>

#include "console/main_dialog.h"
#include "console/resource_ids.h"
#include "operations/event_route_win32.h"
#include "operations/operation_events.h"
#include "operations/operation_flows.h"

static std::atomic<OperationEventRoute> eventRoute{nullptr};
static std::atomic<SlotFieldRoute> slotFieldRoute{nullptr};

void RouteOperationEvents(OperationEventRoute events, SlotFieldRoute slotField) {
    eventRoute = events;
    slotFieldRoute = slotField;
}

void PostOperationEvent(unsigned code, uint32_t value) {
    if (OperationEventRoute route = eventRoute.load()) {
        route(code, value);
        return;
    }
    HWND dialog = dialogWindow;
    if (dialog == NULL)
        return;
    PostMessageA(dialog, WM_OPERATION_EVENT, static_cast<WPARAM>(code), static_cast<LPARAM>(value));
}

// The platform reads the field on the UI thread, which owns it; the worker waits meanwhile.
int ReadSlotField() {
    if (SlotFieldRoute route = slotFieldRoute.load())
        return route();
    return static_cast<int>(GetDlgItemInt(dialogWindow, IDC_SLOT_NUMBER, NULL, TRUE));
}
