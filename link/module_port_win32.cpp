#include <windows.h>

#include <cstdio>

#include "link/port_backend.h"

// Null until the first open, INVALID_HANDLE_VALUE once closed, else the open port.
static HANDLE ModulePort = NULL;

static bool PortIsOpen() {
    return ModulePort != NULL && ModulePort != INVALID_HANDLE_VALUE;
}

int BackendOpen(int portNumber, int baudRate) {
    // Open through the device namespace so that COM10 to COM16 open too.
    char name[24];
    std::snprintf(name, sizeof name, "\\\\.\\COM%d", portNumber);
    HANDLE port = CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL);
    if (port == INVALID_HANDLE_VALUE)
        return 0;

    PurgeComm(port, PURGE_TXABORT | PURGE_RXABORT);
    PurgeComm(port, PURGE_TXCLEAR | PURGE_RXCLEAR);

    DCB settings;
    ZeroMemory(&settings, sizeof settings);
    settings.DCBlength = sizeof settings;
    if (!GetCommState(port, &settings)) {
        CloseHandle(port);
        return 0;
    }
    settings.BaudRate = static_cast<DWORD>(baudRate);
    settings.ByteSize = 8;
    settings.Parity = NOPARITY;
    settings.StopBits = TWOSTOPBITS;
    if (!SetCommState(port, &settings)) {
        CloseHandle(port);
        return 0;
    }

    // An empty one-byte read returns after about 100 ms; a stuck write gives up after 100 ms.
    COMMTIMEOUTS timeouts;
    ZeroMemory(&timeouts, sizeof timeouts);
    GetCommTimeouts(port, &timeouts);
    timeouts.ReadTotalTimeoutMultiplier = 100;
    timeouts.WriteTotalTimeoutConstant = 100;
    SetCommTimeouts(port, &timeouts);

    ModulePort = port;
    DWORD errors = 0;
    COMSTAT status;
    ClearCommError(ModulePort, &errors, &status);
    return 1;
}

void BackendClose() {
    if (!PortIsOpen())
        return;
    CloseHandle(ModulePort);
    ModulePort = INVALID_HANDLE_VALUE;
}

int BackendIsOpen() {
    return PortIsOpen() ? 1 : 0;
}
int BackendHasBeenOpened() {
    return ModulePort != NULL ? 1 : 0;
}

void BackendPurge() {
    // Only unread input is discarded. A write that returned may still have bytes in the adapter's
    // transmit buffer (a USB serial adapter, or a pseudo-terminal under wine); clearing output
    // here would cut short the data frame sent just before, when data frames go back to back.
    PurgeComm(ModulePort, PURGE_RXCLEAR);
}

int BackendClearErrors() {
    DWORD errors = 0;
    COMSTAT status;
    return ClearCommError(ModulePort, &errors, &status) ? 1 : 0;
}

int BackendReadByte(unsigned char* byte) {
    DWORD count = 0;
    if (!ReadFile(ModulePort, byte, 1, &count, NULL))
        return -1;
    return count == 1 ? 1 : 0;
}

int BackendWriteByte(unsigned char byte) {
    DWORD count = 0;
    return WriteFile(ModulePort, &byte, 1, &count, NULL) && count == 1 ? 1 : 0;
}

void BackendPause(unsigned milliseconds) {
    Sleep(milliseconds);
}
