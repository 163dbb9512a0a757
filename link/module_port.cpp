#include "link/module_port.h"

#include <atomic>
#include <mutex>

#include "link/port_access.h"
#include "link/port_backend.h"
#include "link/tick_counter.h"

// The lock that makes every platform call on the port, and every change of it, one at a time.
static std::mutex portLock;
static std::atomic<unsigned> portGeneration{0};
static std::atomic<bool> portSuspended{false};

// A read wait is about 100 ms; a pass that failed sooner sleeps the rest of it.
enum { READ_WAIT_MS = 100 };

int OpenModulePort(int portNumber, int baudRate) {
    if (portNumber < FIRST_PORT_NUMBER || portNumber > LAST_PORT_NUMBER)
        return 0;
    std::lock_guard<std::mutex> hold(portLock);
    if (!BackendOpen(portNumber, baudRate))
        return 0;
    portGeneration.fetch_add(1);
    return 1;
}

int CloseModulePort() {
    // Tell a running exchange to give up before waiting for its current byte to finish.
    portGeneration.fetch_add(1);
    std::lock_guard<std::mutex> hold(portLock);
    if (BackendIsOpen())
        BackendClose();
    portGeneration.fetch_add(1);
    return 1;
}

void SuspendModulePort() {
    portSuspended = true;
    portGeneration.fetch_add(1);
}

void ResumeModulePort() {
    portSuspended = false;
}

ModulePortState CurrentModulePortState() {
    std::lock_guard<std::mutex> hold(portLock);
    if (BackendIsOpen())
        return ModulePortState::Open;
    return BackendHasBeenOpened() ? ModulePortState::Closed : ModulePortState::NeverOpened;
}

unsigned CurrentPortGeneration() {
    return portGeneration.load();
}

void PurgePortQueues() {
    std::lock_guard<std::mutex> hold(portLock);
    if (BackendIsOpen())
        BackendPurge();
}

static bool IsCurrent(unsigned generation) {
    return generation == portGeneration.load() && !portSuspended && BackendIsOpen();
}

int ClearPortErrors(unsigned generation) {
    std::lock_guard<std::mutex> hold(portLock);
    if (!IsCurrent(generation))
        return PORT_GONE;
    return BackendClearErrors() ? PORT_DONE : PORT_ERROR;
}

int ReadPortByte(unsigned generation, unsigned char* byte) {
    uint32_t start = PlatformTickCount();
    int result;
    {
        std::lock_guard<std::mutex> hold(portLock);
        if (!IsCurrent(generation))
            return PORT_GONE;
        if (!BackendClearErrors()) {
            result = PORT_ERROR;
        } else {
            int read = BackendReadByte(byte);
            result = read > 0 ? PORT_DONE : read == 0 ? PORT_NOTHING : PORT_ERROR;
        }
    }
    if (result == PORT_DONE)
        return result;
    uint32_t spent = ElapsedMs(start, PlatformTickCount());
    if (spent < READ_WAIT_MS / 2)
        BackendPause(READ_WAIT_MS - spent);
    return result;
}

int WritePortByte(unsigned generation, unsigned char byte) {
    std::lock_guard<std::mutex> hold(portLock);
    if (!IsCurrent(generation))
        return PORT_GONE;
    return BackendWriteByte(byte) ? PORT_DONE : PORT_ERROR;
}
