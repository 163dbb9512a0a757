#pragma once
// The events that the worker posts to the dialog: window message WM_OPERATION_EVENT with the event
// code in wParam and its value, an unsigned 32-bit number, in lParam.
#include <cstdint>

enum { WM_OPERATION_EVENT = 1144 };  // WM_USER + 120

enum OperationEventCode : unsigned {
    EVT_PLACE_FINGER = 2,        // value 1
    EVT_LIFT_FINGER = 3,         // value 1
    EVT_IMAGE_READY = 4,         // value 0: an image has been presented into the image view
    EVT_HOST_ENROLL_DONE = 5,    // 1 success, 0 failure
    EVT_HOST_CAPTURE_DONE = 6,   // 1 success, 0 failure
    EVT_MODULE_ENROLL_DONE = 7,  // 1 success, 0 failure
    EVT_VERIFY_DONE = 8,         // 1 match, 0 failure
    EVT_IDENTIFY_DONE = 9,       // page * 65,536 + 1 on success, 0 on failure
    EVT_FINGER_TIMEOUT = 16,     // value 0
};

struct OperationEvent {
    unsigned code;
    uint32_t value;
};

// The value of a successful identify: the page in bits 16-31 and bit 0 set, so page 0 is nonzero.
inline uint32_t IdentifiedValue(int page) {
    return (static_cast<uint32_t>(page & 0xFFFF) << 16) | 1u;
}

// Posts an event to the dialog and returns at once; nothing happens while there is no dialog.
void PostOperationEvent(unsigned code, uint32_t value);
