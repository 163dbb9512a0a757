#include "sim/templates.h"

namespace sim {

uint64_t MixBits(uint64_t value) {
    value += 0x9E3779B97F4A7C15ull;
    value = (value ^ (value >> 30)) * 0xBF58476D1CE4E5B9ull;
    value = (value ^ (value >> 27)) * 0x94D049BB133111EBull;
    return value ^ (value >> 31);
}

Bytes FingerTemplate(uint32_t finger, uint32_t capture) {
    Bytes bytes(kTemplateSize);
    uint64_t state = MixBits(finger);
    for (size_t i = 0; i < kTemplateSize; ++i) {
        state = MixBits(state);
        bytes[i] = static_cast<uint8_t>(state >> 24);
    }
    uint64_t noise = MixBits((static_cast<uint64_t>(finger) << 32) ^ capture ^ 0x51u);
    for (size_t i = 0; i < kCaptureVariation; ++i) {
        noise = MixBits(noise);
        bytes[noise % kTemplateSize] = static_cast<uint8_t>(noise >> 40);
    }
    bytes[0] = kExtractedMark;
    return bytes;
}

int MatchScore(const Bytes& first, const Bytes& second) {
    if (first.size() != kTemplateSize || second.size() != kTemplateSize)
        return 0;
    // Byte 0 tells how a template was made, not what finger it shows.
    int same = 0;
    for (size_t i = 1; i < kTemplateSize; ++i)
        same += first[i] == second[i];
    return same * kFullScore / static_cast<int>(kTemplateSize - 1);
}

Bytes MergedTemplate(const Bytes& first) {
    Bytes merged = first;
    merged.resize(kTemplateSize);
    merged[0] = kMergedMark;
    return merged;
}

}  // namespace sim
