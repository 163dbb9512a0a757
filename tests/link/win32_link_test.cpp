// The link's Windows backend under wine, against echo_peer on a pseudo-terminal that the prefix
// maps as COM3 and COM16. Wine neither enforces exclusive opening nor refuses any rate on a
// pseudo-terminal; those rules are proved on the POSIX backend.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "link/frame_exchange.h"
#include "link/module_port.h"

namespace {

using Bytes = std::vector<unsigned char>;

class Win32Link : public ::testing::Test {
  protected:
    void TearDown() override { CloseModulePort(); }
};

TEST_F(Win32Link, TheCaptureFrameGoesOutExactlyAndTheReplyIsFoundPastNoise) {
    ASSERT_EQ(OpenModulePort(3, 57600), 1);
    unsigned char body[MAX_FRAME_LENGTH] = {0x01, 0x00, 0x03, 0x01};
    ASSERT_EQ(SendFrameBody(body), 1);
    unsigned char reply[MAX_FRAME_LENGTH] = {};
    ASSERT_EQ(ReceiveFrameBody(reply, 3000), 1);
    EXPECT_EQ(reply[0], PacketId::Ack);
    EXPECT_EQ(reply[3], 0x00);
    // The peer echoes the raw frame it received after the confirmation code.
    Bytes echoed(reply + 4, reply + 1 + BodyLengthField(reply));
    EXPECT_EQ(echoed,
              (Bytes{0xEF, 0x01, 0xFF, 0xFF, 0xFF, 0xFF, 0x01, 0x00, 0x03, 0x01, 0x00, 0x05}));
}

TEST_F(Win32Link, ASilentLineTimesOutAtTheLimit) {
    ASSERT_EQ(OpenModulePort(3, 57600), 1);
    unsigned char body[MAX_FRAME_LENGTH] = {0x01, 0x00, 0x07, 0x13, 0, 0, 0, 0};
    ASSERT_EQ(SendFrameBody(body), 1);
    unsigned char reply[MAX_FRAME_LENGTH] = {};
    DWORD start = GetTickCount();
    EXPECT_EQ(ReceiveFrameBody(reply, 500), 0);
    DWORD spent = GetTickCount() - start;
    EXPECT_GE(spent, 500u);
    EXPECT_LT(spent, 2000u);
}

TEST_F(Win32Link, PortsAboveNineOpenThroughTheDeviceNamespace) {
    EXPECT_EQ(OpenModulePort(16, 57600), 1);
    EXPECT_EQ(CloseModulePort(), 1);
}

TEST_F(Win32Link, OutOfRangePortsFailAndClosedPortsRefuseTraffic) {
    // The tests share one process, so the port may have been opened and closed before.
    ModulePortState before = CurrentModulePortState();
    EXPECT_NE(before, ModulePortState::Open);
    EXPECT_EQ(OpenModulePort(0, 57600), 0);
    EXPECT_EQ(OpenModulePort(17, 57600), 0);
    EXPECT_EQ(OpenModulePort(-3, 57600), 0);
    EXPECT_EQ(CurrentModulePortState(), before);
    EXPECT_EQ(CloseModulePort(), 1);
    EXPECT_EQ(CurrentModulePortState(), before);
    ASSERT_EQ(OpenModulePort(3, 57600), 1);
    EXPECT_EQ(CloseModulePort(), 1);
    EXPECT_EQ(CloseModulePort(), 1);
    EXPECT_EQ(CurrentModulePortState(), ModulePortState::Closed);
    unsigned char body[MAX_FRAME_LENGTH] = {0x01, 0x00, 0x03, 0x01};
    EXPECT_EQ(SendFrameBody(body), 0);
    DWORD start = GetTickCount();
    EXPECT_EQ(ReceiveFrameBody(body, 5000), 0);
    EXPECT_LT(GetTickCount() - start, 1000u);
}

}  // namespace
