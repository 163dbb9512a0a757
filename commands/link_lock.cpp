#include "commands/link_lock.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "link/module_port.h"
#include "link/tick_counter.h"

namespace {

// Tickets are served in the order they were drawn; a waiter that gives up marks its ticket so
// that serving skips it. Only a handful of threads ever wait at once.
enum { ABANDONED_SLOTS = 64 };

struct LinkLockState {
    std::mutex lock;
    std::condition_variable turn;
    uint64_t nextTicket = 0;
    uint64_t serving = 0;
    bool abandoned[ABANDONED_SLOTS] = {};
};

// Never destroyed: a worker may still be waiting on it while the process exits.
LinkLockState& State() {
    static LinkLockState* state = new LinkLockState;
    return *state;
}

void SkipAbandoned(LinkLockState& s) {
    while (s.serving < s.nextTicket && s.abandoned[s.serving % ABANDONED_SLOTS]) {
        s.abandoned[s.serving % ABANDONED_SLOTS] = false;
        ++s.serving;
    }
}

int WaitForTurn(uint32_t waitLimitMs, bool limited) {
    LinkLockState& s = State();
    std::unique_lock<std::mutex> hold(s.lock);
    uint64_t ticket = s.nextTicket++;
    uint32_t start = ReadTickCount();
    // The wait is measured by the tick counter, so it is re-checked in short slices.
    while (s.serving != ticket) {
        if (limited && ElapsedMs(start, ReadTickCount()) > waitLimitMs) {
            s.abandoned[ticket % ABANDONED_SLOTS] = true;
            SkipAbandoned(s);
            s.turn.notify_all();
            return 0;
        }
        s.turn.wait_for(hold, std::chrono::milliseconds(20));
    }
    return 1;
}

}  // namespace

int AcquireLink(uint32_t waitLimitMs) {
    return WaitForTurn(waitLimitMs, true);
}

void ReleaseLink() {
    LinkLockState& s = State();
    std::lock_guard<std::mutex> hold(s.lock);
    ++s.serving;
    SkipAbandoned(s);
    s.turn.notify_all();
}

void AcquireLinkForPortChange() {
    SuspendModulePort();
    (void)WaitForTurn(0, false);
}

void ReleaseLinkAfterPortChange() {
    ResumeModulePort();
    ReleaseLink();
}
