#pragma once
// Turns the bodies that the module answers with into what goes on the line, with the armed faults
// of that command applied: first those that change the frames (packet id, the stream), then those
// that change the bytes and their timing (noise, checksum, pieces, delay).
#include <cstdint>
#include <vector>

#include "sim/faults.h"
#include "sim/frame_bytes.h"

namespace sim {

// Wait pauseMs, then send bytes.
struct OutputPiece {
    uint32_t pauseMs = 0;
    Bytes bytes;
};

// The pieces to send for these reply bodies. Code faults are not applied here: a refused command
// is the model's business. NoReply gives no pieces at all.
std::vector<OutputPiece> ShapeReply(std::vector<Bytes> bodies, const std::vector<Fault>& faults);

// The noise bytes sent before a reply: they never contain EF 01, so they never start a frame.
Bytes NoiseBytes(size_t count);

}  // namespace sim
