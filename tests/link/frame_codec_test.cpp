#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "link/frame_codec.h"

using Bytes = std::vector<unsigned char>;

static Bytes Build(const Bytes& body, int* result) {
    unsigned char frame[MAX_FRAME_LENGTH + 8];
    int frameLength = -1;
    *result = BuildFrame(body.data(), BodyLengthField(body.data()) + 3, frame, &frameLength);
    return Bytes(frame, frame + frameLength);
}

static Bytes BodyOf(unsigned char packetId, const Bytes& contents) {
    Bytes body(contents.size() + 3);
    body[0] = packetId;
    body[1] = static_cast<unsigned char>((contents.size() + 2) >> 8);
    body[2] = static_cast<unsigned char>((contents.size() + 2) & 0xFF);
    std::copy(contents.begin(), contents.end(), body.begin() + 3);
    return body;
}

TEST(BuildFrame, WrapsTheCaptureCommand) {
    int result = 0;
    Bytes frame = Build({0x01, 0x00, 0x03, 0x01}, &result);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(frame,
              (Bytes{0xEF, 0x01, 0xFF, 0xFF, 0xFF, 0xFF, 0x01, 0x00, 0x03, 0x01, 0x00, 0x05}));
}

TEST(BuildFrame, LongestBodyFillsMaxFrameAndOneMoreIsRefused) {
    int result = 0;
    Bytes longest = BodyOf(PacketId::Data, Bytes(339, 0x11));
    EXPECT_EQ(Build(longest, &result).size(), 350u);
    EXPECT_EQ(result, 1);

    Bytes tooLong = BodyOf(PacketId::Data, Bytes(340, 0x11));
    unsigned char frame[MAX_FRAME_LENGTH + 8];
    frame[0] = 0x5A;
    int frameLength = -1;
    EXPECT_EQ(BuildFrame(tooLong.data(), 342 + 3, frame, &frameLength), 0);
    EXPECT_EQ(frameLength, 0);
    EXPECT_EQ(frame[0], 0x5A) << "nothing is written for a refused body";
}

TEST(BuildFrame, RefusesMissingBuffers) {
    unsigned char body[4] = {1, 0, 3, 1};
    unsigned char frame[MAX_FRAME_LENGTH];
    int frameLength = -1;
    EXPECT_EQ(BuildFrame(nullptr, 6, frame, &frameLength), 0);
    EXPECT_EQ(frameLength, 0);
    EXPECT_EQ(BuildFrame(body, 6, nullptr, &frameLength), 0);
}

TEST(BuildFrame, ChecksumKeepsLowSixteenBitsAndParsesBack) {
    int result = 0;
    Bytes body = BodyOf(PacketId::Data, Bytes(300, 0xFF));
    Bytes frame = Build(body, &result);
    ASSERT_EQ(result, 1);
    unsigned sum = 0;
    for (unsigned char b : body)
        sum += b;
    EXPECT_GT(sum, 0xFFFFu);
    EXPECT_EQ(frame[frame.size() - 2] * 256u + frame.back(), sum & 0xFFFF);

    unsigned char parsed[MAX_BODY_LENGTH];
    int bodyLength = 0;
    EXPECT_EQ(ParseFrame(frame.data(), static_cast<int>(frame.size()), parsed, &bodyLength), 1);
    EXPECT_EQ(Bytes(parsed, parsed + bodyLength), body);
}

struct ParseCase {
    const char* name;
    Bytes frame;
    int result;
    Bytes body;
};

static Bytes AckFrame() {
    return {0xEF, 0x01, 0xFF, 0xFF, 0xFF, 0xFF, 0x07, 0x00, 0x03, 0x00, 0x00, 0x0A};
}

static Bytes With(Bytes frame, size_t at, unsigned char value) {
    frame[at] = value;
    return frame;
}

static std::vector<ParseCase> ParseCases() {
    std::vector<ParseCase> cases = {
        {"ack", AckFrame(), 1, {0x07, 0x00, 0x03, 0x00}},
        {"any address",
         With(With(With(With(AckFrame(), 2, 0), 3, 0), 4, 0), 5, 0),
         1,
         {0x07, 0x00, 0x03, 0x00}},
        // Packet id 2 with its checksum corrected: 2 + 3 + 0 = 5.
        {"any packet id", With(With(AckFrame(), 6, 0x02), 11, 0x05), 1, {0x02, 0x00, 0x03, 0x00}},
        {"first byte not EF", With(AckFrame(), 0, 0xEE), 0, {}},
        {"second byte not 01", With(AckFrame(), 1, 0x02), 0, {}},
        // Length 1: the Checksum's high byte is the Length's low byte 01, so it can never match.
        {"length one", {0xEF, 0x01, 0xFF, 0xFF, 0xFF, 0xFF, 0x07, 0x00, 0x01, 0x08}, 0, {}},
        {"too short", {0xEF, 0x01, 0xFF, 0xFF, 0xFF, 0xFF, 0x07, 0x00, 0x03}, 0, {}},
        {"351 bytes", Bytes(351, 0), 0, {}},
    };
    for (size_t at = 6; at < AckFrame().size(); ++at) {
        cases.push_back({"changed byte", With(AckFrame(), at, AckFrame()[at] ^ 0x40), 0, {}});
    }
    cases.push_back({"351 bytes with valid header",
                     [] {
                         Bytes b(351, 0);
                         b[0] = 0xEF;
                         b[1] = 0x01;
                         return b;
                     }(),
                     0,
                     {}});
    return cases;
}

TEST(ParseFrame, TableOfFrames) {
    for (const ParseCase& c : ParseCases()) {
        unsigned char body[MAX_BODY_LENGTH + 16];
        int bodyLength = -1;
        int result =
            ParseFrame(c.frame.data(), static_cast<int>(c.frame.size()), body, &bodyLength);
        EXPECT_EQ(result, c.result) << c.name;
        if (c.result == 1) {
            EXPECT_EQ(Bytes(body, body + bodyLength), c.body) << c.name;
        } else {
            EXPECT_EQ(bodyLength, 0) << c.name;
        }
    }
}

TEST(ParseFrame, ShortInputIsRefusedWithoutReadingPastIt) {
    // Each prefix lives in a buffer of exactly its size, so AddressSanitizer sees any overread.
    Bytes ack = AckFrame();
    for (size_t n = 0; n < 10; ++n) {
        std::vector<unsigned char> exact(ack.begin(), ack.begin() + static_cast<long>(n));
        unsigned char body[MAX_BODY_LENGTH];
        int bodyLength = -1;
        EXPECT_EQ(ParseFrame(n ? exact.data() : ack.data(), static_cast<int>(n), body, &bodyLength),
                  0);
        EXPECT_EQ(bodyLength, 0);
    }
}

TEST(ParseFrame, RefusesMissingBuffersAndNegativeLengths) {
    Bytes ack = AckFrame();
    unsigned char body[MAX_BODY_LENGTH];
    int bodyLength = -1;
    EXPECT_EQ(ParseFrame(nullptr, 12, body, &bodyLength), 0);
    EXPECT_EQ(ParseFrame(ack.data(), 12, nullptr, &bodyLength), 0);
    // A negative count read as unsigned is far above MAX_FRAME_LENGTH.
    EXPECT_EQ(ParseFrame(ack.data(), -1, body, &bodyLength), 0);
}
