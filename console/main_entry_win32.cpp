#include <windows.h>

#include <commctrl.h>

#include "console/main_dialog.h"
#include "console/resource_ids.h"

HINSTANCE programInstance = NULL;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    programInstance = instance;
    InitCommonControls();
    // The exit code is the id that ended the dialog (1 or 2), or -1 when it could not be made.
    return static_cast<int>(
        DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_MAIN_DIALOG), NULL, MainDialogProc, 0));
}
