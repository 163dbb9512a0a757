// The module served on a pseudo-terminal, seen from the host's end of the line.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <thread>

#include "sim/confirmation_codes.h"
#include "sim/finger_image.h"
#include "sim/module_server.h"
#include "sim/pseudo_terminal.h"
#include "sim/reply_shaping.h"
#include "sim/templates.h"
#include "tests/sim/host_peer.h"

namespace {

using host_peer::Bytes;
using host_peer::Frame;
using host_peer::HostPeer;
using host_peer::Reply;
using namespace std::chrono;

const Bytes kVerifyZero = {0x13, 0, 0, 0, 0};
const Bytes kAckFrame = {0xEF, 0x01, 0xFF, 0xFF, 0xFF, 0xFF, 0x07, 0x00, 0x03, 0x00, 0x00, 0x0A};

std::vector<Reply> FramesUntilQuiet(HostPeer& peer, int quietMs = 300) {
    std::vector<Reply> frames;
    for (Reply reply = peer.readFrame(quietMs); !reply.frame.empty();
         reply = peer.readFrame(quietMs)) {
        frames.push_back(reply);
    }
    return frames;
}

size_t DataBytes(const std::vector<Reply>& frames) {
    size_t total = 0;
    for (size_t i = 1; i < frames.size(); ++i)
        total += frames[i].contents.size();
    return total;
}

class Served : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(server.ok()) << server.error();
        peer = std::make_unique<HostPeer>(server.devicePath());
        ASSERT_TRUE(peer->ok());
    }
    // Captures finger `finger` and extracts it into buffer 1.
    void Capture(uint32_t finger) {
        server.placeFinger(finger);
        ASSERT_EQ(peer->command({0x01}).contents, Bytes{0x00});
        ASSERT_EQ(peer->command({0x02, 0x01}).contents, Bytes{0x00});
    }
    void Arm(sim::FaultKind kind, int command, int value = sim::kDefaultValue, uint32_t times = 1) {
        server.armFault({kind, command, times, value});
    }

    sim::ModuleServer server;
    std::unique_ptr<HostPeer> peer;
};

TEST_F(Served, AnswersACommandWithOneAckFrameAndRecordsTheCommandExactly) {
    EXPECT_EQ(peer->command(kVerifyZero).frame, kAckFrame);
    EXPECT_TRUE(peer->readUntilQuiet(200).empty()) << "more than one reply";
    EXPECT_EQ(server.receivedFrames(), (std::vector<Bytes>{Frame(PacketId::Command, kVerifyZero)}));
    server.clearReceivedFrames();
    EXPECT_TRUE(server.receivedFrames().empty());
}

TEST_F(Served, DataFramesSentBackToBackLandInTheBuffer) {
    Bytes data(512);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<uint8_t>(i * 7);
    ASSERT_EQ(peer->command({0x09, 0x02}).contents, Bytes{0x00});
    // The host writes its data frames without waiting for anything in between.
    Bytes all;
    for (size_t at = 0; at < 512; at += 128) {
        Bytes frame = Frame(at == 384 ? PacketId::EndData : PacketId::Data,
                            Bytes(data.begin() + static_cast<long>(at),
                                  data.begin() + static_cast<long>(at + 128)));
        all.insert(all.end(), frame.begin(), frame.end());
    }
    ASSERT_TRUE(peer->write(all));
    ASSERT_TRUE(server.waitForHandledFrames(5, 3000));
    EXPECT_EQ(server.featureBuffer(2), data);
    EXPECT_TRUE(peer->readUntilQuiet(200).empty()) << "a data frame was answered";
}

