#include <gtest/gtest.h>

#include "commands/link_lock.h"
#include "link/module_port.h"
#include "operations/event_recorder.h"
#include "operations/operation_flows.h"
#include "tests/support/operation_waits.h"
#include "tests/support/port_fixture.h"
#include "tests/support/recorded_events.h"
#include "tests/support/scripted_peer.h"

namespace {

class OperationRunner : public ::testing::Test {
  protected:
    void SetUp() override {
        AttachEventRecorder();
        ClearRecordedEvents();
    }
    void TearDown() override { EXPECT_TRUE(WaitUntilIdle()); }
};

TEST_F(OperationRunner, WithNoPortEveryFlowTimesOutAfterItsFirstWaitAndTheRunnerIsIdleAgain) {
    for (OperationKind kind :
         {HostEnroll, HostCapture, ModuleEnroll, ModuleVerify, ModuleIdentify}) {
        ClearRecordedEvents();
        StartOperation(kind);
        ASSERT_TRUE(WaitUntilIdle()) << kind;
        EXPECT_EQ(RecordedEvents(), (Events{{EVT_PLACE_FINGER, 1}, {EVT_FINGER_TIMEOUT, 0}}))
            << kind;
    }
}

TEST_F(OperationRunner, WithoutADialogNothingIsPostedAndTheRunStillEnds) {
    DetachEventRecorder();
    StartOperation(HostCapture);
    ASSERT_TRUE(WaitUntilIdle());
    EXPECT_TRUE(RecordedEvents().empty());
    AttachEventRecorder();
}

using BusyRunner = PortOnPseudoTerminal;

TEST_F(BusyRunner, AStartWhileBusyChangesNothing) {
    AttachEventRecorder();
    ClearRecordedEvents();
    ScriptedPeer silent(line, {});
    StartOperation(ModuleVerify);
    ASSERT_EQ(silent.Frames(1).size(), 1u);  // the worker waits in its first capture

    StartOperation(HostEnroll);
    EXPECT_EQ(pendingKind.load(), ModuleVerify);
    EXPECT_TRUE(workerThread.load());

    // Closing the port makes the capture give up; the rest of the wait fails at once.
    AcquireLinkForPortChange();
    CloseModulePort();
    ReleaseLinkAfterPortChange();
    ASSERT_TRUE(WaitUntilIdle());
    EXPECT_EQ(RecordedEvents(), (Events{{EVT_PLACE_FINGER, 1}, {EVT_FINGER_TIMEOUT, 0}}));
    EXPECT_EQ(silent.Frames(2, 200).size(), 1u) << "a second worker talked to the module";

    // Idle again: the next start runs.
    ClearRecordedEvents();
    StartOperation(HostCapture);
    ASSERT_TRUE(WaitUntilIdle());
    EXPECT_EQ(RecordedEvents().size(), 2u);
}

}  // namespace
