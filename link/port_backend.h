#pragma once
// The platform's half of ModulePort, one implementation per platform. The portable half
// (module_port.cpp) serialises every call with the port's lock, so none of these is ever called
// on two threads at once.

// Opens and configures the device of a port number already checked to be 1..16; on success the
// backend holds the new handle as ModulePort. 1 or 0.
int BackendOpen(int portNumber, int baudRate);
// Closes an open port and leaves ModulePort closed; nothing when none is open.
void BackendClose();
int BackendIsOpen();
int BackendHasBeenOpened();
void BackendPurge();
int BackendClearErrors();
// 1 byte read, 0 the read wait ran out, -1 a read error.
int BackendReadByte(unsigned char* byte);
// 1 the byte went out, 0 it did not.
int BackendWriteByte(unsigned char byte);
// Waits about one read wait; used after a pass that failed without waiting.
void BackendPause(unsigned milliseconds);