TEST_F(Served, ATemplateReadAndWrittenBackMatchesItsFinger) {
    Capture(5);
    ASSERT_TRUE(peer->sendCommand({0x08, 0x01}));
    std::vector<Reply> upload = FramesUntilQuiet(*peer);
    ASSERT_EQ(upload.size(), 5u);
    EXPECT_EQ(upload[0].contents, Bytes{0x00});
    Bytes stored;
    for (size_t i = 1; i < upload.size(); ++i) {
        EXPECT_EQ(upload[i].packetId, i == 4 ? PacketId::EndData : PacketId::Data);
        stored.insert(stored.end(), upload[i].contents.begin(), upload[i].contents.end());
    }
    EXPECT_EQ(stored, server.featureBuffer(1));

    Capture(5);  // a second capture in buffer 1, the first one written back into buffer 2
    ASSERT_EQ(peer->command({0x09, 0x02}).contents, Bytes{0x00});
    for (size_t at = 0; at < 512; at += 128) {
        peer->sendData(at == 384 ? PacketId::EndData : PacketId::Data,
                       Bytes(stored.begin() + static_cast<long>(at),
                             stored.begin() + static_cast<long>(at + 128)));
    }
    Reply match = peer->command({0x03});
    ASSERT_EQ(match.contents.size(), 3u);
    EXPECT_EQ(match.contents[0], 0x00);
    EXPECT_EQ(match.contents[1] * 256 + match.contents[2],
              sim::MatchScore(server.featureBuffer(1), stored));
    EXPECT_GE(match.contents[1] * 256 + match.contents[2], 150);

    server.forceScore(79);
    EXPECT_EQ(peer->command({0x03}).contents, (Bytes{0x00, 0x00, 79}));
}

TEST_F(Served, TheImageArrivesInFramesOfTheChosenSize) {
    server.placeFinger(9);
    ASSERT_EQ(peer->command({0x01}).contents, Bytes{0x00});
    for (size_t chunk : {64u, 256u}) {
        ASSERT_TRUE(server.setChunkSize(chunk));
        peer->sendCommand({0x0A});
        std::vector<Reply> frames = FramesUntilQuiet(*peer);
        ASSERT_EQ(frames.size(), 1 + sim::kPackedImageSize / chunk) << chunk;
        Bytes image;
        for (size_t i = 1; i < frames.size(); ++i) {
            EXPECT_TRUE(frames[i].verified);
            image.insert(image.end(), frames[i].contents.begin(), frames[i].contents.end());
        }
        EXPECT_EQ(frames.back().packetId, PacketId::EndData);
        EXPECT_EQ(image, sim::PackedFingerImage(9)) << chunk;
    }
}

TEST_F(Served, FingerControlsAndTheCaptureCount) {
    server.setAutoFinger(2);
    EXPECT_EQ(peer->command({0x01}).contents, Bytes{sim::kSuccess});
    EXPECT_EQ(peer->command({0x01}).contents, Bytes{sim::kNoFinger});
    server.setFingerScript({{4, 2, 2}});
    EXPECT_EQ(peer->command({0x01}).contents, Bytes{sim::kNoFinger});
    EXPECT_EQ(peer->command({0x01}).contents, Bytes{sim::kSuccess});
    server.liftFinger();
    EXPECT_EQ(peer->command({0x01}).contents, Bytes{sim::kNoFinger});
    EXPECT_EQ(server.captures(), 5u);
}

TEST_F(Served, PasswordAndParameterFourAreReadableAndSettable) {
    server.setPassword({'q', 'm', 't', 'z'});
    EXPECT_EQ(peer->command(kVerifyZero).contents, Bytes{sim::kWrongPassword});
    EXPECT_EQ(peer->command({0x13, 'q', 'm', 't', 'z'}).contents, Bytes{0x00});
    EXPECT_EQ(peer->command({0x12, 0, 0, 0, 0}).contents, Bytes{0x00});
    EXPECT_EQ(server.password(), (sim::Password{0, 0, 0, 0}));
    EXPECT_EQ(peer->command({0x0E, 0x04, 0x0C}).contents, Bytes{0x00});
    EXPECT_EQ(server.baudCode(), 12);
}

// Faults, as the host sees them.

TEST_F(Served, NoReplyFaultSilencesOnlyItsCommandAndOnlyAsOftenAsArmed) {
    Arm(sim::FaultKind::NoReply, 0x13, sim::kDefaultValue, 2);
    EXPECT_EQ(peer->command({0x0D}).frame, kAckFrame) << "another command was silenced";
    EXPECT_TRUE(peer->command(kVerifyZero, 400).frame.empty());
    EXPECT_TRUE(peer->command(kVerifyZero, 400).frame.empty());
    EXPECT_EQ(peer->command(kVerifyZero).frame, kAckFrame);
}

