#include "console/direct_commands.h"

#include "commands/bulk_transfers.h"
#include "commands/link_lock.h"
#include "commands/module_commands.h"
#include "console/status_line.h"
#include "console/status_texts.h"
#include "link/module_port.h"

namespace {

enum { PASSWORD_SIZE = 4, CANDIDATE_COUNT = 3 };

// Tried in this order at every Open; the first is what ClearPassword sets.
const unsigned char passwordCandidates[CANDIDATE_COUNT][PASSWORD_SIZE] = {
    {0x00, 0x00, 0x00, 0x00},
    {'q', 'm', 't', 'z'},
    {'r', 'd', 'u', 'k'},
};

const unsigned char clearedPassword[PASSWORD_SIZE] = {0x00, 0x00, 0x00, 0x00};

void ShowOutcome(CommandStatus status, const char* succeeded, const char* failed) {
    ShowStatus(status == 0 ? succeeded : failed);
}

}  // namespace

void OpenPortAndLogIn(int portNumber, int baudRate) {
    // A running operation's exchange gives up before its port is replaced under it.
    AcquireLinkForPortChange();
    // Close first, whatever follows: a failed open leaves no port open.
    CloseModulePort();
    transferChunkSize = 128;
    int opened = OpenModulePort(portNumber, baudRate);
    ReleaseLinkAfterPortChange();
    if (!opened) {
        ShowStatus(TEXT_OPEN_FAILED);
        return;
    }
    ShowStatus(TEXT_OPEN_SUCCEEDED);
    for (int candidate = 0; candidate < CANDIDATE_COUNT; ++candidate) {
        if (VerifyPassword(passwordCandidates[candidate]) == 0) {
            ShowStatus(TEXT_CONNECTED[candidate]);
            return;
        }
    }
    ShowStatus(TEXT_PASSWORD_REFUSED);
}

void ClosePort() {
    // A running operation's exchange gives up before its port is closed under it.
    AcquireLinkForPortChange();
    CloseModulePort();
    ReleaseLinkAfterPortChange();
}

void DeleteSlot(TemplatePage slot) {
    ShowOutcome(DeleteTemplates(slot), TEXT_DELETE_SUCCEEDED, TEXT_DELETE_FAILED);
}

void EraseLibrary() {
    ShowOutcome(EmptyTemplates(), TEXT_ERASE_SUCCEEDED, TEXT_ERASE_FAILED);
}

void ClearPassword() {
    ShowOutcome(SetPassword(clearedPassword), TEXT_CLEAR_PASSWORD_SUCCEEDED,
                TEXT_CLEAR_PASSWORD_FAILED);
}

void SetModuleBaudRate(int baudCode) {
    ShowOutcome(SetSystemParameter(baudCode), TEXT_SET_BAUD_SUCCEEDED, TEXT_SET_BAUD_FAILED);
}
