#include <gtest/gtest.h>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <future>
#include <thread>
#include <time.h>

#include "link/frame_exchange.h"
#include "link/module_port.h"
#include "link/port_device_path.h"
#include "sim/pseudo_terminal.h"

namespace {

class ModulePortTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(line.ok());
        for (int port = 1; port <= LAST_PORT_NUMBER; ++port) {
            ASSERT_EQ(SetModulePortDevice(port, line.slavePath().c_str()), 1);
        }
    }
    void TearDown() override { CloseModulePort(); }
    sim::PseudoTerminal line;
};

TEST_F(ModulePortTest, PortNumbersOutsideOneToSixteenFailAndLeaveThePortAlone) {
    // Every port in range names a real device here, so only the range check can refuse these.
    for (int port : {0, 17, -1, -2147483647 - 1}) {
        EXPECT_EQ(OpenModulePort(port, 57600), 0) << port;
        EXPECT_EQ(CurrentModulePortState(), ModulePortState::NeverOpened) << port;
    }
    EXPECT_EQ(SetModulePortDevice(17, "/dev/null"), 0);
    EXPECT_EQ(ModulePortDevice(0), nullptr);
    EXPECT_EQ(OpenModulePort(16, 57600), 1);
}

TEST_F(ModulePortTest, DefaultDeviceIsTheNthSerialDevice) {
    SetModulePortDevice(1, "");
    SetModulePortDevice(16, "");
    EXPECT_STREQ(ModulePortDevice(1), "/dev/ttyS0");
    EXPECT_STREQ(ModulePortDevice(16), "/dev/ttyS15");
}

TEST_F(ModulePortTest, OpenAppliesEightDataBitsNoParityTwoStopBitsAndTheRate) {
    ASSERT_EQ(OpenModulePort(3, 115200), 1);
    EXPECT_EQ(CurrentModulePortState(), ModulePortState::Open);
    termios settings{};
    int probe = open(line.slavePath().c_str(), O_RDONLY | O_NOCTTY);
    ASSERT_GE(probe, 0);
    ASSERT_EQ(tcgetattr(probe, &settings), 0);
    close(probe);
    EXPECT_EQ(settings.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_TRUE(settings.c_cflag & CSTOPB);
    EXPECT_FALSE(settings.c_cflag & PARENB);
    EXPECT_EQ(cfgetospeed(&settings), static_cast<speed_t>(B115200));
    EXPECT_EQ(settings.c_cc[VMIN], 0);
    EXPECT_EQ(settings.c_cc[VTIME], 1);
}

// Wine neither enforces exclusive opening nor refuses rates on a pseudo-terminal, so these two
// rules are proved here, on the POSIX backend.
TEST_F(ModulePortTest, AHeldDeviceCannotBeOpenedAgainAndThePortKeepsWhatItHeld) {
    ASSERT_EQ(OpenModulePort(3, 57600), 1);
    EXPECT_EQ(OpenModulePort(4, 57600), 0);
    EXPECT_EQ(CurrentModulePortState(), ModulePortState::Open);
    unsigned char body[8] = {0x01, 0x00, 0x03, 0x01};
    EXPECT_EQ(SendFrameBody(body), 1) << "the held port was lost";
    EXPECT_EQ(line.readExactly(12, 2000).size(), 12u);
}

TEST_F(ModulePortTest, ARefusedRateFailsAndReleasesTheDevice) {
    EXPECT_EQ(OpenModulePort(3, 12345), 0);
    EXPECT_EQ(OpenModulePort(3, 0), 0);
    EXPECT_EQ(OpenModulePort(3, -57600), 0);
    EXPECT_EQ(CurrentModulePortState(), ModulePortState::NeverOpened);
    EXPECT_EQ(OpenModulePort(3, 57600), 1);
}

TEST_F(ModulePortTest, AMissingDeviceFails) {
    SetModulePortDevice(5, "/dev/quorvel-no-such-device");
    EXPECT_EQ(OpenModulePort(5, 57600), 0);
}

TEST_F(ModulePortTest, CloseBeforeOpenAndASecondCloseDoNothing) {
    EXPECT_EQ(CloseModulePort(), 1);
    EXPECT_EQ(CurrentModulePortState(), ModulePortState::NeverOpened);
    ASSERT_EQ(OpenModulePort(3, 57600), 1);
    EXPECT_EQ(CloseModulePort(), 1);
    EXPECT_EQ(CurrentModulePortState(), ModulePortState::Closed);
    EXPECT_EQ(CloseModulePort(), 1);
    EXPECT_EQ(CurrentModulePortState(), ModulePortState::Closed);
    // The device was released: it opens again.
    EXPECT_EQ(OpenModulePort(3, 57600), 1);
}

TEST_F(ModulePortTest, AnEmptyReadWaitsAboutOneReadWait) {
    ASSERT_EQ(OpenModulePort(3, 57600), 1);
    unsigned char body[MAX_FRAME_LENGTH];
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ReceiveFrameBody(body, 0), 0);  // one pass, then past a limit of 0
    auto spent = std::chrono::steady_clock::now() - start;
    EXPECT_GE(spent, std::chrono::milliseconds(80));
    EXPECT_LT(spent, std::chrono::milliseconds(1000));
}

static double ThreadCpuMs() {
    timespec used{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &used);
    return used.tv_sec * 1000.0 + used.tv_nsec / 1e6;
}

TEST_F(ModulePortTest, AVanishedDeviceNeverMakesAReceiveSpin) {
    ASSERT_EQ(OpenModulePort(3, 57600), 1);
    auto receive = std::async(std::launch::async, [] {
        unsigned char body[MAX_FRAME_LENGTH];
        double cpuBefore = ThreadCpuMs();
        int result = ReceiveFrameBody(body, 1000);
        return std::make_pair(result, ThreadCpuMs() - cpuBefore);
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    line.hangUp();  // the adapter is unplugged: from now on every read fails at once
    auto [result, cpuMs] = receive.get();
    EXPECT_EQ(result, 0);
    EXPECT_LT(cpuMs, 200.0) << "the receive spun on a failing device";
}

}  // namespace
