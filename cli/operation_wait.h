#pragma once
// Runs a finger operation of the command-line console on the real worker (StartOperation) and
// waits for its final event, printing the operator's prompts as the events arrive. The events
// reach the console through a sink of the platform's: the event recorder's watcher on POSIX, a
// route around the dialog window on Windows (the console has no window, and needs none).
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

// The sink's delivery of one event, on the worker, before the worker goes on.
void TakeOperationEvent(OperationEvent event);

// The prompt of an event, or null for an event without one. placings counts the place-finger
// events of the run so far, this one included: the second asks for the same finger again.
const char* PromptFor(OperationEvent event, int placings);
// True for the events that end a run: the five done events and the finger time-out.
bool IsFinalEvent(OperationEvent event);
