#include <windows.h>

#include "cli/cli_output.h"
#include "cli/operation_wait.h"
#include "console/resource_ids.h"

// The operations code posts its events to dialogWindow and reads the slot field from it. The
// console has no dialog, so a hidden window of its own stands in: it receives the posted events,
// and its one child, an edit control with the slot field's id, holds the slot number.
HWND dialogWindow = NULL;

namespace {

const char SINK_CLASS[] = "QuorvelCliEvents";

// Events posted to the sink before the current run (none are expected) are dropped first.
void DropStaleEvents() {
    MSG message;
    while (
        PeekMessageA(&message, dialogWindow, WM_OPERATION_EVENT, WM_OPERATION_EVENT, PM_REMOVE)) {
    }
}

}  // namespace

bool OpenOperationSink(std::string* error) {
    HINSTANCE instance = GetModuleHandleA(NULL);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = SINK_CLASS;
    // A class left registered by an earlier run in this process is fine.
    if (!RegisterClassA(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        *error = "the event window class cannot be registered";
        return false;
    }
    // Never shown: WS_POPUP without WS_VISIBLE.
    HWND sink =
        CreateWindowExA(0, SINK_CLASS, "", WS_POPUP, 0, 0, 0, 0, NULL, NULL, instance, NULL);
    if (sink == NULL) {
        *error = "the event window cannot be created";
        return false;
    }
    HWND slotField = CreateWindowExA(0, "EDIT", "0", WS_CHILD, 0, 0, 0, 0, sink,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_SLOT_NUMBER)),
                                     instance, NULL);
    if (slotField == NULL) {
        DestroyWindow(sink);
        *error = "the slot field cannot be created";
        return false;
    }
    dialogWindow = sink;
    return true;
}

void CloseOperationSink() {
    HWND sink = dialogWindow;
    dialogWindow = NULL;
    if (sink != NULL)
        DestroyWindow(sink);
}

void SetEnrollSlot(int slot) {
    SetDlgItemInt(dialogWindow, IDC_SLOT_NUMBER, static_cast<UINT>(slot), TRUE);
}

bool RunOperationToEnd(OperationKind kind, OperationEvent* finalEvent) {
    DropStaleEvents();
    StartOperation(kind);
    MSG message;
    // The worker posts every event before it clears its busy mark: an idle runner with nothing
    // posted means that no worker ever ran.
    if (!workerThread.load() &&
        !PeekMessageA(&message, dialogWindow, WM_OPERATION_EVENT, WM_OPERATION_EVENT, PM_NOREMOVE))
        return false;
    int placings = 0;
    // GetMessage also serves the worker's read of the slot field, which is sent to this thread.
    while (GetMessageA(&message, NULL, 0, 0) > 0) {
        if (message.hwnd != dialogWindow || message.message != WM_OPERATION_EVENT) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
            continue;
        }
        OperationEvent event = {static_cast<unsigned>(message.wParam),
                                static_cast<uint32_t>(message.lParam)};
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
    return false;
}
