// Fault texts of the control channel, and how armed faults are used up.
#include <gtest/gtest.h>

#include "sim/faults.h"

namespace {

TEST(Faults, ParsesKindsAndOptions) {
    sim::Fault fault;
    std::string reason;
    ASSERT_TRUE(sim::ParseFault("code cmd=0A times=3 value=9", &fault, &reason));
    EXPECT_EQ(fault.kind, sim::FaultKind::Code);
    EXPECT_EQ(fault.command, 0x0A);
    EXPECT_EQ(fault.times, 3u);
    EXPECT_EQ(sim::ValueOf(fault), 9);

    ASSERT_TRUE(sim::ParseFault("delay", &fault, &reason));
    EXPECT_EQ(fault.command, sim::kAnyCommand);
    EXPECT_EQ(fault.times, 1u);
    EXPECT_EQ(sim::ValueOf(fault), 1000);

    const char* kinds[] = {"no-reply",        "noise", "bad-checksum", "split",
                           "wrong-packet-id", "code",  "stop-stream",  "oversize-stream",
                           "ack-in-stream",   "delay"};
    for (const char* kind : kinds) {
        ASSERT_TRUE(sim::ParseFault(kind, &fault, &reason)) << kind;
        EXPECT_STREQ(sim::FaultName(fault.kind), kind);
    }
}

TEST(Faults, RefusesWhatTheModuleCannotShow) {
    for (const char* text :
         {"", "late", "code value=0", "code value=256", "ack-in-stream value=0",
          "wrong-packet-id value=7", "oversize-stream value=0", "delay cmd=1G", "delay cmd=100",
          "delay times=0", "delay value=-1", "delay speed=3", "delay cmd"}) {
        sim::Fault fault;
        std::string reason;
        EXPECT_FALSE(sim::ParseFault(text, &fault, &reason)) << text;
        EXPECT_FALSE(reason.empty()) << text;
    }
}

TEST(Faults, EachAppliesToItsCommandsAsManyTimesAsArmed) {
    sim::FaultPlan plan;
    plan.arm({sim::FaultKind::Code, 0x03, 2, 9});
    plan.arm({sim::FaultKind::Noise, sim::kAnyCommand, 1, 4});
    plan.arm({sim::FaultKind::Code, sim::kAnyCommand, 1, 5});  // waits behind the first code fault

    std::vector<sim::Fault> first = plan.take(0x01);
    ASSERT_EQ(first.size(), 2u);
    EXPECT_EQ(first[0].kind, sim::FaultKind::Noise);
    EXPECT_EQ(sim::ValueOf(first[1]), 5);

    std::vector<sim::Fault> second = plan.take(0x03);
    ASSERT_EQ(second.size(), 1u);
    EXPECT_EQ(sim::ValueOf(second[0]), 9);
    EXPECT_TRUE(plan.take(0x01).empty());
    EXPECT_EQ(plan.take(0x03).size(), 1u);
    EXPECT_EQ(plan.armed(), 0u);
}

}  // namespace
