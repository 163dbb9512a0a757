#include <windows.h>

#include "console/main_dialog.h"
#include "console/resource_ids.h"
#include "operations/operation_events.h"
#include "operations/operation_flows.h"

void PostOperationEvent(unsigned code, uint32_t value) {
    HWND dialog = dialogWindow;
    if (dialog == NULL)
        return;
    PostMessageA(dialog, WM_OPERATION_EVENT, static_cast<WPARAM>(code), static_cast<LPARAM>(value));
}

// The platform reads the field on the UI thread, which owns it; the worker waits meanwhile.
int ReadSlotField() {
    return static_cast<int>(GetDlgItemInt(dialogWindow, IDC_SLOT_NUMBER, NULL, TRUE));
}
