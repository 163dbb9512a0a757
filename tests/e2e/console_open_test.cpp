// Open: the port, then the password handshake with its three candidates.
#include "tests/e2e/console_rig.h"

namespace {

// The VerifyPassword frames of the three candidates, in the order they are tried.
const std::vector<std::string> candidateFrames = {
    "EF 01 FF FF FF FF 01 00 07 13 00 00 00 00 00 1B",  // 00 00 00 00
    "EF 01 FF FF FF FF 01 00 07 13 71 6D 74 7A 01 E7",  // "qmtz"
    "EF 01 FF FF FF FF 01 00 07 13 72 64 75 6B 01 D1",  // "rduk"
};

std::vector<std::string> FramesFrom(const std::vector<std::string>& frames, size_t first) {
    return std::vector<std::string>(frames.begin() + static_cast<long>(first), frames.end());
}

}  // namespace

using ConsoleOpen = ConsoleRig;

TEST_F(ConsoleOpen, TheModuleIsLoggedInWithTheFirstCandidateItAccepts) {
    struct Row {
        const char* modulePassword;
        const char* status;
        size_t framesSent;
    };
    const Row rows[] = {
        {"00000000", "连接设备成功0", 1},
        {"716d747a", "连接设备成功1", 2},
        {"7264756b", "连接设备成功2", 3},
        {"01020304", "校验密码失败", 3},
    };
    // The texts below must read back right even though this session's code page is not 936.
    EXPECT_NE(Ok("acp"), "936");
    StartModule();
    StartConsole();
    for (const Row& row : rows) {
        ASSERT_EQ(Module(std::string("password ") + row.modulePassword).rfind("ok", 0), 0u);
        size_t before = RecordedFrames().size();
        EXPECT_EQ(ClickForStatus(OPEN_BUTTON), row.status) << row.modulePassword;
        std::vector<std::string> expected(
            candidateFrames.begin(), candidateFrames.begin() + static_cast<long>(row.framesSent));
        EXPECT_EQ(FramesFrom(RecordedFrames(), before), expected) << row.modulePassword;
    }
    Screenshot("ConsoleOpen.AfterTheHandshakeFailed");
}

TEST_F(ConsoleOpen, ASilentModuleShowsThePortOpenThenTheHandshakeFailedAfterThreeAttempts) {
    StartModule({"--silent"});
    StartConsole();
    Press(OPEN_BUTTON);
    // Shown while the three attempts still run.
    EXPECT_EQ(WaitForStatus("打开串口成功", 2500), "打开串口成功");
    EXPECT_EQ(WaitForStatus("校验密码失败", 6000), "校验密码失败");
    EXPECT_EQ(RecordedFrames(), candidateFrames);
}

TEST_F(ConsoleOpen, AnEmptyZeroOrSeventeenPortFailsAndLeavesThePortOpenedBeforeClosed) {
    StartModule();
    StartConsole();
    int idle = PortHolders();
    for (const char* port : {"", "0", "17"}) {
        Ok("set 1012 3");
        ASSERT_EQ(ClickForStatus(OPEN_BUTTON), "连接设备成功0");
        EXPECT_GT(PortHolders(), idle) << "the console holds the port";
        Ok(std::string("set 1012 ") + port);
        EXPECT_EQ(ClickForStatus(OPEN_BUTTON), "打开串口失败") << "port \"" << port << "\"";
        EXPECT_EQ(PortHolders(), idle)
            << "port \"" << port << "\": the port opened before is closed";
        // With no port open a command fails before anything is written.
        size_t before = RecordedFrames().size();
        EXPECT_EQ(ClickForStatus(DELETE_BUTTON), "删除失败");
        EXPECT_EQ(RecordedFrames().size(), before);
    }
}

TEST_F(ConsoleOpen, ASecondOpenClosesTheFirstPortAndCloseReleasesIt) {
    StartModule();
    StartConsole();
    int idle = PortHolders();
    ASSERT_EQ(ClickForStatus(OPEN_BUTTON), "连接设备成功0");
    int open = PortHolders();
    EXPECT_GT(open, idle);
    ASSERT_EQ(ClickForStatus(OPEN_BUTTON), "连接设备成功0");
    EXPECT_EQ(PortHolders(), open) << "the first port was not closed";
    EXPECT_EQ(RecordedFrames(), std::vector<std::string>(2, candidateFrames[0]));
    // Close shows no text of its own.
    EXPECT_EQ(ClickForStatus(CLOSE_BUTTON), "连接设备成功0");
    EXPECT_EQ(PortHolders(), idle);
}
