// Soak: 1,000 operations of mixed kinds back to back through the command-line console, in one
// process, against the simulated module with faults sprinkled in. Every operation must end with
// exactly one result object whose exit code is the one the console returned; the heap in use,
// the open descriptors and the threads must not grow; LeakSanitizer must find nothing. The clock
// runs 16 times faster than real time, so a 16-second reply limit costs one second.
// QUORVEL_SOAK_OPERATIONS sets another count.
#include <gtest/gtest.h>
#include <malloc.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "cli/run_cli.h"
#include "sim/module_server.h"
#include "tests/cli/flat_json.h"
#include "tests/support/fake_ticks.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace {

namespace fs = std::filesystem;
using sim::FaultKind;

enum : uint32_t { CLOCK_FACTOR = 16 };
enum { DEFAULT_OPERATIONS = 1000, WARM_UP = 50, FAULT_EVERY = 6 };
// Growth of the heap in use that is not a leak: the allocator's own bookkeeping.
enum : size_t { HEAP_SLACK = 256 * 1024 };

// The heap in use now: the sanitizer's count of live bytes, which freed blocks waiting in its
// quarantine do not inflate.
size_t HeapInUse() {
#if defined(__SANITIZE_ADDRESS__)
    return __sanitizer_get_current_allocated_bytes();
#else
    return mallinfo2().uordblks;
#endif
}

size_t EntriesOf(const char* folder) {
    size_t count = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        (void)entry;
        ++count;
    }
    return count;
}

// The process's peak resident memory (VmHWM), in kB.
long PeakResidentKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::atol(line.c_str() + 6);
    }
    return -1;
}

struct Operation {
    const char* name;
    std::vector<std::string> args;      // after --port DEVICE
    std::vector<uint8_t> commandCodes;  // the commands it sends, for the faults
};

class CliSoak : public ::testing::Test {
  protected:
    void SetUp() override {
        module_ = std::make_unique<sim::ModuleServer>();
        ASSERT_TRUE(module_->ok()) << module_->error();
        module_->setAutoFinger(1);
        char pattern[] = "/tmp/quorvel-soak-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder_ = pattern;
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
        module_.reset();
    }

    std::string File(const char* name) const { return folder_ + "/" + name; }

    std::vector<Operation> Mix() const {
        return {
            {"handshake", {"handshake"}, {0x13}},
            {"delete", {"delete", "--slot", "9"}, {0x0C}},
            {"erase", {"erase", "--yes"}, {0x0D}},
            {"clear-password", {"clear-password"}, {0x12}},
            {"set-baud", {"set-baud", "57600"}, {0x0E}},
            {"enroll", {"enroll", "--slot", "3"}, {0x01, 0x02, 0x05, 0x06}},
            {"verify", {"verify", "--slot", "3"}, {0x07, 0x01, 0x02, 0x03}},
            {"identify", {"identify"}, {0x01, 0x02, 0x04}},
            {"enroll-template",
             {"enroll-template", "--out", File("a.tpl")},
             {0x01, 0x02, 0x05, 0x08}},
            {"capture-template", {"capture-template", "--out", File("b.tpl")}, {0x01, 0x02, 0x08}},
            {"compare", {"compare", File("a.tpl"), File("b.tpl")}, {0x09, 0x03}},
            {"image", {"image", "--out", File("f.png"), "--raw", File("f.raw")}, {0x01, 0x0A}},
        };
    }

    // A fault on one of the operation's commands, or on the login; never a silent capture, whose
    // 160-second limit would dominate the run.
    sim::Fault RandomFault(const Operation& op, std::mt19937& random) {
        static const FaultKind kinds[] = {
            FaultKind::NoReply,    FaultKind::Noise,          FaultKind::BadChecksum,
            FaultKind::Split,      FaultKind::WrongPacketId,  FaultKind::Code,
            FaultKind::StopStream, FaultKind::OversizeStream, FaultKind::AckInStream,
            FaultKind::Delay,
        };
        sim::Fault fault;
        fault.kind = kinds[random() % (sizeof kinds / sizeof kinds[0])];
        std::vector<uint8_t> codes = op.commandCodes;
        codes.push_back(0x13);
        fault.command = codes[random() % codes.size()];
        if (fault.kind == FaultKind::NoReply && fault.command == 0x01)
            fault.kind = FaultKind::Noise;
        if (fault.kind == FaultKind::Delay || fault.kind == FaultKind::Split)
            fault.value = 30;  // ms of real time
        return fault;
    }

