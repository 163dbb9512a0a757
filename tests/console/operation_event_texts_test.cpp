#include <gtest/gtest.h>

#include <string>

#include "console/operation_event_texts.h"
#include "console/operation_texts.h"
#include "operations/operation_events.h"

namespace {

TEST(OperationEventTexts, EveryEventShowsItsText) {
    struct Case {
        uint32_t code;
        uint32_t value;
        std::string text;  // empty: the status line does not change
    } cases[] = {
        {EVT_PLACE_FINGER, 1, TEXT_PLACE_FINGER},
        {EVT_LIFT_FINGER, 1, TEXT_LIFT_FINGER},
        {EVT_IMAGE_READY, 0, ""},
        {EVT_HOST_ENROLL_DONE, 1, TEXT_HOST_ENROLL_SUCCEEDED},
        {EVT_HOST_ENROLL_DONE, 0, TEXT_HOST_ENROLL_FAILED},
        {EVT_HOST_CAPTURE_DONE, 1, TEXT_HOST_CAPTURE_SUCCEEDED},
        {EVT_HOST_CAPTURE_DONE, 3, TEXT_HOST_CAPTURE_FAILED},
        {EVT_MODULE_ENROLL_DONE, 1, TEXT_MODULE_ENROLL_SUCCEEDED},
        {EVT_MODULE_ENROLL_DONE, 0, TEXT_MODULE_ENROLL_FAILED},
        {EVT_VERIFY_DONE, 1, TEXT_VERIFY_SUCCEEDED},
        {EVT_VERIFY_DONE, 2, TEXT_VERIFY_FAILED},  // only exactly 1 is a success
        {EVT_IDENTIFY_DONE, 1, std::string(TEXT_IDENTIFY_SUCCEEDED_PREFIX) + "0"},
        {EVT_IDENTIFY_DONE, 7u * 65536u + 1u, std::string(TEXT_IDENTIFY_SUCCEEDED_PREFIX) + "7"},
        {EVT_IDENTIFY_DONE, 0xFFFF0001u, std::string(TEXT_IDENTIFY_SUCCEEDED_PREFIX) + "65535"},
        {EVT_IDENTIFY_DONE, 2u * 65536u + 6u, std::string(TEXT_IDENTIFY_SUCCEEDED_PREFIX) + "2"},
        {EVT_IDENTIFY_DONE, 0, TEXT_IDENTIFY_FAILED},
        {EVT_FINGER_TIMEOUT, 0, TEXT_FINGER_TIMEOUT},
        {0, 1, ""},
        {1, 1, ""},
        {12, 1, ""},
        {15, 1, ""},
        {17, 1, ""},
        {0xFFFFFFFFu, 1, ""},
    };
    for (const Case& c : cases) {
        char buffer[OPERATION_TEXT_SIZE];
        const char* text = OperationEventText(c.code, c.value, buffer);
        EXPECT_EQ(text ? std::string(text) : std::string(), c.text) << c.code << " " << c.value;
    }
}

}  // namespace