TEST_F(Served, NoiseFaultSendsBytesBeforeTheFrame) {
    Arm(sim::FaultKind::Noise, sim::kAnyCommand, 5);
    peer->sendCommand(kVerifyZero);
    Bytes expected = {0x00, 0x12, 0xEF, 0x55, 0xA5};
    expected.insert(expected.end(), kAckFrame.begin(), kAckFrame.end());
    EXPECT_EQ(peer->readUntilQuiet(300), expected);
    EXPECT_EQ(peer->command(kVerifyZero).frame, kAckFrame);
    EXPECT_EQ(peer->skipped(), 0u);
}

TEST_F(Served, BadChecksumFaultSpoilsTheChecksumOnly) {
    Arm(sim::FaultKind::BadChecksum, 0x13);
    Reply reply = peer->command(kVerifyZero);
    Bytes expected = kAckFrame;
    expected.back() ^= 0x01;
    EXPECT_EQ(reply.frame, expected);
    EXPECT_FALSE(reply.verified);
}

TEST_F(Served, SplitFaultSendsTheFrameInPiecesWithPauses) {
    Arm(sim::FaultKind::Split, 0x13, 400);
    peer->sendCommand(kVerifyZero);
    auto reads = peer->readTimed(1000);
    // Three pieces: EF, the next 7 bytes of the Header, the rest; each after a pause.
    ASSERT_EQ(reads.size(), 3u);
    EXPECT_EQ(reads[0].second, Bytes{0xEF});
    EXPECT_EQ(reads[1].second, Bytes(kAckFrame.begin() + 1, kAckFrame.begin() + 8));
    EXPECT_EQ(reads[2].second, Bytes(kAckFrame.begin() + 8, kAckFrame.end()));
    EXPECT_GE(reads[1].first - reads[0].first, 300);
    EXPECT_GE(reads[2].first - reads[1].first, 300);
}

TEST_F(Served, WrongPacketIdFaultReplacesTheAcksId) {
    Arm(sim::FaultKind::WrongPacketId, 0x13);
    Reply reply = peer->command(kVerifyZero);
    EXPECT_TRUE(reply.verified);
    EXPECT_EQ(reply.packetId, PacketId::EndData);
    EXPECT_EQ(reply.contents, Bytes{0x00});
    Arm(sim::FaultKind::WrongPacketId, 0x13, 2);
    EXPECT_EQ(peer->command(kVerifyZero).packetId, PacketId::Data);
}

TEST_F(Served, CodeFaultRefusesTheCommandWithoutCarryingItOut) {
    Capture(3);
    Arm(sim::FaultKind::Code, 0x06, 9);
    EXPECT_EQ(peer->command({0x06, 0x01, 0x00, 0x02}).contents, Bytes{9});
    EXPECT_FALSE(server.pageStored(2));
    EXPECT_EQ(peer->command({0x06, 0x01, 0x00, 0x02}).contents, Bytes{0});
    EXPECT_TRUE(server.pageStored(2));
    Arm(sim::FaultKind::Code, 0x08, 4);
    peer->sendCommand({0x08, 0x01});
    std::vector<Reply> frames = FramesUntilQuiet(*peer);
    ASSERT_EQ(frames.size(), 1u) << "data frames after a refusal";
    EXPECT_EQ(frames[0].contents, Bytes{4});
}

TEST_F(Served, StopStreamFaultLeavesOutTheEndFrame) {
    Capture(3);
    Arm(sim::FaultKind::StopStream, 0x08);
    peer->sendCommand({0x08, 0x01});
    std::vector<Reply> frames = FramesUntilQuiet(*peer);
    ASSERT_EQ(frames.size(), 4u);
    for (size_t i = 1; i < frames.size(); ++i)
        EXPECT_EQ(frames[i].packetId, PacketId::Data);
}

TEST_F(Served, OversizeStreamFaultCarriesMoreThanTheHostHolds) {
    Capture(3);
    // By default twice the data and one frame more: past 512 bytes, and past the 73,728 bytes
    // that hold an expanded image; or exactly `value` bytes more.
    Arm(sim::FaultKind::OversizeStream, sim::kAnyCommand, sim::kDefaultValue, 2);
    Arm(sim::FaultKind::OversizeStream, 0x08, 1, 1);
    struct Case {
        Bytes command;
        size_t dataBytes;
    } cases[] = {{{0x08, 0x01}, 2 * 512 + 128}, {{0x0A}, 2 * 36864 + 128}, {{0x08, 0x01}, 513}};
    for (const Case& c : cases) {
        ASSERT_TRUE(peer->sendCommand(c.command));
        std::vector<Reply> frames = FramesUntilQuiet(*peer);
        ASSERT_GE(frames.size(), 2u);
        EXPECT_EQ(DataBytes(frames), c.dataBytes);
        EXPECT_EQ(frames.back().packetId, PacketId::EndData);
        for (size_t i = 1; i + 1 < frames.size(); ++i)
            EXPECT_EQ(frames[i].packetId, PacketId::Data);
    }
}

