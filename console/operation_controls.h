#pragma once
// The dialog's side of the finger operations: the operation buttons, the host compare, and the
// status text of each operation event. Everything runs on the UI thread.
#include <cstdint>

#include "commands/command_status.h"
#include "operations/operation_runner.h"

// An operation button: copies the show-image box, then asks the runner to start kind. A press
// while an operation runs is dropped by the runner, but the box is copied all the same.
void StartFromButton(OperationKind kind, bool showImageTicked);

// The verify button: copies the box, loads slot into feature buffer 2, and starts the verify when
// the load succeeded ("验证失败" when not). While an operation runs nothing is loaded and nothing
// shown: the load would overwrite a feature buffer that the running operation builds on.
void VerifySlot(TemplatePage slot, bool showImageTicked);

// The compare button: writes the enrolled template into buffer 1 and the captured one into
// buffer 2 and lets the module match them; "比对成功" at a score of 80 or more, "比对失败"
// otherwise. With a template missing, or while an operation runs, nothing is sent.
void CompareHostTemplates();

// Shows the status text of an operation event; events without a text change nothing.
void ShowOperationEvent(uint32_t code, uint32_t value);
