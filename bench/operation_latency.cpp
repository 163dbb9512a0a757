// How long after the module's last reply of a flow the flow's final event is recorded. The
// simulated module stamps the moment it wrote the last byte of each whole reply; the recorder's
// watcher stamps each event on the worker thread right after recording it. Both use the same
// steady clock of this process. The module paces its bytes at 115,200 baud as a real line would:
// unpaced, a stream's frames would sit in the pseudo-terminal while the host still reads them, and
// that backlog, not the reaction to the last byte, would be timed. No images are shown; they
// change nothing after the last reply.
#include <chrono>
#include <mutex>
#include <thread>

#include "bench/bench_clock.h"
#include "bench/measurements.h"
#include "bench/module_session.h"
#include "bench/samples.h"
#include "commands/module_commands.h"
#include "operations/event_recorder.h"
#include "operations/operation_events.h"
#include "operations/operation_flows.h"
#include "operations/operation_runner.h"

namespace bench {

namespace {

enum { RUNS_PER_FLOW = 5, SLOT = 1, LINE_BAUD = 115200 };
const double LATENCY_GOAL = 0.005;
const int WAIT_MS = 30000;

struct Flow {
    OperationKind kind;
    const char* name;
    const char* lastCommand;
    OperationEvent done;
};

const Flow kFlows[] = {
    {HostEnroll, "host enroll", "ReadFeatures (its end frame)", {EVT_HOST_ENROLL_DONE, 1}},
    {HostCapture, "host capture", "ReadFeatures (its end frame)", {EVT_HOST_CAPTURE_DONE, 1}},
    {ModuleEnroll, "module enroll", "StoreTemplate", {EVT_MODULE_ENROLL_DONE, 1}},
    {ModuleVerify, "module verify", "MatchFeatures", {EVT_VERIFY_DONE, 1}},
    {ModuleIdentify, "module identify", "SearchTemplates", {EVT_IDENTIFY_DONE, (SLOT << 16) | 1}},
};

// The latest event posted and when it was recorded.
struct LastEvent {
    std::mutex lock;
    OperationEvent event{};
    Clock::time_point recorded{};
};

void Stamp(OperationEvent event, void* context) {
    Clock::time_point now = Clock::now();
    LastEvent* last = static_cast<LastEvent*>(context);
    std::lock_guard<std::mutex> hold(last->lock);
    last->event = event;
    last->recorded = now;
}

bool WaitUntilIdle() {
    Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(WAIT_MS);
    while (workerThread.load()) {
        if (Clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// Runs one flow to its end; returns the time from the module's last reply to the final event.
double RunOnce(const Flow& flow, sim::ModuleServer& module, LastEvent& last) {
    if (flow.kind == ModuleVerify)
        Require(LoadTemplate(SLOT) == 0, "LoadTemplate failed before module verify");
    module.setAutoFinger(1);
    StartOperation(flow.kind);
    Require(WaitUntilIdle(), "an operation did not end");
    // The flow's last command has been answered, so every frame the host sent is in the record;
    // once all are handled, the module's stamp is that of its last reply.
    Require(module.waitForHandledFrames(module.receivedFrames().size(), WAIT_MS),
            "the module did not handle every frame");
    Clock::time_point replied = module.lastReplySent();
    std::lock_guard<std::mutex> hold(last.lock);
    Require(last.event.code == flow.done.code && last.event.value == flow.done.value,
            "a flow did not end with success");
    return SecondsBetween(replied, last.recorded);
}

}  // namespace

void MeasureOperationLatency(ResultTable& table) {
    ModuleSession session(LINE_BAUD, LINE_BAUD);
    sim::ModuleServer& module = session.module();
    LastEvent last;
    AttachEventRecorder();
    WatchOperationEvents(Stamp, &last);
    showImage = 0;
    SetSlotField(SLOT);

    Samples latency[sizeof kFlows / sizeof kFlows[0]];
    // Round after round of all five, so that identify finds the slot that enroll stored.
    for (int run = 0; run < RUNS_PER_FLOW; ++run) {
        for (size_t i = 0; i < sizeof kFlows / sizeof kFlows[0]; ++i)
            latency[i].add(RunOnce(kFlows[i], module, last));
    }
    WatchOperationEvents(nullptr, nullptr);
    DetachEventRecorder();

    for (size_t i = 0; i < sizeof kFlows / sizeof kFlows[0]; ++i) {
        const Samples& s = latency[i];
        table.add({"6",
                   Format("%s at 115,200 baud: from the module's reply to %s to the final "
                          "event (worst of %d)",
                          kFlows[i].name, kFlows[i].lastCommand, RUNS_PER_FLOW),
                   Format("%.3f ms (mean %.3f ms)", s.max() * 1e3, s.mean() * 1e3), "under 5 ms",
                   Format("%.3f x goal", s.max() / LATENCY_GOAL), s.max() < LATENCY_GOAL});
    }
}

}  // namespace bench