    // Runs one operation; checks that it ended with exactly one result object that agrees with
    // the exit code. Returns the exit code, or -1 when the result was not one object.
    int RunOperation(const Operation& op) {
        std::vector<std::string> args = {"--port", module_->devicePath(), "--json"};
        args.insert(args.end(), op.args.begin(), op.args.end());
        std::vector<const char*> argv = {"quorvel-cli"};
        for (const std::string& arg : args)
            argv.push_back(arg.c_str());
        std::ostringstream out, err;
        int code = RunCli(static_cast<int>(argv.size()), argv.data(), out, err);
        std::map<std::string, JsonValue> result;
        if (!FlatJsonReader(out.str()).Read(&result)) {
            ADD_FAILURE() << op.name << ": not exactly one result object: " << out.str();
            return -1;
        }
        EXPECT_EQ(result["exit"].text, std::to_string(code)) << op.name;
        EXPECT_EQ(result["ok"].text, code == 0 ? "true" : "false") << op.name;
        EXPECT_GE(code, 0) << op.name;
        EXPECT_LE(code, 7) << op.name;
        return code;
    }

    std::unique_ptr<sim::ModuleServer> module_;
    std::string folder_;
};

TEST_F(CliSoak, MixedOperationsWithFaultsEndOnceEachAndLeaveNothingBehind) {
    int operations = DEFAULT_OPERATIONS;
    if (const char* count = std::getenv("QUORVEL_SOAK_OPERATIONS"))
        operations = std::max(WARM_UP + 1, std::atoi(count));
    std::vector<Operation> mix = Mix();
    std::mt19937 random(20261211);
    fake_ticks::Accelerated clock(CLOCK_FACTOR);
    auto started = std::chrono::steady_clock::now();

    // The template files that compare reads, before anything else.
    ASSERT_EQ(RunOperation(mix[8]), 0);
    ASSERT_EQ(RunOperation(mix[9]), 0);

    size_t heapAfterWarmUp = 0, fdsAfterWarmUp = 0, threadsAfterWarmUp = 0;
    std::map<std::string, std::map<int, int>> outcomes;
    int faults = 0, withoutFaultFailed = 0;
    for (int i = 0; i < operations; ++i) {
        const Operation& op = mix[random() % mix.size()];
        bool faulted = i % FAULT_EVERY == FAULT_EVERY - 1;
        if (faulted) {
            module_->armFault(RandomFault(op, random));
            ++faults;
        }
        int code = RunOperation(op);
        ++outcomes[op.name][code];
        if (!faulted && code != 0) {
            // Without a fault only an operation that the module's own state refuses may fail
            // (a verify of a slot that an erase emptied, an identify of an empty library).
            bool stateDependent = std::string(op.name) == "verify" ||
                                  std::string(op.name) == "identify" ||
                                  std::string(op.name) == "compare";
            if (!stateDependent)
                ++withoutFaultFailed;
        }
        module_->clearFaults();
        module_->clearReceivedFrames();
        if (i + 1 == WARM_UP) {
            heapAfterWarmUp = HeapInUse();
            fdsAfterWarmUp = EntriesOf("/proc/self/fd");
            threadsAfterWarmUp = EntriesOf("/proc/self/task");
        }
    }
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();

    size_t heap = HeapInUse();
    EXPECT_EQ(EntriesOf("/proc/self/fd"), fdsAfterWarmUp) << "open descriptors grew";
    EXPECT_EQ(EntriesOf("/proc/self/task"), threadsAfterWarmUp) << "threads grew";
    EXPECT_LE(heap, heapAfterWarmUp + HEAP_SLACK)
        << "the heap in use grew from " << heapAfterWarmUp << " to " << heap << " bytes";
    EXPECT_EQ(withoutFaultFailed, 0) << "operations without a fault failed";
#if defined(__SANITIZE_ADDRESS__)
    EXPECT_EQ(__lsan_do_recoverable_leak_check(), 0) << "LeakSanitizer found leaks";
#endif

    std::printf(
        "soak: %d operations (%d with a fault) in %.1f s real; heap in use %zu -> %zu "
        "bytes; %zu descriptors, %zu threads; peak resident %ld kB\n",
        operations, faults, seconds, heapAfterWarmUp, heap, fdsAfterWarmUp, threadsAfterWarmUp,
        PeakResidentKb());
    for (const auto& [name, codes] : outcomes) {
        std::printf("  %-17s", name.c_str());
        for (const auto& [code, count] : codes)
            std::printf(" exit %d: %d", code, count);
        std::printf("\n");
    }
}

}  // namespace
