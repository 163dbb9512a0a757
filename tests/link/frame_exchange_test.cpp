#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

#include "link/frame_exchange.h"
#include "tests/support/fake_ticks.h"
#include "tests/support/port_fixture.h"

using namespace std::chrono_literals;

namespace {

struct Received {
    int result;
    Bytes body;
};

Received Receive(uint32_t limit) {
    unsigned char body[MAX_FRAME_LENGTH] = {};
    int result = ReceiveFrameBody(body, limit);
    Bytes out;
    if (result == 1)
        out.assign(body, body + BodyLengthField(body) + 1);
    return {result, out};
}

const Bytes kAck = FrameOf(PacketId::Ack, {0x00});
const Bytes kAckBody = {0x07, 0x00, 0x03, 0x00};

using FrameExchange = PortOnPseudoTerminal;

TEST_F(FrameExchange, TheAckFrameIsTheOneOfTheExample) {
    EXPECT_EQ(kAck,
              (Bytes{0xEF, 0x01, 0xFF, 0xFF, 0xFF, 0xFF, 0x07, 0x00, 0x03, 0x00, 0x00, 0x0A}));
}

TEST_F(FrameExchange, SendWritesTheFrameBytesExactly) {
    unsigned char body[MAX_FRAME_LENGTH] = {0x01, 0x00, 0x03, 0x01};
    ASSERT_EQ(SendFrameBody(body), 1);
    EXPECT_EQ(line.readExactly(12, 2000),
              (Bytes{0xEF, 0x01, 0xFF, 0xFF, 0xFF, 0xFF, 0x01, 0x00, 0x03, 0x01, 0x00, 0x05}));
}

TEST_F(FrameExchange, NoiseBeforeTheHeaderIsSkipped) {
    fake_ticks::Scope ticks(0, 10);
    line.write(Concat({0x00, 0x12}, kAck));
    Received r = Receive(16000);
    EXPECT_EQ(r.result, 1);
    EXPECT_EQ(r.body, kAckBody);
}

TEST_F(FrameExchange, HeaderNeedsTheSevenBytesAfterEf01) {
    fake_ticks::Scope ticks(0, 250);
    line.write({0xEF, 0x01, 0xFF, 0xFF, 0xFF, 0xFF, 0x07});
    EXPECT_EQ(Receive(1000).result, 0);
}

TEST_F(FrameExchange, TwoFramesBackToBackAreReadOneAtATime) {
    fake_ticks::Scope ticks(0, 10);
    Bytes second = FrameOf(PacketId::EndData, {0xAA, 0xBB});
    line.write(Concat(kAck, second));
    EXPECT_EQ(Receive(16000).body, kAckBody);
    EXPECT_EQ(Receive(16000).body, (Bytes{0x08, 0x00, 0x04, 0xAA, 0xBB}));
}

TEST_F(FrameExchange, WrongChecksumFailsAtOnceNotAtTheLimit) {
    fake_ticks::Scope ticks(0, 10);
    Bytes bad = kAck;
    bad.back() ^= 1;
    line.write(Concat(bad, kAck));
    uint32_t before = fake_ticks::now;
    EXPECT_EQ(Receive(16000).result, 0);
    EXPECT_LT(fake_ticks::now - before, 1000u) << "waited for the limit";
    // Nothing past the bad frame was read: the next frame is still there.
    EXPECT_EQ(Receive(16000).body, kAckBody);
}

TEST_F(FrameExchange, LineSilentMidFrameEndsAtTheLimitFromTheHeader) {
    fake_ticks::Scope ticks(0, 250);
    line.write(Bytes(kAck.begin(), kAck.begin() + 10));
    uint32_t before = fake_ticks::now;
    EXPECT_EQ(Receive(1000).result, 0);
    EXPECT_GT(fake_ticks::now - before, 1000u);
}

TEST_F(FrameExchange, LengthZeroNeverCompletes) {
    fake_ticks::Scope ticks(0, 100);
    line.write(Concat({0xEF, 0x01, 0xFF, 0xFF, 0xFF, 0xFF, 0x07, 0x00, 0x00}, Bytes(20, 0x00)));
    EXPECT_EQ(Receive(1000).result, 0);
}

TEST_F(FrameExchange, LengthAbove341FailsWhenItsLastByteArrives) {
    // The clock hardly moves, so only the announced byte count can end this receive.
    fake_ticks::Scope ticks(0, 1);
    Bytes oversize = {0xEF, 0x01, 0xFF, 0xFF, 0xFF, 0xFF, 0x02, 0x01, 0x90};  // Length 400
    line.write(Concat(Concat(oversize, Bytes(400, 0x55)), kAck));
    EXPECT_EQ(Receive(1000000).result, 0);
    EXPECT_EQ(Receive(1000000).body, kAckBody) << "read past the announced length";
}

// Every reading of the fake clock advances it by 10 ms, and each pass that does not complete the
// Header or the frame ends with one reading: pass i of a phase sees i * 10 ms elapsed.
TEST_F(FrameExchange, AHeaderJustBeforeTheLimitGetsAFullLimitForTheRest) {
    fake_ticks::Scope ticks(0, 10);
    // 3 noise bytes and 8 Header bytes end their passes at 10..110 ms, exactly the limit, which
    // still goes on; the rest of the frame would be too late if the limit did not run afresh.
    line.write(Concat({0x00, 0x00, 0x00}, kAck));
    Received r = Receive(110);
    EXPECT_EQ(r.result, 1);
    EXPECT_EQ(r.body, kAckBody);
}

TEST_F(FrameExchange, TheLastByteCountsEvenWhenTheLimitHasPassed) {
    fake_ticks::Scope ticks(0, 10);
    // 12 bytes after the Header: the first 11 end their passes at 10..110 ms; the 12th arrives
    // when 120 ms would be read, past the limit, and still completes the frame.
    Bytes frame = FrameOf(PacketId::Data, Bytes(10, 0x33));
    line.write(frame);
    EXPECT_EQ(Receive(110).result, 1);
}

TEST_F(FrameExchange, OnePassPastTheLimitEndsTheHunt) {
    fake_ticks::Scope ticks(0, 10);
    line.write(Concat({0x00, 0x00, 0x00, 0x00}, kAck));
    EXPECT_EQ(Receive(110).result, 0);
}

TEST_F(FrameExchange, ATickCounterThatWrapsNeitherShortensNorLengthensTheLimit) {
    fake_ticks::Scope ticks(0xFFFFFF00u, 50);
    uint32_t before = fake_ticks::now;
    EXPECT_EQ(Receive(1000).result, 0);
    uint32_t elapsed = fake_ticks::now - before;
    EXPECT_GT(elapsed, 1000u);
    EXPECT_LE(elapsed, 1200u);
}

TEST_F(FrameExchange, NoPortOpenFailsAtOnce) {
    CloseModulePort();
    fake_ticks::Scope ticks(0, 1000);
    unsigned char body[MAX_FRAME_LENGTH] = {0x01, 0x00, 0x03, 0x01};
    EXPECT_EQ(SendFrameBody(body), 0);
    EXPECT_EQ(ReceiveFrameBody(body, 16000), 0);
    EXPECT_EQ(fake_ticks::now, 0u) << "the receive waited";
    EXPECT_TRUE(line.read(100).empty());
}

TEST_F(FrameExchange, SendOfLength341Writes350BytesAnd342NothingButStillPurges) {
    unsigned char body[MAX_FRAME_LENGTH] = {PacketId::Data, 0x01, 0x55};  // Length 341
    ASSERT_EQ(SendFrameBody(body), 1);
    EXPECT_EQ(line.readExactly(350, 3000).size(), 350u);

    line.write(kAck);  // a late reply waiting in the input queue
    std::this_thread::sleep_for(50ms);
    body[2] = 0x56;  // Length 342
    EXPECT_EQ(SendFrameBody(body), 0);
    EXPECT_TRUE(line.read(100).empty());
    fake_ticks::Scope ticks(0, 500);
    EXPECT_EQ(Receive(1000).result, 0) << "the send did not purge the input";
}

TEST_F(FrameExchange, MissingBodyFails) {
    EXPECT_EQ(SendFrameBody(nullptr), 0);
    EXPECT_EQ(ReceiveFrameBody(nullptr, 100), 0);
}

TEST_F(FrameExchange, CloseDuringAReceiveEndsItPromptly) {
    auto started = std::chrono::steady_clock::now();
    auto receive = std::async(std::launch::async, [] { return Receive(16000); });
    std::this_thread::sleep_for(200ms);
    CloseModulePort();
    EXPECT_EQ(receive.get().result, 0);
    EXPECT_LT(std::chrono::steady_clock::now() - started, 2s);
}

TEST_F(FrameExchange, AReceiveNeverReadsFromAPortOpenedUnderIt) {
    sim::PseudoTerminal other;
    ASSERT_EQ(SetModulePortDevice(4, other.slavePath().c_str()), 1);
    auto receive = std::async(std::launch::async, [] { return Receive(16000); });
    std::this_thread::sleep_for(200ms);
    CloseModulePort();
    ASSERT_EQ(OpenModulePort(4, 57600), 1);
    other.write(kAck);
    EXPECT_EQ(receive.get().result, 0);
    fake_ticks::Scope ticks(0, 10);
    EXPECT_EQ(Receive(16000).body, kAckBody) << "the old receive took the new port's frame";
}

}  // namespace
