// How the module finds the host's frames in what arrives: garbage, broken and oversize frames
// never yield a frame, and never hide the good frame that follows them.
#include <gtest/gtest.h>

#include "sim/frame_hunter.h"
#include "tests/sim/host_peer.h"

namespace {

using host_peer::Bytes;
using host_peer::Frame;

Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

std::vector<Bytes> Hunt(const Bytes& input, size_t piece = 0) {
    sim::FrameHunter hunter;
    std::vector<Bytes> frames;
    Bytes frame;
    size_t step = piece ? piece : input.size();
    for (size_t at = 0; at < input.size(); at += step) {
        hunter.feed(input.data() + at, std::min(step, input.size() - at));
        while (hunter.next(&frame))
            frames.push_back(frame);
    }
    return frames;
}

const Bytes kCapture = Frame(PacketId::Command, {0x01});
const Bytes kVerify = Frame(PacketId::Command, {0x13, 0, 0, 0, 0});

TEST(FrameHunter, FindsFramesBehindGarbageAndBetweenEachOther) {
    struct Case {
        const char* name;
        Bytes input;
    } cases[] = {
        {"clean", Join({kCapture, kVerify})},
        {"noise first", Join({{0x00, 0x12, 0xEF, 0xEF}, kCapture, {0x01, 0xEF}, kVerify})},
        {"Length 0",
         Join({{0xEF, 0x01, 0xFF, 0xFF, 0xFF, 0xFF, 0x01, 0x00, 0x00}, kCapture, kVerify})},
        {"Length 1",
         Join({{0xEF, 0x01, 0xFF, 0xFF, 0xFF, 0xFF, 0x01, 0x00, 0x01, 0x00}, kCapture, kVerify})},
        {"Length 65535",
         Join({{0xEF, 0x01, 0xFF, 0xFF, 0xFF, 0xFF, 0x01, 0xFF, 0xFF}, kCapture, kVerify})},
        {"Length 342",
         Join({{0xEF, 0x01, 0xFF, 0xFF, 0xFF, 0xFF, 0x02, 0x01, 0x56}, kCapture, kVerify})},
        {"a broken-off frame",
         Join({Bytes(kVerify.begin(), kVerify.begin() + 11), kCapture, kVerify})},
        {"a bad checksum",
         Join({Join({Bytes(kVerify.begin(), kVerify.end() - 1), {0x00}}), kCapture, kVerify})},
    };
    for (const Case& c : cases) {
        for (size_t piece : {0u, 1u, 5u}) {
            EXPECT_EQ(Hunt(c.input, piece), (std::vector<Bytes>{kCapture, kVerify}))
                << c.name << ", pieces of " << piece;
        }
    }
}

TEST(FrameHunter, GarbageAloneYieldsNothingAndKeepsLittle) {
    Bytes garbage(5000);
    uint32_t state = 12345;
    for (uint8_t& byte : garbage) {
        state = state * 1103515245u + 12345u;
        byte = static_cast<uint8_t>(state >> 16);
    }
    // Headers with every Length, none of them followed by a frame that verifies.
    for (size_t at = 0; at + 9 < garbage.size(); at += 97) {
        garbage[at] = 0xEF;
        garbage[at + 1] = 0x01;
    }
    sim::FrameHunter hunter;
    Bytes frame;
    for (size_t at = 0; at < garbage.size(); at += 7) {
        hunter.feed(garbage.data() + at, std::min<size_t>(7, garbage.size() - at));
        EXPECT_FALSE(hunter.next(&frame)) << "at byte " << at;
        EXPECT_LE(hunter.pendingBytes(), 350u);
    }
    hunter.feed(kCapture.data(), kCapture.size());
    // The garbage may still hold a false Header waiting for its bytes; the good frame wins.
    ASSERT_TRUE(hunter.next(&frame));
    EXPECT_EQ(frame, kCapture);
}

TEST(FrameHunter, TheLargestFrameIsTakenWhole) {
    Bytes largest = Frame(PacketId::Data, Bytes(339, 0xEF));
    ASSERT_EQ(largest.size(), 350u);
    EXPECT_EQ(Hunt(Join({largest, kCapture}), 13), (std::vector<Bytes>{largest, kCapture}));
}

}  // namespace
