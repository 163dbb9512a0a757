#include "console/main_dialog.h"

#include "commands/module_commands.h"
#include "console/direct_commands.h"
#include "console/image_view.h"
#include "console/resource_ids.h"

HWND dialogWindow = NULL;

namespace {

// Fields are read signed, without asking whether the text was a number: empty reads as 0.
int ReadField(HWND dialog, int id) {
    return static_cast<int>(GetDlgItemInt(dialog, id, NULL, TRUE));
}

void InitialiseDialog(HWND dialog) {
    CreateImageView();
    dialogWindow = dialog;
    SetDlgItemInt(dialog, IDC_SLOT_NUMBER, 1, TRUE);
    SetDlgItemInt(dialog, IDC_PORT_NUMBER, 3, TRUE);
    SetDlgItemInt(dialog, IDC_BAUD_RATE, 57600, TRUE);
}

void OnOpen(HWND dialog) {
    int portNumber = ReadField(dialog, IDC_PORT_NUMBER);
    int baudRate = ReadField(dialog, IDC_BAUD_RATE);
    OpenPortAndLogIn(portNumber, baudRate);
}

void OnClose() {
    ClosePort();
}

void OnDelete(HWND dialog) {
    DeleteSlot(ReadField(dialog, IDC_SLOT_NUMBER));
}

void OnEraseLibrary() {
    EraseLibrary();
}

void OnClearPassword() {
    ClearPassword();
}

void OnModuleBaud57600() {
    SetModuleBaudRate(BAUD_CODE_57600);
}

void OnModuleBaud115200() {
    SetModuleBaudRate(BAUD_CODE_115200);
}

void OnEnd(HWND dialog, int id) {
    ReleaseImageView();
    EndDialog(dialog, id);
}

// Dispatches on the command id alone; the notification code is never looked at.
BOOL OnCommand(HWND dialog, int id) {
    switch (id) {
        case IDOK:
        case IDCANCEL:
            OnEnd(dialog, id);
            return TRUE;
        case IDC_OPEN_PORT:
            OnOpen(dialog);
            break;
        case IDC_CLOSE_PORT:
            OnClose();
            break;
        case IDC_DELETE_SLOT:
            OnDelete(dialog);
            break;
        case IDC_ERASE_LIBRARY:
            OnEraseLibrary();
            break;
        case IDC_CLEAR_PASSWORD:
            OnClearPassword();
            break;
        case IDC_MODULE_BAUD_57600:
            OnModuleBaud57600();
            break;
        case IDC_MODULE_BAUD_115200:
            OnModuleBaud115200();
            break;
        case IDC_MODULE_ENROLL:
        case IDC_MODULE_VERIFY:
        case IDC_MODULE_IDENTIFY:
        case IDC_HOST_ENROLL:
        case IDC_HOST_CAPTURE:
        case IDC_HOST_COMPARE:
            // The operation buttons start their flows once the operation worker exists.
            break;
        default:
            // Field edits, the check box and anything else.
            break;
    }
    return FALSE;
}

}  // namespace

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            InitialiseDialog(dialog);
            return TRUE;
        case WM_COMMAND:
            return OnCommand(dialog, LOWORD(wParam));
        default:
            // WM_PAINT and the operation events get their handling with the operation worker.
            return FALSE;
    }
}
