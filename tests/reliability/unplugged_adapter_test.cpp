// The serial device disappears in the middle of a transaction, of an image stream and of a running
// flow (the pseudo-terminal's other end is closed, as when a USB adapter is pulled out). Each call
// ends within its limit on an accelerated clock, the flow ends with its failure event, and once a
// device is back under the same port number, the dialog's Open works again in the same process.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "commands/bulk_transfers.h"
#include "commands/module_commands.h"
#include "console/direct_commands.h"
#include "console/status_line_recorder.h"
#include "console/status_texts.h"
#include "link/module_port.h"
#include "link/port_device_path.h"
#include "link/tick_counter.h"
#include "operations/event_recorder.h"
#include "operations/operation_flows.h"
#include "sim/finger_image.h"
#include "sim/module_server.h"
#include "tests/reliability/unpluggable_module.h"
#include "tests/support/fake_ticks.h"
#include "tests/support/operation_waits.h"
#include "tests/support/recorded_events.h"

namespace {

enum { PORT = 3, FRAME_OVERHEAD = 11, READ_WAIT_MS = 100 };
const size_t kAckFrame = 12;  // an Ack with one Contents byte

class UnpluggedAdapter : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(adapter.ok());
        ASSERT_EQ(SetModulePortDevice(PORT, adapter.devicePath().c_str()), 1);
        CloseModulePort();
        ASSERT_EQ(OpenModulePort(PORT, 57600), 1);
        AttachEventRecorder();
        ClearRecordedEvents();
    }
    void TearDown() override {
        EXPECT_TRUE(WaitUntilIdle(30000));
        fake_ticks::Remove();
        CloseModulePort();
    }

    // The adapter is back: a new device under the same port number, opened the dialog's way.
    void PlugInANewModule() {
        CloseModulePort();
        // The vanished device cannot be opened any more.
        EXPECT_EQ(OpenModulePort(PORT, 57600), 0);
        module = std::make_unique<sim::ModuleServer>();
        ASSERT_TRUE(module->ok()) << module->error();
        module->placeFinger(1);
        ASSERT_EQ(SetModulePortDevice(PORT, module->devicePath().c_str()), 1);
        OpenPortAndLogIn(PORT, 57600);
        EXPECT_EQ(LastStatusText(), TEXT_CONNECTED[0]);
        EXPECT_EQ(CaptureImage(), 0);
    }

    UnpluggableModule adapter;
    std::unique_ptr<sim::ModuleServer> module;
};

// Time on the accelerated clock from its installation.
uint32_t Now() {
    return ReadTickCount();
}

TEST_F(UnpluggedAdapter, ACommandWhoseDeviceVanishesEndsWithinItsLimit) {
    // Before the reply, inside its Header, and inside its Contents.
    for (size_t cut : {size_t{0}, size_t{5}, size_t{10}}) {
        SCOPED_TRACE("unplugged after " + std::to_string(cut) + " bytes of the reply");
        UnpluggableModule vanishing;
        ASSERT_EQ(SetModulePortDevice(PORT, vanishing.devicePath().c_str()), 1);
        CloseModulePort();
        ASSERT_EQ(OpenModulePort(PORT, 57600), 1);
        vanishing.UnplugAt(0x01, cut);
        const uint32_t factor = 200;  // CaptureImage's 160 s pass in 0.8 s
        fake_ticks::Accelerated clock(factor);
        uint32_t start = Now();
        EXPECT_EQ(CaptureImage(), NoReply);
        uint32_t took = Now() - start;
        EXPECT_TRUE(vanishing.WaitUnplugged(1000));
        EXPECT_LE(took, CAPTURE_REPLY_LIMIT_MS + 4 * READ_WAIT_MS * factor);
        // With the device gone, the next command fails at its send, without another limit.
        start = Now();
        EXPECT_EQ(CaptureImage(), SendFailed);
        EXPECT_LT(Now() - start, CAPTURE_REPLY_LIMIT_MS);
    }
    PlugInANewModule();
}

TEST_F(UnpluggedAdapter, AnImageStreamWhoseDeviceVanishesEndsWithinOneFrameLimit) {
    ASSERT_EQ(CaptureImage(), 0);
    const size_t frames = 20, chunk = 128;
    adapter.UnplugAt(0x0A, kAckFrame + frames * (chunk + FRAME_OVERHEAD) + 50);
    std::memset(RawImage, 0x77, IMAGE_PIXELS);
    imagePixelCount = 4242;
    const uint32_t factor = 20;
    fake_ticks::Accelerated clock(factor);
    uint32_t start = Now();
    EXPECT_EQ(ReadImage(), NoReply);
    uint32_t took = Now() - start;
    EXPECT_LE(took, REPLY_LIMIT_MS + 4 * READ_WAIT_MS * factor);
    // No expansion: the packed bytes received lie over the start of the old image.
    EXPECT_EQ(imagePixelCount.load(), 4242);
    sim::Bytes packed = sim::PackedFingerImage(1);
    EXPECT_EQ(0, std::memcmp(RawImage, packed.data(), frames * chunk));
    for (size_t i = frames * chunk; i < IMAGE_PIXELS; ++i)
        ASSERT_EQ(RawImage[i], 0x77) << i;
    PlugInANewModule();
    EXPECT_EQ(ReadImage(), 0);
    EXPECT_EQ(imagePixelCount.load(), IMAGE_PIXELS);
}

