#pragma once
// The confirmation codes that the simulated module puts in Contents byte 0 of its Ack frames.
// 0 is success; the host gives the others no meaning beyond failure.
#include <cstdint>

namespace sim {

enum ConfirmationCode : uint8_t {
    kSuccess = 0x00,
    kMalformedCommand = 0x01,  // the Contents are too short or too long for the command code
    kUnknownCommand = 0x02,
    kNoFinger = 0x03,        // CaptureImage found the sensor empty
    kNoImage = 0x04,         // nothing captured to extract or to upload
    kBadBuffer = 0x05,       // a feature buffer number other than 1, 2 or 3
    kBufferEmpty = 0x06,     // the feature buffer holds no template
    kFingersDiffer = 0x07,   // MergeFeatures: the two buffers come from different fingers
    kNotFound = 0x08,        // SearchTemplates: no page in the range matches
    kPageOutOfRange = 0x09,  // a page beyond the library
    kPageEmpty = 0x0A,       // LoadTemplate: nothing stored at the page
    kWrongPassword = 0x0B,
    kBadParameter = 0x0C,  // SetSystemParameter: an unknown parameter or an invalid value
};

}  // namespace sim
