#pragma once
// Draws the image view into the dialog.
#include <windows.h>

// One StretchDIBits of the view, 1:1, with its top-left corner at client pixel (100, 100). Draws
// nothing when the view is absent or released.
void DrawImage(HDC dc);
