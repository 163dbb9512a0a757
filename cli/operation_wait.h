#pragma once
// Runs a finger operation of the command-line console on the real worker (StartOperation) and
// waits for its final event, printing the operator's prompts as the events arrive. The events
// reach the console through a sink of its own: the event recorder's watcher on POSIX, a hidden
// window that stands in for the dialog on Windows.
#include <string>

#include "operations/operation_events.h"
#include "operations/operation_runner.h"

// Makes the sink ready; false with a message when it cannot be made.
bool OpenOperationSink(std::string* error);
void CloseOperationSink();

// The slot number that module enroll reads just before it stores.
void SetEnrollSlot(int slot);

// Starts kind, prints each prompt as its event arrives and returns with the final event (codes
// 5 to 9 or 16) once the runner is idle again. false when the worker could not be started.
bool RunOperationToEnd(OperationKind kind, OperationEvent* finalEvent);

// The prompt of an event, or null for an event without one. placings counts the place-finger
// events of the run so far, this one included: the second asks for the same finger again.
const char* PromptFor(OperationEvent event, int placings);
// True for the events that end a run: the five done events and the finger time-out.
bool IsFinalEvent(OperationEvent event);
// Waits until the runner is idle; the worker clears its busy mark right after its final event.
void WaitForIdleRunner();