TEST_F(Served, AckInStreamFaultPutsAnAckBetweenTheDataFrames) {
    Capture(3);
    Arm(sim::FaultKind::AckInStream, 0x08, 1);
    peer->sendCommand({0x08, 0x01});
    std::vector<Reply> frames = FramesUntilQuiet(*peer);
    ASSERT_EQ(frames.size(), 6u);
    EXPECT_EQ(frames[0].contents, Bytes{0x00});
    EXPECT_EQ(frames[1].packetId, PacketId::Data);
    EXPECT_EQ(frames[2].packetId, PacketId::Ack);
    EXPECT_EQ(frames[2].contents, Bytes{0x01});
    EXPECT_EQ(frames[5].packetId, PacketId::EndData);
    EXPECT_EQ(DataBytes(frames), 512u) << "the Ack's byte takes a data byte's place";
}

TEST_F(Served, DelayFaultHoldsTheReplyBack) {
    Arm(sim::FaultKind::Delay, 0x13, 500);
    auto start = steady_clock::now();
    EXPECT_EQ(peer->command(kVerifyZero, 3000).frame, kAckFrame);
    EXPECT_GE(steady_clock::now() - start, milliseconds(500));
    server.clearFaults();
    Arm(sim::FaultKind::Delay, 0x13, 500);
    server.clearFaults();
    start = steady_clock::now();
    EXPECT_EQ(peer->command(kVerifyZero).frame, kAckFrame);
    EXPECT_LT(steady_clock::now() - start, milliseconds(400)) << "cleared faults still apply";
}

TEST_F(Served, ASilentModuleAnswersNothingButStillCountsCaptures) {
    server.setSilent(true);
    EXPECT_TRUE(peer->command({0x01}, 400).frame.empty());
    EXPECT_TRUE(peer->command(kVerifyZero, 400).frame.empty());
    EXPECT_EQ(server.captures(), 1u);
    server.setSilent(false);
    EXPECT_EQ(peer->command(kVerifyZero).frame, kAckFrame);
}

// Robustness: what is not a verified frame is never answered and never hides the next command.

TEST_F(Served, GarbageBrokenAndOversizeFramesAreNeverAnswered) {
    Bytes verify = Frame(PacketId::Command, kVerifyZero);
    Bytes badChecksum = verify;
    badChecksum.back() ^= 0x40;
    std::vector<Bytes> junk = {
        {0x00, 0xFF, 0x12, 0xEF, 0x00, 0x01},
        {0xEF, 0x01, 0xFF, 0xFF, 0xFF, 0xFF, 0x01, 0xFF, 0xFF, 0x13, 0x00},  // Length 65,535
        {0xEF, 0x01, 0xFF, 0xFF, 0xFF, 0xFF, 0x01, 0x00, 0x00},              // Length 0
        Bytes(verify.begin(), verify.begin() + 12),                          // broken off
        badChecksum,
        Frame(PacketId::Data, {1, 2, 3}),  // data without a WriteFeatures
        Frame(PacketId::Ack, {0x00}),
    };
    uint32_t state = 7;
    Bytes noise(2000);
    for (uint8_t& byte : noise) {
        state = state * 1103515245u + 12345u;
        byte = static_cast<uint8_t>(state >> 16);
    }
    junk.push_back(noise);
    for (const Bytes& bytes : junk)
        ASSERT_TRUE(peer->write(bytes));
    EXPECT_TRUE(peer->readUntilQuiet(400).empty()) << "answered out of turn";
    // The next command is answered once, whatever false Header still waits for its bytes.
    EXPECT_EQ(peer->command(kVerifyZero).frame, kAckFrame);
    EXPECT_TRUE(peer->readUntilQuiet(300).empty());
    EXPECT_EQ(server.receivedFrames().size(), 3u);  // the data frame, the host's Ack, the command
}

