#pragma once
// The five finger operations. Each is a fixed sequence of module commands run once on the worker;
// it guides the operator with events and ends with exactly one final event.
#include <atomic>

#include "operations/operation_runner.h"

// The most CaptureImage attempts in one wait for a finger or for its lifting.
enum { FINGER_WAIT_ATTEMPTS = 19 };

// Nonzero: each finger image is transferred and presented. The dialog copies its check box here at
// every operation button; a flow reads it afresh at every image step.
extern std::atomic<int> showImage;

// Runs the flow of kind to its end.
void RunFlow(OperationKind kind);

// The slot number field of the dialog, read by module enroll just before it stores: through the
// dialog on Windows, a value that tests and tools set on the native tree.
int ReadSlotField();
