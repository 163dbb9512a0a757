#pragma once
// The module's feature templates: 512 bytes drawn from the finger's identity, with a few bytes
// that differ from capture to capture. Scores come from the bytes alone, so a template written
// back by the host scores exactly as the one the module made.
#include <cstdint>

#include "sim/frame_bytes.h"

namespace sim {

enum : size_t { kTemplateSize = 512 };
// Bytes of a template that one capture changes.
enum : size_t { kCaptureVariation = 16 };
// The best score: two identical templates.
enum : int { kFullScore = 200 };
// Byte 0 of a template tells how it was made; the other 511 bytes are the features.
enum : uint8_t { kExtractedMark = 0x51, kMergedMark = 0x52 };

// The template of finger `finger` as extracted from capture number `capture`.
Bytes FingerTemplate(uint32_t finger, uint32_t capture);

// kFullScore times the share of byte positions at which the two templates agree: about 190 for
// two captures of one finger, about 1 for two fingers. Templates of other sizes score 0.
int MatchScore(const Bytes& first, const Bytes& second);

// The template merged from two captures of one finger. Where the two agree the bytes are theirs;
// where they disagree nothing tells which capture is nearer the finger and the first one's byte
// stays, so the merge is the first capture, marked as merged.
Bytes MergedTemplate(const Bytes& first);

// A 64-bit mix of a number, for everything that has to look random but be repeatable.
uint64_t MixBits(uint64_t value);

}  // namespace sim
