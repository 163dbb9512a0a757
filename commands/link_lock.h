#pragma once
// The serial link carries one command transaction at a time. Every command holds the link lock
// from its command frame to its last frame sent or received; the lock is fair (first come, first
// served), so a command from the dialog runs between two of the worker's transactions.
#include <cstdint>

// Waits for the link up to waitLimitMs (by the tick counter). 1 when it is held, 0 when the wait
// ran out; then nothing may be sent.
[[nodiscard]] int AcquireLink(uint32_t waitLimitMs);
void ReleaseLink();

// For opening or closing the port under a running operation: makes the running exchange give up
// within one read wait, keeps every exchange failing at once until the change is done, and holds
// the link meanwhile. The two calls come in pairs on the UI thread.
void AcquireLinkForPortChange();
void ReleaseLinkAfterPortChange();
