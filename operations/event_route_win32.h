#pragma once
// Windows only: the worker posts its events to the dialog window and reads the slot number from
// the dialog's field. A program without a dialog (the command-line console) routes both to
// functions of its own instead; null routes restore the dialog.
#include <cstdint>

using OperationEventRoute = void (*)(unsigned code, uint32_t value);
using SlotFieldRoute = int (*)();
void RouteOperationEvents(OperationEventRoute events, SlotFieldRoute slotField);
