#include <gtest/gtest.h>

#include <cstring>

#include "commands/bulk_transfers.h"
#include "tests/support/fake_ticks.h"
#include "tests/support/port_fixture.h"
#include "tests/support/scripted_peer.h"

namespace {

using BulkTransfers = PortOnPseudoTerminal;

Bytes Ack(const Bytes& contents) {
    return FrameOf(PacketId::Ack, contents);
}
Bytes Data(const Bytes& contents) {
    return FrameOf(PacketId::Data, contents);
}
Bytes End(const Bytes& contents) {
    return FrameOf(PacketId::EndData, contents);
}

Bytes Pattern(size_t count, unsigned seed) {
    Bytes bytes(count);
    for (size_t i = 0; i < count; ++i)
        bytes[i] = static_cast<unsigned char>((i * 7 + seed) & 0xFF);
    return bytes;
}

Bytes Slice(const Bytes& bytes, size_t from, size_t count) {
    return Bytes(bytes.begin() + static_cast<long>(from),
                 bytes.begin() + static_cast<long>(from + count));
}

// The module's answer to an upload: the Ack, then the stream cut into frames of chunk bytes.
Bytes Stream(const Bytes& data, size_t chunk, bool withEnd = true) {
    Bytes out = Ack({0x00});
    for (size_t at = 0; at < data.size(); at += chunk) {
        size_t n = std::min(chunk, data.size() - at);
        bool last = at + n >= data.size();
        out = Concat(out, last && withEnd ? End(Slice(data, at, n)) : Data(Slice(data, at, n)));
    }
    return out;
}

TEST_F(BulkTransfers, WriteFeaturesCutsDataIntoChunkSizedFramesAfterTheAck) {
    Bytes data = Pattern(512, 3);
    ScriptedPeer peer(line, {Ack({0x00})});
    EXPECT_EQ(WriteFeatures(1, data.data(), 512), 0);
    auto frames = peer.Frames(5);
    ASSERT_EQ(frames.size(), 5u);
    EXPECT_EQ(frames[0], FrameOf(PacketId::Command, {0x09, 0x01}));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(frames[1 + i], Data(Slice(data, 128 * i, 128)));
    EXPECT_EQ(frames[4], End(Slice(data, 384, 128)));
    EXPECT_EQ(frames[4][7], 0x00);
    EXPECT_EQ(frames[4][8], 0x82);
}

TEST_F(BulkTransfers, WriteFeaturesCountsAtTheChunkBoundary) {
    struct {
        int count;
        std::vector<size_t> dataFrames;  // sizes of Data frames, then one End frame of the rest
        size_t endSize;
    } cases[] = {{128, {}, 128}, {129, {128}, 1}, {1, {}, 1}, {257, {128, 128}, 1}};
    for (const auto& c : cases) {
        Bytes data = Pattern(static_cast<size_t>(c.count), 9);
        ScriptedPeer peer(line, {Ack({0x00})});
        EXPECT_EQ(WriteFeatures(2, data.data(), c.count), 0) << c.count;
        auto frames = peer.Frames(c.dataFrames.size() + 2);
        ASSERT_EQ(frames.size(), c.dataFrames.size() + 2) << c.count;
        size_t at = 0;
        for (size_t i = 0; i < c.dataFrames.size(); ++i) {
            EXPECT_EQ(frames[1 + i], Data(Slice(data, at, c.dataFrames[i]))) << c.count;
            at += c.dataFrames[i];
        }
        EXPECT_EQ(frames.back(), End(Slice(data, at, c.endSize))) << c.count;
    }
}

TEST_F(BulkTransfers, WriteFeaturesRefusesBadArgumentsBeforeSending) {
    Bytes data = Pattern(16, 0);
    ScriptedPeer peer(line, {Ack({0x00})});
    EXPECT_EQ(WriteFeatures(1, data.data(), 0), BadArgument);
    EXPECT_EQ(WriteFeatures(1, data.data(), -1), BadArgument);
    EXPECT_EQ(WriteFeatures(0, data.data(), 16), BadArgument);
    EXPECT_EQ(WriteFeatures(4, data.data(), 16), BadArgument);
    EXPECT_EQ(WriteFeatures(1, nullptr, 16), BadArgument);
    EXPECT_TRUE(peer.Frames(1, 300).empty());
}

TEST_F(BulkTransfers, ARefusedOpeningSendsNoData) {
    Bytes data = Pattern(512, 0);
    ScriptedPeer peer(line, {Ack({0x01})});
    EXPECT_EQ(WriteFeatures(1, data.data(), 512), 1);
    EXPECT_EQ(peer.Frames(2, 300).size(), 1u);
}

TEST_F(BulkTransfers, ReadFeaturesStoresTheWholeStream) {
    fake_ticks::Scope ticks(0, 1);
    Bytes data = Pattern(512, 5);
    ScriptedPeer peer(line, {Stream(data, 128)});
    Bytes store(TEMPLATE_SIZE, 0);
    int length = -1;
    EXPECT_EQ(ReadFeatures(store.data(), &length), 0);
    EXPECT_EQ(length, 512);
    EXPECT_EQ(store, data);
    EXPECT_EQ(peer.Frames(1)[0], FrameOf(PacketId::Command, {0x08, 0x01}));
}

TEST_F(BulkTransfers, ReadFeaturesStreamOutcomes) {
    Bytes d = Pattern(128, 1);
    struct Case {
        const char* name;
        Bytes reply;
        CommandStatus status;
        int length;  // -1: left as it was
    } cases[] = {
        {"empty end frame", Concat(Ack({0x00}), End({})), NoReply, 0},
        {"ack with code 1 inside the stream",
         Concat(Concat(Concat(Ack({0x00}), Data(d)), Ack({0x01})), End(d)), NotAck, 257},
        {"refused opening", Ack({0x05}), 5, -1},
        {"stream stops before its end", Concat(Ack({0x00}), Data(d)), NoReply, -1},
        {"stream longer than a template", Stream(Pattern(640, 2), 128), NoReply, -1},
        {"bad checksum in the stream",
         Concat(Ack({0x00}),
                [&] {
                    Bytes bad = Data(d);
                    bad[20] ^= 1;
                    return bad;
                }()),
         NoReply, -1},
    };
    for (const Case& c : cases) {
        fake_ticks::Accelerated ticks(50);
        ScriptedPeer peer(line, {c.reply});
        // Exactly 512 bytes, so that AddressSanitizer sees any write past a template.
        std::vector<unsigned char> store(TEMPLATE_SIZE, 0xAA);
        int length = -1;
        EXPECT_EQ(ReadFeatures(store.data(), &length), c.status) << c.name;
        EXPECT_EQ(length, c.length) << c.name;
    }
}

TEST_F(BulkTransfers, ReadFeaturesHasALimitOnTheWholeStream) {
    // Each frame comes well within its own limit, but the four together take longer than 16 s.
    Bytes data = Pattern(512, 4);
    for (uint32_t step : {10u, 30u}) {
        fake_ticks::Scope ticks(0, step);
        ScriptedPeer peer(line, {Stream(data, 128)});
        Bytes store(TEMPLATE_SIZE, 0);
        int length = -1;
        CommandStatus status = ReadFeatures(store.data(), &length);
        if (step == 10) {
            EXPECT_EQ(status, 0) << "a stream well within the limit failed";
            EXPECT_EQ(length, 512);
        } else {
            EXPECT_EQ(status, NoReply);
            EXPECT_EQ(length, -1);
        }
    }
}

TEST_F(BulkTransfers, ReadFeaturesRefusesMissingBuffers) {
    ScriptedPeer peer(line, {});
    int length = 0;
    unsigned char store[TEMPLATE_SIZE];
    EXPECT_EQ(ReadFeatures(nullptr, &length), BadArgument);
    EXPECT_EQ(ReadFeatures(store, nullptr), BadArgument);
    EXPECT_TRUE(peer.Frames(1, 300).empty());
}

TEST_F(BulkTransfers, ReadImageExpandsFourBitPixelsAndCountsThem) {
    fake_ticks::Scope ticks(0, 1);
    Bytes packed = Pattern(PACKED_IMAGE_SIZE, 0);
    packed[0] = 0x3C;
    ScriptedPeer peer(line, {Stream(packed, 128)});
    EXPECT_EQ(ReadImage(), 0);
    EXPECT_EQ(imagePixelCount.load(), 73728);
    EXPECT_EQ(RawImage[0], 0x30);
    EXPECT_EQ(RawImage[1], 0xC0);
    for (size_t i = 0; i < packed.size(); ++i) {
        ASSERT_EQ(RawImage[2 * i], packed[i] & 0xF0) << i;
        ASSERT_EQ(RawImage[2 * i + 1], (packed[i] & 0x0F) << 4) << i;
    }
    EXPECT_EQ(peer.Frames(1)[0], FrameOf(PacketId::Command, {0x0A}));
}

TEST_F(BulkTransfers, ReadImageThatStopsKeepsTheCountAndLeavesPackedBytes) {
    fake_ticks::Accelerated ticks(50);
    imagePixelCount = 4242;
    ScriptedPeer peer(line, {Concat(Ack({0x00}), Data({0x3C, 0x5A}))});
    EXPECT_EQ(ReadImage(), NoReply);
    EXPECT_EQ(imagePixelCount.load(), 4242);
    EXPECT_EQ(RawImage[0], 0x3C);
    EXPECT_EQ(RawImage[1], 0x5A);
}

TEST_F(BulkTransfers, ReadImageWithARefusalInsideItsStreamStillExpands) {
    fake_ticks::Scope ticks(0, 1);
    ScriptedPeer peer(
        line, {Concat(Concat(Concat(Ack({0x00}), Data({0x3C})), Ack({0x01})), End({0x21}))});
    EXPECT_EQ(ReadImage(), NoReply);
    EXPECT_EQ(imagePixelCount.load(), 6);  // three bytes received, the Ack's code byte among them
    EXPECT_EQ(RawImage[0], 0x30);
    EXPECT_EQ(RawImage[1], 0xC0);
    EXPECT_EQ(RawImage[2], 0x00);
    EXPECT_EQ(RawImage[3], 0x10);
    EXPECT_EQ(RawImage[4], 0x20);
    EXPECT_EQ(RawImage[5], 0x10);
}

TEST_F(BulkTransfers, ReadImageEndsAStreamLongerThanItsBuffer) {
    fake_ticks::Scope ticks(0, 1);
    imagePixelCount = 4242;
    ScriptedPeer peer(line, {Stream(Pattern(IMAGE_PIXELS + 128, 6), 256)});
    EXPECT_EQ(ReadImage(), NoReply);
    EXPECT_EQ(imagePixelCount.load(), 4242);
}

TEST_F(BulkTransfers, ReadImageRefusedLeavesTheImageAlone) {
    imagePixelCount = 4242;
    RawImage[0] = 0x77;
    ScriptedPeer peer(line, {Ack({0x01})});
    EXPECT_EQ(ReadImage(), 1);
    EXPECT_EQ(imagePixelCount.load(), 4242);
    EXPECT_EQ(RawImage[0], 0x77);
}

}  // namespace
