#pragma once
// The simulated module on a pseudo-terminal, opened as port 3, with the event recorder attached:
// the starting point of the tests that run operations natively.
#include <gtest/gtest.h>

#include <memory>

#include "link/module_port.h"
#include "link/port_device_path.h"
#include "operations/event_recorder.h"
#include "sim/module_server.h"
#include "tests/support/operation_waits.h"

class ModuleOnPort : public ::testing::Test {
  protected:
    void SetUp() override {
        module = std::make_unique<sim::ModuleServer>();
        ASSERT_TRUE(module->ok()) << module->error();
        ASSERT_EQ(SetModulePortDevice(3, module->devicePath().c_str()), 1);
        ASSERT_EQ(OpenModulePort(3, 57600), 1);
        AttachEventRecorder();
        ClearRecordedEvents();
        WatchOperationEvents(nullptr, nullptr);
    }
    void TearDown() override {
        EXPECT_TRUE(WaitUntilIdle(30000));
        WatchOperationEvents(nullptr, nullptr);
        CloseModulePort();
    }

    std::unique_ptr<sim::ModuleServer> module;
};
