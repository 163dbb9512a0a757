// The operation buttons end to end: flows on the worker, their texts, the host compare, and the
// finger image drawn into the dialog.
#include <chrono>
#include <cstdio>

#include "sim/finger_image.h"
#include "tests/e2e/console_rig.h"

namespace {

// A flow with the auto finger takes a handful of round trips; a time-out takes 19 quick ones.
enum { OPERATION_LIMIT_MS = 20000 };

}  // namespace

class Operations : public ConsoleRig {
  protected:
    void OpenAndLogIn() { ASSERT_EQ(ClickForStatus(OPEN_BUTTON), "连接设备成功0"); }
    // Runs a button from a marked status line and waits for the text it should end with.
    std::string RunButton(int button, const std::string& expected) {
        Ok("set 1009 -");
        Press(button);
        return WaitForStatus(expected, OPERATION_LIMIT_MS);
    }
};

TEST_F(Operations, CompareBeforeAnyHostTemplateFailsWithNoTraffic) {
    StartModule({"--finger", "auto"});
    StartConsole();
    OpenAndLogIn();
    size_t before = RecordedFrames().size();
    EXPECT_EQ(RunButton(COMPARE_BUTTON, "比对失败"), "比对失败");
    EXPECT_EQ(RecordedFrames().size(), before);
}

TEST_F(Operations, HostEnrollCaptureAndCompareAtTheThreshold) {
    StartModule({"--finger", "auto"});
    StartConsole();
    OpenAndLogIn();
    EXPECT_EQ(RunButton(HOST_ENROLL_BUTTON, "登记特征点成功"), "登记特征点成功");
    EXPECT_EQ(RunButton(HOST_CAPTURE_BUTTON, "采集特征点成功"), "采集特征点成功");
    EXPECT_EQ(RunButton(COMPARE_BUTTON, "比对成功"), "比对成功");
    ASSERT_EQ(Module("score 80").rfind("ok", 0), 0u);
    EXPECT_EQ(RunButton(COMPARE_BUTTON, "比对成功"), "比对成功");
    ASSERT_EQ(Module("score 79").rfind("ok", 0), 0u);
    EXPECT_EQ(RunButton(COMPARE_BUTTON, "比对失败"), "比对失败");
}

TEST_F(Operations, ModuleEnrollVerifyAndIdentifyASlot) {
    StartModule({"--finger", "auto"});
    StartConsole();
    OpenAndLogIn();
    Ok("set 1003 7");
    EXPECT_EQ(RunButton(MODULE_ENROLL_BUTTON, "登记ID成功"), "登记ID成功");
    EXPECT_EQ(RunButton(VERIFY_BUTTON, "验证ID成功"), "验证ID成功");
    EXPECT_EQ(RunButton(IDENTIFY_BUTTON, "识别成功:7"), "识别成功:7");
    // An empty slot cannot be loaded: the verify fails before any finger is asked for.
    Ok("set 1003 8");
    EXPECT_EQ(RunButton(VERIFY_BUTTON, "验证失败"), "验证失败");
}

TEST_F(Operations, NoFingerEndsInATimeout) {
    StartModule({"--finger", "none"});
    StartConsole();
    OpenAndLogIn();
    EXPECT_EQ(RunButton(HOST_CAPTURE_BUTTON, "等待超时,请重来"), "等待超时,请重来");
}

TEST_F(Operations, WithTheBoxTickedTheFingerImageIsDrawnAtOneHundredInShadesOfRed) {
    StartModule({"--finger", "auto:3"});
    StartConsole();
    OpenAndLogIn();
    Ok("check 1015 1");
    EXPECT_EQ(RunButton(HOST_CAPTURE_BUTTON, "采集特征点成功"), "采集特征点成功");
    Screenshot("finger-image");
    // Pixel value v (a 4-bit sample times 16) is drawn as red 255, green v, blue v.
    sim::Bytes packed = sim::PackedFingerImage(3);
    int checked = 0;
    for (int y = 0; y < 288; y += 37) {
        for (int x = 0; x < 256; x += 29) {
            int value =
                sim::PackedPixel(packed, static_cast<size_t>(x), static_cast<size_t>(y)) * 16;
            char expected[16];
            std::snprintf(expected, sizeof expected, "FF%02X%02X", value, value);
            EXPECT_EQ(Ok("pixel " + std::to_string(100 + x) + " " + std::to_string(100 + y)),
                      expected)
                << x << "," << y;
            ++checked;
        }
    }
    EXPECT_GT(checked, 50);
    // The picture is 256 x 288: the pixels just outside it are the dialog's own.
    EXPECT_NE(Ok("pixel 356 100").substr(0, 2), "FF") << "drawn wider than 256";
    EXPECT_NE(Ok("pixel 100 388").substr(0, 2), "FF") << "drawn taller than 288";
}

TEST_F(Operations, CloseDuringALongCaptureReturnsAtOnceAndTheOperationTimesOut) {
    StartModule({"--finger", "none"});
    StartConsole();
    OpenAndLogIn();
    ASSERT_EQ(Module("silent on").rfind("ok", 0), 0u);  // each capture would wait 160 s
    Ok("set 1009 -");
    Press(HOST_CAPTURE_BUTTON);
    ASSERT_EQ(WaitForStatus("请按手指...", OPERATION_LIMIT_MS), "请按手指...");
    auto started = std::chrono::steady_clock::now();
    Click(CLOSE_BUTTON);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));
    EXPECT_EQ(WaitForStatus("等待超时,请重来", 5000), "等待超时,请重来");
}

TEST_F(Operations, EndingTheDialogDuringATransactionEndsTheProgramCleanly) {
    StartModule({"--finger", "none"});
    StartConsole();
    OpenAndLogIn();
    ASSERT_EQ(Module("silent on").rfind("ok", 0), 0u);
    Ok("check 1015 1");
    Press(HOST_ENROLL_BUTTON);
    ASSERT_EQ(WaitForStatus("请按手指...", OPERATION_LIMIT_MS), "请按手指...");
    Ok("end 2");
    EXPECT_EQ(ConsoleExitCode(5000), 2) << "the program did not end, or crashed on the way out";
}
