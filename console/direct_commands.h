#pragma once
// The commands that the dialog sends to the module itself, on the UI thread, each ending in one
// status text (none for ClosePort). Only a CommandStatus of 0 counts as success.
#include "commands/command_status.h"

// Closes any open port, opens COM<portNumber> at baudRate and logs in with the three candidate
// passwords in turn. The port stays open whatever the handshake gives.
void OpenPortAndLogIn(int portNumber, int baudRate);
void ClosePort();
void DeleteSlot(TemplatePage slot);
void EraseLibrary();
void ClearPassword();
// baudCode is BAUD_CODE_57600 or BAUD_CODE_115200; the PC's port keeps its own speed.
void SetModuleBaudRate(int baudCode);
