#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "commands/module_commands.h"
#include "tests/support/fake_ticks.h"
#include "tests/support/port_fixture.h"
#include "tests/support/scripted_peer.h"

namespace {

using ModuleCommands = PortOnPseudoTerminal;

Bytes CommandFrame(const Bytes& contents) {
    return FrameOf(PacketId::Command, contents);
}
Bytes Ack(const Bytes& contents) {
    return FrameOf(PacketId::Ack, contents);
}

const unsigned char kZeroPassword[4] = {0, 0, 0, 0};
const unsigned char kQmtz[4] = {'q', 'm', 't', 'z'};

struct FrameCase {
    std::string name;
    std::function<CommandStatus()> call;
    Bytes contents;  // what the command frame must carry after its Length
};

std::vector<FrameCase> FrameCases() {
    static int value = 0;
    return {
        {"capture", [] { return CaptureImage(); }, {0x01}},
        {"extract 1", [] { return ExtractFeatures(1); }, {0x02, 0x01}},
        {"extract 2", [] { return ExtractFeatures(2); }, {0x02, 0x02}},
        {"match", [] { return MatchFeatures(&value); }, {0x03}},
        {"search", [] { return SearchTemplates(&value); }, {0x04, 0x01, 0x00, 0x00, 0x01, 0x00}},
        {"merge", [] { return MergeFeatures(); }, {0x05}},
        {"store 0", [] { return StoreTemplate(0); }, {0x06, 0x01, 0x00, 0x00}},
        {"store 65537 sends its low 16 bits",
         [] { return StoreTemplate(65537); },
         {0x06, 0x01, 0x00, 0x01}},
        {"load 258", [] { return LoadTemplate(258); }, {0x07, 0x02, 0x01, 0x02}},
        {"delete 300", [] { return DeleteTemplates(300); }, {0x0C, 0x01, 0x2C, 0x00, 0x01}},
        {"empty", [] { return EmptyTemplates(); }, {0x0D}},
        {"baud 115200", [] { return SetSystemParameter(12); }, {0x0E, 0x04, 0x0C}},
        {"set password", [] { return SetPassword(kZeroPassword); }, {0x12, 0, 0, 0, 0}},
        {"verify password", [] { return VerifyPassword(kQmtz); }, {0x13, 'q', 'm', 't', 'z'}},
    };
}

TEST_F(ModuleCommands, EachCommandSendsItsExactFrameAndReturnsTheCode) {
    for (const FrameCase& c : FrameCases()) {
        ScriptedPeer peer(line, {Ack({0x00})});
        EXPECT_EQ(c.call(), 0) << c.name;
        auto frames = peer.Frames(1);
        ASSERT_EQ(frames.size(), 1u) << c.name;
        EXPECT_EQ(frames[0], CommandFrame(c.contents)) << c.name;
    }
}

TEST_F(ModuleCommands, ExampleFramesOnTheWire) {
    ScriptedPeer peer(line, {Ack({0x00}), Ack({0x00}), Ack({0x00})});
    EXPECT_EQ(CaptureImage(), 0);
    EXPECT_EQ(DeleteTemplates(300), 0);
    EXPECT_EQ(SetSystemParameter(12), 0);
    auto frames = peer.Frames(3);
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[0],
              (Bytes{0xEF, 0x01, 0xFF, 0xFF, 0xFF, 0xFF, 0x01, 0x00, 0x03, 0x01, 0x00, 0x05}));
    EXPECT_EQ(frames[1], (Bytes{0xEF, 0x01, 0xFF, 0xFF, 0xFF, 0xFF, 0x01, 0x00, 0x07, 0x0C, 0x01,
                                0x2C, 0x00, 0x01, 0x00, 0x42}));
    EXPECT_EQ(frames[2], (Bytes{0xEF, 0x01, 0xFF, 0xFF, 0xFF, 0xFF, 0x01, 0x00, 0x05, 0x0E, 0x04,
                                0x0C, 0x00, 0x24}));
}

TEST_F(ModuleCommands, ANegativePageIsRefusedAndNothingIsWritten) {
    ScriptedPeer peer(line, {});
    EXPECT_EQ(StoreTemplate(-1), BadArgument);
    EXPECT_EQ(LoadTemplate(-1), BadArgument);
    EXPECT_EQ(DeleteTemplates(-1), BadArgument);
    EXPECT_TRUE(peer.Frames(1, 300).empty());
}

