// The pacing schedule: 11 bit times per byte, kept against the start of a run.
#include <gtest/gtest.h>

#include "sim/line_pacer.h"

namespace {

using namespace std::chrono;
using Clock = sim::LinePacer::Clock;

TEST(LinePacer, ByteKOfARunIsDueAfterKByteTimes) {
    sim::LinePacer pacer(9600);  // 11 bits at 9,600 bit/s: 1,145,833 ns per byte
    Clock::time_point start = Clock::now();
    pacer.startRun(start);
    EXPECT_EQ(pacer.bytesDue(start), 0u);
    EXPECT_EQ(pacer.bytesDue(start + nanoseconds(1145833)), 0u);
    EXPECT_EQ(pacer.bytesDue(start + nanoseconds(1145834)), 1u);
    EXPECT_EQ(pacer.bytesDue(start + seconds(1)), 872u);
    EXPECT_EQ(pacer.bytesDue(pacer.dueTime(500)), 500u);
    EXPECT_EQ(sim::LinePacer::LineTime(9600, 9600), milliseconds(11000));
}

TEST(LinePacer, ARunStartsWhereThePreviousOneEndsOrNowIfLater) {
    sim::LinePacer pacer(1000);  // 11 ms per byte
    Clock::time_point start = Clock::now();
    pacer.startRun(start);
    pacer.sent(10);
    // The line is still busy with those 10 bytes for 110 ms.
    pacer.startRun(start + milliseconds(50));
    EXPECT_EQ(pacer.dueTime(1), start + milliseconds(121));
    pacer.sent(1);
    // After an idle line the run starts now.
    pacer.startRun(start + seconds(5));
    EXPECT_EQ(pacer.dueTime(1), start + seconds(5) + milliseconds(11));
}

TEST(LinePacer, WithoutARateEverythingIsDueAtOnce) {
    sim::LinePacer pacer;
    pacer.startRun(Clock::now());
    EXPECT_FALSE(pacer.pacing());
    EXPECT_EQ(pacer.bytesDue(Clock::now()), UINT64_MAX);
}

}  // namespace
