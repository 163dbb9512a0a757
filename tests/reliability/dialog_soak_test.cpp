// Soak through the dialog under wine: 100 operations of mixed kinds back to back (the direct
// commands and the operation buttons, the image shown now and then) against the simulated module,
// with faults sprinkled in. Each operation ends with one of its own texts within its limit, the
// dialog answers the driver promptly throughout (also while a flow runs on the worker), and at the
// end the port is held once and the dialog still works. Only faults that answer at once are used:
// a silent module would hold the dialog for a whole 16-second reply limit, as specified.
#include <chrono>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "tests/e2e/console_rig.h"

namespace {

using Clock = std::chrono::steady_clock;

enum { OPERATIONS = 100, FAULT_EVERY = 5, OPERATION_LIMIT_MS = 20000, RESPONSIVE_MS = 1000 };

struct Step {
    const char* name;
    int button;
    bool worker;                     // runs on the worker: the dialog is polled meanwhile
    std::vector<const char*> codes;  // its commands, for the faults (hex)
    std::set<std::string> endings;   // the texts it may end with
};

const char kTimeout[] = "等待超时,请重来";

std::vector<Step> Mix() {
    return {
        {"delete", DELETE_BUTTON, false, {"0C"}, {"删除成功", "删除失败"}},
        {"erase", ERASE_BUTTON, false, {"0D"}, {"清除成功", "清除失败"}},
        {"clear password", CLEAR_PASSWORD_BUTTON, false, {"12"}, {"清空密码成功", "清空密码失败"}},
        {"baud 57600", BAUD_57600_BUTTON, false, {"0E"}, {"设置波特率成功", "设置波特率失败"}},
        {"baud 115200", BAUD_115200_BUTTON, false, {"0E"}, {"设置波特率成功", "设置波特率失败"}},
        {"module enroll",
         MODULE_ENROLL_BUTTON,
         true,
         {"01", "02", "05", "06", "0A"},
         {"登记ID成功", "登记ID失败", kTimeout}},
        {"verify",
         VERIFY_BUTTON,
         true,
         {"07", "01", "02", "03", "0A"},
         {"验证ID成功", "验证ID失败", "验证失败", kTimeout}},
        {"identify",
         IDENTIFY_BUTTON,
         true,
         {"01", "02", "04", "0A"},
         {"识别成功:5", "识别失败", kTimeout}},
        {"host enroll",
         HOST_ENROLL_BUTTON,
         true,
         {"01", "02", "05", "08", "0A"},
         {"登记特征点成功", "登记特征点失败", kTimeout}},
        {"host capture",
         HOST_CAPTURE_BUTTON,
         true,
         {"01", "02", "08", "0A"},
         {"采集特征点成功", "采集特征点失败", kTimeout}},
        {"compare", COMPARE_BUTTON, false, {"09", "03"}, {"比对成功", "比对失败"}},
    };
}

// Faults that answer at once, or within a fraction of a second.
const char* const kFaults[] = {
    "noise",        "bad-checksum",    "split value=50", "wrong-packet-id",
    "code value=1", "oversize-stream", "ack-in-stream",  "delay value=50",
};

}  // namespace

class DialogSoak : public ConsoleRig {
  protected:
    // How long the dialog takes to answer a message from the driver.
    long AnswerTimeMs() {
        auto start = Clock::now();
        EXPECT_EQ(Ok("get 1012"), "3");
        return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    }

    // Runs a step from a marked status line; the text it ended with, or "" when none came.
    std::string Run(const Step& step, long* slowestAnswerMs) {
        Ok("set 1009 -");
        if (!step.worker) {
            Click(step.button);
            return Status();
        }
        Press(step.button);
        auto deadline = Clock::now() + std::chrono::milliseconds(OPERATION_LIMIT_MS);
        while (Clock::now() < deadline) {
            *slowestAnswerMs = std::max(*slowestAnswerMs, AnswerTimeMs());
            std::string status = Status();
            if (step.endings.count(status))
                return status;
        }
        return "";
    }
};

TEST_F(DialogSoak, HundredMixedOperationsEachEndWithOneOfTheirTextsAndTheDialogStaysResponsive) {
    StartModule({"--finger", "auto"});
    StartConsole();
    ASSERT_EQ(ClickForStatus(OPEN_BUTTON), "连接设备成功0");
    int holders = PortHolders();  // the simulator's end, and the console's open port
    Ok("set 1003 5");
    std::vector<Step> mix = Mix();
    std::mt19937 random(7);
    long slowestAnswerMs = 0;
    int faults = 0, succeeded = 0;
    auto started = Clock::now();
    for (int i = 0; i < OPERATIONS; ++i) {
        const Step& step = mix[random() % mix.size()];
        if (step.worker)
            Ok(std::string("check 1015 ") + (random() % 3 == 0 ? "1" : "0"));
        bool faulted = i % FAULT_EVERY == FAULT_EVERY - 1;
        if (faulted) {
            std::string fault = std::string("fault ") + kFaults[random() % 8] +
                                " cmd=" + step.codes[random() % step.codes.size()];
            ASSERT_EQ(Module(fault).rfind("ok", 0), 0u) << fault;
            ++faults;
        }
        std::string ending = Run(step, &slowestAnswerMs);
        EXPECT_TRUE(step.endings.count(ending))
            << "operation " << i << " (" << step.name << (faulted ? ", with a fault" : "")
            << ") ended with \"" << ending << "\"";
        succeeded += ending.find("成功") != std::string::npos;
        ASSERT_EQ(Module("clear-faults").rfind("ok", 0), 0u);
        slowestAnswerMs = std::max(slowestAnswerMs, AnswerTimeMs());
    }
    auto seconds = std::chrono::duration_cast<std::chrono::seconds>(Clock::now() - started).count();
    std::printf(
        "dialog soak: %d operations (%d with a fault, %d succeeded) in %lld s; slowest "
        "answer of the dialog %ld ms\n",
        OPERATIONS, faults, succeeded, static_cast<long long>(seconds), slowestAnswerMs);
    EXPECT_LE(slowestAnswerMs, RESPONSIVE_MS) << "the dialog stopped answering";

    // The port is held as it was after the first Open; Open and a command still work.
    EXPECT_EQ(PortHolders(), holders);
    Ok("set 1009 -");
    EXPECT_EQ(ClickForStatus(OPEN_BUTTON), "连接设备成功0");
    EXPECT_EQ(PortHolders(), holders);
    Ok("set 1009 -");
    EXPECT_EQ(ClickForStatus(ERASE_BUTTON), "清除成功");
}
