#include "console/main_dialog.h"

#include "commands/bulk_transfers.h"
#include "commands/module_commands.h"
#include "console/direct_commands.h"
#include "console/image_drawing.h"
#include "console/image_view.h"
#include "console/operation_controls.h"
#include "console/resource_ids.h"
#include "operations/operation_events.h"

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

bool ShowImageTicked(HWND dialog) {
    return IsDlgButtonChecked(dialog, IDC_SHOW_IMAGE) == BST_CHECKED;
}

void OnVerify(HWND dialog) {
    VerifySlot(ReadField(dialog, IDC_SLOT_NUMBER), ShowImageTicked(dialog));
}

// Draws the image view into the client area at once, outside any paint cycle.
void DrawOnDialog(HWND dialog) {
    HDC dc = GetDC(dialog);
    if (dc == NULL)
        return;
    DrawImage(dc);
    ReleaseDC(dialog, dc);
}

// The event code is compared as a whole 32-bit value; an image event draws, the rest show texts.
void OnOperationEvent(HWND dialog, WPARAM code, LPARAM value) {
    uint32_t event = static_cast<uint32_t>(code);
    if (event == EVT_IMAGE_READY) {
        DrawOnDialog(dialog);
        return;
    }
    ShowOperationEvent(event, static_cast<uint32_t>(value));
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
            StartFromButton(ModuleEnroll, ShowImageTicked(dialog));
            break;
        case IDC_MODULE_VERIFY:
            OnVerify(dialog);
            break;
        case IDC_MODULE_IDENTIFY:
            StartFromButton(ModuleIdentify, ShowImageTicked(dialog));
            break;
        case IDC_HOST_ENROLL:
            StartFromButton(HostEnroll, ShowImageTicked(dialog));
            break;
        case IDC_HOST_CAPTURE:
            StartFromButton(HostCapture, ShowImageTicked(dialog));
            break;
        case IDC_HOST_COMPARE:
            CompareHostTemplates();
            break;
        default:
            // Field edits, the check box and anything else.
            break;
    }
    return FALSE;
}

}  // namespace

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            InitialiseDialog(dialog);
            return TRUE;
        case WM_COMMAND:
            return OnCommand(dialog, LOWORD(wParam));
        case WM_PAINT:
            // Redraw the last image over the default painting; the paint cycle is left to it.
            if (imagePixelCount.load() > 0)
                DrawOnDialog(dialog);
            return FALSE;
        case WM_OPERATION_EVENT:
            OnOperationEvent(dialog, wParam, lParam);
            return FALSE;
        default:
            return FALSE;
    }
}
