// ReceiveFrameBody on a line where the module never answers, with the real clock. The time limit
// is tested once per pass, and an empty pass lasts one read wait (about 100 ms), so a receive may
// return up to one read wait after its limit. The 16-second receive runs once and gives both its
// overshoot and its CPU time.
#include "bench/bench_clock.h"
#include "bench/measurements.h"
#include "bench/module_session.h"
#include "bench/samples.h"
#include "link/frame_exchange.h"

namespace bench {

namespace {

enum { SHORT_LIMIT_MS = 1000, LONG_LIMIT_MS = 16000, SHORT_RECEIVES = 5 };
// One read wait plus 20 ms.
const double OVERSHOOT_GOAL = 0.120;
const double IDLE_CPU_GOAL = 0.01;

struct Receive {
    double seconds;
    double cpuSeconds;
};

Receive ReceiveNothing(uint32_t limitMs) {
    FrameBody body[MAX_FRAME_LENGTH] = {};
    double cpuBefore = ThreadCpuSeconds();
    Clock::time_point start = Clock::now();
    int received = ReceiveFrameBody(body, limitMs);
    Clock::time_point end = Clock::now();
    double cpu = ThreadCpuSeconds() - cpuBefore;
    Require(received == 0, "a frame arrived on the silent line");
    return {SecondsBetween(start, end), cpu};
}

ResultRow OvershootRow(const std::string& measure, const std::string& figure, double worst) {
    return {"3",
            measure,
            figure,
            "at most 120 ms (one 100 ms read wait + 20 ms)",
            Format("%.2f x goal", worst / OVERSHOOT_GOAL),
            worst <= OVERSHOOT_GOAL};
}

}  // namespace

void MeasureSilentReceives(ResultTable& table) {
    ModuleSession session(0, 57600);
    session.module().setSilent(true);

    Samples overshoot;
    for (int i = 0; i < SHORT_RECEIVES; ++i)
        overshoot.add(ReceiveNothing(SHORT_LIMIT_MS).seconds - SHORT_LIMIT_MS / 1000.0);
    table.add(OvershootRow(
        Format("ReceiveFrameBody on a silent line, limit 1,000 ms: time past the limit "
               "(worst of %d)",
               SHORT_RECEIVES),
        Format("%.1f ms (best %.1f ms, mean %.1f ms)", overshoot.max() * 1e3, overshoot.min() * 1e3,
               overshoot.mean() * 1e3),
        overshoot.max()));

    Receive longReceive = ReceiveNothing(LONG_LIMIT_MS);
    double longOvershoot = longReceive.seconds - LONG_LIMIT_MS / 1000.0;
    table.add(OvershootRow(
        "ReceiveFrameBody on a silent line, limit 16,000 ms: time past the limit (once)",
        Format("%.1f ms", longOvershoot * 1e3), longOvershoot));

    double share = longReceive.cpuSeconds / longReceive.seconds;
    table.add({"4", "CPU time of the receiving thread during that 16-second silent receive",
               Format("%.1f ms in %.2f s = %.3f %% of one core", longReceive.cpuSeconds * 1e3,
                      longReceive.seconds, share * 100),
               "under 1 % of one core", Format("%.3f x goal", share / IDLE_CPU_GOAL),
               share < IDLE_CPU_GOAL});
}

}  // namespace bench
