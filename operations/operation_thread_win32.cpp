#include <windows.h>

#include "operations/operation_runner.h"

static DWORD WINAPI RunOperationThread(LPVOID) {
    RunOperation();
    return 0;
}

int StartWorkerThread() {
    DWORD id = 0;
    HANDLE thread = CreateThread(NULL, 0, RunOperationThread, NULL, 0, &id);
    if (thread == NULL)
        return 0;
    // Nobody waits for the worker; closing the handle lets its resources go when it ends.
    CloseHandle(thread);
    return 1;
}
