#pragma once
// The native tree has no dialog: posted events go to a recorder that tests and tools read. An
// attached recorder plays the part of a dialog window; detached, events are dropped.
#include <cstdint>
#include <vector>

#include "operations/operation_events.h"

void AttachEventRecorder();
void DetachEventRecorder();
void ClearRecordedEvents();
std::vector<OperationEvent> RecordedEvents();

// Waits up to timeoutMs (real time) until the recorder holds at least count events; returns them.
std::vector<OperationEvent> WaitForRecordedEvents(size_t count, int timeoutMs);

// Tools may also watch events as they are posted, on the worker thread. Null stops it.
using OperationEventWatcher = void (*)(OperationEvent event, void* context);
void WatchOperationEvents(OperationEventWatcher watcher, void* context);

// The slot number field's value on the native tree.
void SetSlotField(int value);
