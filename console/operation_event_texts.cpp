#include "console/operation_event_texts.h"

#include <cstdio>

#include "console/operation_texts.h"
#include "operations/operation_events.h"

namespace {

// For codes 5 to 8 only exactly 1 means success.
const char* Outcome(uint32_t value, const char* succeeded, const char* failed) {
    return value == 1 ? succeeded : failed;
}

}  // namespace

const char* OperationEventText(uint32_t code, uint32_t value, char* buffer) {
    switch (code) {
        case EVT_PLACE_FINGER:
            return TEXT_PLACE_FINGER;
        case EVT_LIFT_FINGER:
            return TEXT_LIFT_FINGER;
        case EVT_HOST_ENROLL_DONE:
            return Outcome(value, TEXT_HOST_ENROLL_SUCCEEDED, TEXT_HOST_ENROLL_FAILED);
        case EVT_HOST_CAPTURE_DONE:
            return Outcome(value, TEXT_HOST_CAPTURE_SUCCEEDED, TEXT_HOST_CAPTURE_FAILED);
        case EVT_MODULE_ENROLL_DONE:
            return Outcome(value, TEXT_MODULE_ENROLL_SUCCEEDED, TEXT_MODULE_ENROLL_FAILED);
        case EVT_VERIFY_DONE:
            return Outcome(value, TEXT_VERIFY_SUCCEEDED, TEXT_VERIFY_FAILED);
        case EVT_IDENTIFY_DONE:
            if (value == 0)
                return TEXT_IDENTIFY_FAILED;
            // The page is the high 16 bits, read unsigned; the low bits are not examined.
            std::snprintf(buffer, OPERATION_TEXT_SIZE, "%s%u", TEXT_IDENTIFY_SUCCEEDED_PREFIX,
                          static_cast<unsigned>(value >> 16));
            return buffer;
        case EVT_FINGER_TIMEOUT:
            return TEXT_FINGER_TIMEOUT;
        default:
            // The image event redraws instead; other codes are never posted.
            return nullptr;
    }
}