TEST_F(Served, ACommandDrippingInByteByByteIsAnswered) {
    Bytes verify = Frame(PacketId::Command, kVerifyZero);
    for (uint8_t byte : verify) {
        ASSERT_TRUE(peer->write({byte}));
        std::this_thread::sleep_for(milliseconds(15));
    }
    EXPECT_EQ(peer->readFrame().frame, kAckFrame);
}

TEST(ServedWithOptions, RecordsFramesToAFileOneHexLineEach) {
    char path[] = "/tmp/quorvel-sim-record-XXXXXX";
    int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    {
        sim::ServerOptions options;
        options.recordPath = path;
        sim::ModuleServer server(options);
        ASSERT_TRUE(server.ok());
        HostPeer peer(server.devicePath());
        ASSERT_FALSE(peer.command({0x01}).frame.empty());
        ASSERT_FALSE(peer.command({0x0E, 0x04, 0x0C}).frame.empty());
    }
    std::ifstream file(path);
    std::string first, second, more;
    std::getline(file, first);
    std::getline(file, second);
    EXPECT_EQ(first, "EF 01 FF FF FF FF 01 00 03 01 00 05");
    EXPECT_EQ(second, "EF 01 FF FF FF FF 01 00 05 0E 04 0C 00 24");
    EXPECT_FALSE(std::getline(file, more));
    std::remove(path);
}

TEST(ServedWithOptions, ARecordFileThatCannotBeOpenedIsAnError) {
    sim::ServerOptions options;
    options.recordPath = "/nonexistent-folder/record.txt";
    sim::ModuleServer server(options);
    EXPECT_FALSE(server.ok());
    EXPECT_FALSE(server.error().empty());
}

TEST(ServedWithOptions, ServesASerialDeviceGivenByPath) {
    // The slave of a pseudo-terminal stands in for the device; the test plays the host on the
    // master side.
    sim::PseudoTerminal line;
    ASSERT_TRUE(line.ok());
    sim::ServerOptions options;
    options.device = line.slavePath();
    options.baud = 115200;
    sim::ModuleServer server(options);
    ASSERT_TRUE(server.ok()) << server.error();
    EXPECT_EQ(server.devicePath(), line.slavePath());
    ASSERT_TRUE(line.write(Frame(PacketId::Command, kVerifyZero)));
    EXPECT_EQ(line.readExactly(kAckFrame.size(), 3000), kAckFrame);

    options.baud = 12345;
    EXPECT_FALSE(sim::ModuleServer(options).ok());
}

// Pacing: the whole transfer takes what 11 bit times per byte allow at the chosen rate. The lower
// bound is the contract; the upper one is generous, only to catch a schedule that drifts.
TEST(ServedWithOptions, PacingHoldsATransferToTheLineRate) {
    struct Case {
        int baud;
        Bytes command;
        size_t lineBytes;  // the Ack frame and every data frame
    } cases[] = {
        {9600, {0x08, 0x01}, 12 + 4 * (128 + 11)},
        {230400, {0x0A}, 12 + 288 * (128 + 11)},
    };
    for (const Case& c : cases) {
        sim::ServerOptions options;
        options.paceBaud = c.baud;
        sim::ModuleServer server(options);
        ASSERT_TRUE(server.ok());
        HostPeer peer(server.devicePath());
        server.placeFinger(1);
        ASSERT_EQ(peer.command({0x01}).contents, Bytes{0});
        ASSERT_EQ(peer.command({0x02, 0x01}).contents, Bytes{0});

        auto start = steady_clock::now();
        peer.sendCommand(c.command);
        std::vector<Reply> frames;
        size_t bytes = 0;
        for (Reply reply = peer.readFrame(); !reply.frame.empty(); reply = peer.readFrame()) {
            bytes += reply.frame.size();
            frames.push_back(reply);
            if (reply.packetId == PacketId::EndData)
                break;
        }
        auto elapsed = steady_clock::now() - start;
        ASSERT_EQ(bytes, c.lineBytes);
        auto lineTime = sim::LinePacer::LineTime(c.lineBytes, c.baud);
        EXPECT_GE(elapsed, lineTime) << c.baud;
        EXPECT_LE(elapsed, lineTime * 2 + milliseconds(500)) << c.baud;
    }
}

}  // namespace
