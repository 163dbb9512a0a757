#pragma once
// The program's one modal dialog, resource 103.
#include <windows.h>

// Recorded by the entry point.
extern HINSTANCE programInstance;
// The dialog's handle: set at its initialisation, never cleared. The worker posts its events here.
extern HWND dialogWindow;

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
