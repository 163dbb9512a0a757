#include "console/status_line.h"

#include <windows.h>

#include "console/main_dialog.h"
#include "console/resource_ids.h"

enum { CHINESE_CODE_PAGE = 936, STATUS_CAPACITY = 64 };

void ShowStatus(const char* cp936Text) {
    // Set through the ANSI call the texts turn to garbage wherever the ANSI code page is not 936:
    // convert them and set the wide text.
    wchar_t wide[STATUS_CAPACITY];
    if (MultiByteToWideChar(CHINESE_CODE_PAGE, MB_ERR_INVALID_CHARS, cp936Text, -1, wide,
                            STATUS_CAPACITY) > 0) {
        SetDlgItemTextW(dialogWindow, IDC_STATUS_LINE, wide);
    } else {
        // A system without the code page's tables still gets the bytes.
        SetDlgItemTextA(dialogWindow, IDC_STATUS_LINE, cp936Text);
    }
}
