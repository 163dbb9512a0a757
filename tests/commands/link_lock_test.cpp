#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

#include "commands/link_lock.h"
#include "commands/module_commands.h"
#include "tests/support/fake_ticks.h"
#include "tests/support/port_fixture.h"
#include "tests/support/scripted_peer.h"

namespace {

using namespace std::chrono_literals;

TEST(LinkLock, WaitersAreServedInTheOrderTheyCame) {
    ASSERT_EQ(AcquireLink(1000), 1);
    std::mutex orderLock;
    std::vector<int> order;
    std::vector<std::thread> waiters;
    for (int i = 0; i < 3; ++i) {
        waiters.emplace_back([&, i] {
            ASSERT_EQ(AcquireLink(60000), 1);
            {
                std::lock_guard<std::mutex> hold(orderLock);
                order.push_back(i);
            }
            ReleaseLink();
        });
        std::this_thread::sleep_for(50ms);  // let waiter i draw its ticket before the next one
    }
    ReleaseLink();
    for (auto& waiter : waiters) waiter.join();
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2}));
}

TEST(LinkLock, AWaitThatRunsOutGivesUpAndDoesNotBlockLaterWaiters) {
    ASSERT_EQ(AcquireLink(1000), 1);
    {
        fake_ticks::Scope ticks(0, 400);
        EXPECT_EQ(AcquireLink(1000), 0);
    }
    auto later = std::async(std::launch::async, [] { return AcquireLink(60000); });
    std::this_thread::sleep_for(50ms);
    ReleaseLink();
    EXPECT_EQ(later.get(), 1) << "the abandoned turn was never skipped";
    ReleaseLink();
}

using PortChange = PortOnPseudoTerminal;

TEST_F(PortChange, MakesARunningTransactionGiveUpAndHoldsTheLinkForTheChange) {
    ScriptedPeer silent(line, {});
    auto started = std::chrono::steady_clock::now();
    // A capture on a silent module would hold the link for 160 seconds.
    auto capture = std::async(std::launch::async, [] { return CaptureImage(); });
    ASSERT_EQ(silent.Frames(1).size(), 1u);
    AcquireLinkForPortChange();
    EXPECT_EQ(capture.get(), NoReply);
    // While the change is under way, a command from another thread cannot slip in.
    auto intruder = std::async(std::launch::async, [] { return EmptyTemplates(); });
    std::this_thread::sleep_for(200ms);
    CloseModulePort();
    ReleaseLinkAfterPortChange();
    EXPECT_EQ(intruder.get(), SendFailed);
    EXPECT_LT(std::chrono::steady_clock::now() - started, 3s);
    EXPECT_EQ(silent.Frames(2, 200).size(), 1u) << "a frame went out during the change";
}

}  // namespace
