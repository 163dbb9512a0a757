#include <gtest/gtest.h>

#include <memory>

#include "commands/bulk_transfers.h"
#include "console/operation_controls.h"
#include "console/operation_texts.h"
#include "console/status_line_recorder.h"
#include "link/module_port.h"
#include "link/port_device_path.h"
#include "operations/event_recorder.h"
#include "operations/operation_flows.h"
#include "sim/module_server.h"
#include "tests/support/module_on_port.h"
#include "tests/support/operation_waits.h"
#include "tests/support/recorded_events.h"

namespace {

class OperationControls : public ModuleOnPort {
  protected:
    void SetUp() override {
        ModuleOnPort::SetUp();
        enrolledTemplate.length = 0;
        capturedTemplate.length = 0;
    }
    void TearDown() override {
        workerThread = false;  // a test may have marked the runner busy by hand
        ModuleOnPort::TearDown();
    }

    // Fills both host templates from the module, finger 1 each time.
    void CaptureBothTemplates() {
        module->setAutoFinger(1);
        StartFromButton(HostEnroll, false);
        ASSERT_TRUE(WaitUntilIdle());
        StartFromButton(HostCapture, false);
        ASSERT_TRUE(WaitUntilIdle());
        ASSERT_EQ(enrolledTemplate.length, TEMPLATE_SIZE);
        ASSERT_EQ(capturedTemplate.length, TEMPLATE_SIZE);
        module->clearReceivedFrames();
    }
};

TEST_F(OperationControls, CompareWithoutBothTemplatesFailsWithNoTraffic) {
    CompareHostTemplates();
    EXPECT_EQ(LastStatusText(), TEXT_COMPARE_FAILED);
    enrolledTemplate.length = TEMPLATE_SIZE;
    CompareHostTemplates();
    EXPECT_EQ(LastStatusText(), TEXT_COMPARE_FAILED);
    EXPECT_TRUE(module->receivedFrames().empty());
}

TEST_F(OperationControls, CompareWritesBothTemplatesAndMatchesAtEighty) {
    CaptureBothTemplates();
    struct {
        int score;
        const char* text;
    } cases[] = {{80, TEXT_COMPARE_SUCCEEDED}, {79, TEXT_COMPARE_FAILED}};
    for (const auto& c : cases) {
        module->forceScore(c.score);
        module->clearReceivedFrames();
        CompareHostTemplates();
        EXPECT_EQ(LastStatusText(), c.text) << c.score;
        // 09 01, four data frames, 09 02, four data frames, 03.
        auto frames = module->receivedFrames();
        ASSERT_EQ(frames.size(), 11u);
        EXPECT_EQ(frames[0][9], 0x09);
        EXPECT_EQ(frames[0][10], 0x01);
        EXPECT_EQ(frames[5][9], 0x09);
        EXPECT_EQ(frames[5][10], 0x02);
        EXPECT_EQ(frames[10][9], 0x03);
    }
    EXPECT_EQ(module->featureBuffer(1),
              sim::Bytes(enrolledTemplate.bytes, enrolledTemplate.bytes + 512));
    // Templates of the same finger match on their own scores too.
    module->forceScore(std::nullopt);
    CompareHostTemplates();
    EXPECT_EQ(LastStatusText(), TEXT_COMPARE_SUCCEEDED);
}

TEST_F(OperationControls, ARefusedWriteOrMatchFailsTheCompare) {
    CaptureBothTemplates();
    for (int code : {0x09, 0x03}) {
        module->armFault({sim::FaultKind::Code, code, 1, 1});
        CompareHostTemplates();
        EXPECT_EQ(LastStatusText(), TEXT_COMPARE_FAILED) << code;
    }
}

TEST_F(OperationControls, VerifyLoadsTheSlotFirstAndShowsItsFailure) {
    module->setAutoFinger(1);
    VerifySlot(42, true);  // page 42 is empty: the module refuses the load
    EXPECT_EQ(LastStatusText(), TEXT_VERIFY_LOAD_FAILED);
    EXPECT_FALSE(workerThread.load());
    EXPECT_TRUE(RecordedEvents().empty()) << "the verify started after a failed load";
    EXPECT_EQ(showImage.load(), 1);

    VerifySlot(-1, false);
    EXPECT_EQ(LastStatusText(), TEXT_VERIFY_LOAD_FAILED);
    EXPECT_EQ(module->receivedFrames().size(), 1u) << "a negative slot was sent";
}

TEST_F(OperationControls, VerifyOfAStoredSlotRunsTheOperation) {
    module->setAutoFinger(1);
    SetSlotField(4);
    StartFromButton(ModuleEnroll, false);
    ASSERT_TRUE(WaitUntilIdle());
    ClearRecordedEvents();
    VerifySlot(4, false);
    ASSERT_TRUE(WaitUntilIdle());
    EXPECT_EQ(RecordedEvents().back(), (OperationEvent{EVT_VERIFY_DONE, 1}));
}

TEST_F(OperationControls, WhileBusyVerifyAndCompareSendNothingButTheBoxIsCopied) {
    CaptureBothTemplates();
    ClearRecordedEvents();
    workerThread = true;  // an operation is running
    int shown = StatusTextsShown();
    showImage = 0;
    VerifySlot(1, true);
    EXPECT_EQ(showImage.load(), 1);
    EXPECT_EQ(StatusTextsShown(), shown) << "a dropped verify showed a text";

    StartFromButton(HostCapture, false);
    EXPECT_EQ(showImage.load(), 0);

    CompareHostTemplates();
    EXPECT_EQ(LastStatusText(), TEXT_COMPARE_FAILED);
    EXPECT_TRUE(module->receivedFrames().empty());
    EXPECT_TRUE(RecordedEvents().empty()) << "a start while busy was not dropped";
}

TEST_F(OperationControls, EventsShowTheirTextsAndTheImageEventNone) {
    ShowOperationEvent(EVT_IDENTIFY_DONE, 7u * 65536u + 1u);
    EXPECT_EQ(LastStatusText(), std::string(TEXT_IDENTIFY_SUCCEEDED_PREFIX) + "7");
    int shown = StatusTextsShown();
    ShowOperationEvent(EVT_IMAGE_READY, 0);
    ShowOperationEvent(12, 1);
    EXPECT_EQ(StatusTextsShown(), shown);
}

}  // namespace