struct ReplyCase {
    const char* name;
    Bytes reply;
    CommandStatus status;
    int score;  // what MatchFeatures leaves in its out-parameter (preset to -7)
};

TEST_F(ModuleCommands, RepliesAreReadAsTheirPacketIdAndFieldsSay) {
    Bytes badChecksum = Ack({0x00, 0x00, 0x50});
    badChecksum.back() ^= 0x01;
    const ReplyCase cases[] = {
        {"ack without contents", FrameOf(PacketId::Ack, {}), 0, 0},
        {"score 80", Ack({0x00, 0x00, 0x50}), 0, 80},
        {"high score byte", Ack({0x00, 0x01, 0x02}), 0, 258},
        {"code 9", Ack({0x09}), 9, 0},
        {"code 255", Ack({0xFF, 0x00, 0x10}), 255, 16},
        {"end-data packet id", FrameOf(PacketId::EndData, {0x00, 0x00, 0x50}), NotAck, 80},
        {"noise before the reply", Concat({0x12, 0xEF, 0x00}, Ack({0x00, 0x00, 0x64})), 0, 100},
        {"wrong checksum", badChecksum, NoReply, -7},
    };
    for (const ReplyCase& c : cases) {
        fake_ticks::Scope ticks(0, 100);
        ScriptedPeer peer(line, {c.reply});
        int score = -7;
        EXPECT_EQ(MatchFeatures(&score), c.status) << c.name;
        EXPECT_EQ(score, c.score) << c.name;
    }
}

TEST_F(ModuleCommands, MatchWithoutAScorePlaceRunsTheWholeTransaction) {
    ScriptedPeer peer(line, {Ack({0x00, 0x00, 0x50})});
    EXPECT_EQ(MatchFeatures(nullptr), 0);
    EXPECT_EQ(peer.Frames(1).size(), 1u);
}

TEST_F(ModuleCommands, SearchGivesThePageFound) {
    ScriptedPeer peer(line, {Ack({0x00, 0x00, 0x07, 0x00, 0x99})});
    int page = -1;
    EXPECT_EQ(SearchTemplates(&page), 0);
    EXPECT_EQ(page, 7);
}

TEST_F(ModuleCommands, OutParametersAreLeftAloneWhenNothingCameBack) {
    int score = -7;
    {
        fake_ticks::Scope ticks(0, 5000);
        ScriptedPeer silent(line, {});
        EXPECT_EQ(MatchFeatures(&score), NoReply);
        EXPECT_EQ(score, -7);
    }
    CloseModulePort();
    EXPECT_EQ(MatchFeatures(&score), SendFailed);
    EXPECT_EQ(SearchTemplates(&score), SendFailed);
    EXPECT_EQ(score, -7);
}

// The fake clock advances by step at each reading; a silent module makes each pass read it once,
// and the wait for the link and the receive add a reading or two.
uint32_t LimitSeenBy(const std::function<CommandStatus()>& call, uint32_t step,
                     CommandStatus* status) {
    fake_ticks::Scope ticks(0, step);
    *status = call();
    return fake_ticks::now.load();
}

TEST_F(ModuleCommands, ReplyLimitsAre160SecondsForCaptureOneForPasswordSixteenOtherwise) {
    ScriptedPeer silent(line, {});
    CommandStatus status = 0;
    uint32_t spent = LimitSeenBy([] { return CaptureImage(); }, 20000, &status);
    EXPECT_EQ(status, NoReply);
    EXPECT_GT(spent, 160000u);
    EXPECT_LE(spent, 240000u);

    spent = LimitSeenBy([] { return VerifyPassword(kZeroPassword); }, 250, &status);
    EXPECT_EQ(status, NoReply);
    EXPECT_GT(spent, 1000u);
    EXPECT_LE(spent, 2000u);

    spent = LimitSeenBy([] { return EmptyTemplates(); }, 4000, &status);
    EXPECT_EQ(status, NoReply);
    EXPECT_GT(spent, 16000u);
    EXPECT_LE(spent, 32000u);
}

TEST_F(ModuleCommands, NothingOpenMeansSendFailed) {
    CloseModulePort();
    EXPECT_EQ(CaptureImage(), SendFailed);
    EXPECT_EQ(VerifyPassword(kZeroPassword), SendFailed);
}

}  // namespace