TEST_F(UnpluggedAdapter, ATemplateStreamWhoseDeviceVanishesLeavesTheLengthAlone) {
    ASSERT_EQ(CaptureImage(), 0);
    ASSERT_EQ(ExtractFeatures(1), 0);
    adapter.UnplugAt(0x08, kAckFrame + 2 * (128 + FRAME_OVERHEAD) + 30);
    std::unique_ptr<unsigned char[]> store(new unsigned char[TEMPLATE_SIZE]);
    int length = -1;
    const uint32_t factor = 20;
    fake_ticks::Accelerated clock(factor);
    uint32_t start = Now();
    EXPECT_EQ(ReadFeatures(store.get(), &length), NoReply);
    EXPECT_LE(Now() - start, REPLY_LIMIT_MS + 4 * READ_WAIT_MS * factor);
    EXPECT_EQ(length, -1);
}

TEST_F(UnpluggedAdapter, ARunningFlowEndsWithItsFailureEventAndRunsAgainOnTheNewDevice) {
    struct Case {
        const char* name;
        OperationKind kind;
        int showImage;
        uint8_t unplugCode;
        size_t bytesOfAnswer;
        uint32_t factor;
        uint32_t limitMs;  // the one limit that the vanished device makes the flow sit out
        Events failure;
        Events success;
    } cases[] = {
        {"host capture, during its image stream",
         HostCapture,
         1,
         0x0A,
         kAckFrame + 10 * (128 + FRAME_OVERHEAD),
         20,
         REPLY_LIMIT_MS,
         {{EVT_PLACE_FINGER, 1}, {EVT_LIFT_FINGER, 1}, {EVT_HOST_CAPTURE_DONE, 0}},
         {{EVT_PLACE_FINGER, 1},
          {EVT_LIFT_FINGER, 1},
          {EVT_IMAGE_READY, 0},
          {EVT_HOST_CAPTURE_DONE, 1}}},
        {"module verify, during its finger wait",
         ModuleVerify,
         0,
         0x01,
         0,
         200,
         CAPTURE_REPLY_LIMIT_MS,
         {{EVT_PLACE_FINGER, 1}, {EVT_FINGER_TIMEOUT, 0}},
         {{EVT_PLACE_FINGER, 1}, {EVT_LIFT_FINGER, 1}, {EVT_VERIFY_DONE, 1}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto vanishing = std::make_unique<UnpluggableModule>();
        ASSERT_EQ(SetModulePortDevice(PORT, vanishing->devicePath().c_str()), 1);
        CloseModulePort();
        ASSERT_EQ(OpenModulePort(PORT, 57600), 1);
        if (c.kind == ModuleVerify) {
            // The template to verify against is in buffer 2 before the start, as the dialog
            // leaves it.
            ASSERT_EQ(CaptureImage(), 0);
            ASSERT_EQ(ExtractFeatures(2), 0);
        }
        vanishing->UnplugAt(c.unplugCode, c.bytesOfAnswer);
        capturedTemplate.length = TEMPLATE_SIZE;
        showImage = c.showImage;
        ClearRecordedEvents();
        {
            fake_ticks::Accelerated clock(c.factor);
            uint32_t start = Now();
            StartOperation(c.kind);
            ASSERT_TRUE(WaitUntilIdle(30000));
            EXPECT_LE(Now() - start, c.limitMs + 8 * READ_WAIT_MS * c.factor);
        }
        EXPECT_EQ(RecordedEvents(), c.failure);
        if (c.kind == HostCapture) {
            EXPECT_EQ(capturedTemplate.length, 0);
        }

        PlugInANewModule();
        if (c.kind == ModuleVerify) {
            ASSERT_EQ(ExtractFeatures(2), 0);
        }
        module->setAutoFinger(1);
        ClearRecordedEvents();
        StartOperation(c.kind);
        ASSERT_TRUE(WaitUntilIdle(30000));
        EXPECT_EQ(RecordedEvents(), c.success);
        module.reset();
    }
}

}  // namespace
