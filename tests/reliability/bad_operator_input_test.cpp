// Bad operator input through the dialog under wine: the port, baud and slot fields hold values
// that the digits-only filter would not let anyone type (they arrive as pasted text). Each gives
// its handler's text, nothing goes to the module where nothing should, and the dialog stays
// usable afterwards.
#include <cstdio>
#include <string>
#include <vector>

#include "tests/e2e/console_rig.h"

namespace {

const char kOpenFailed[] = "打开串口失败";
const char kConnected[] = "连接设备成功0";

}  // namespace

class BadOperatorInput : public ConsoleRig {
  protected:
    // The status line is set to a mark first, so that a repeated text still shows a new click.
    std::string ClickFromMark(int button) {
        Ok("set 1009 -");
        return ClickForStatus(button);
    }
    void ExpectUsable() {
        Ok("set 1012 3");
        Ok("set 1013 57600");
        EXPECT_EQ(ClickFromMark(OPEN_BUTTON), kConnected);
        Ok("set 1003 1");
        EXPECT_EQ(ClickFromMark(DELETE_BUTTON), "删除成功");
    }
};

TEST_F(BadOperatorInput, PortFieldsThatNameNoPortFailToOpenAndSendNothing) {
    StartModule();
    StartConsole();
    ASSERT_EQ(ClickFromMark(OPEN_BUTTON), kConnected);
    for (const char* text : {"", "0", "17", "-1", "99999999999", "3x", "abc"}) {
        SCOPED_TRACE(std::string("port field \"") + text + "\"");
        Ok(std::string("set 1012 ") + text);
        size_t before = RecordedFrames().size();
        // "3x" reads as 3, as GetDlgItemInt stops at the first non-digit: that one opens.
        bool readsAsThree = std::string(text) == "3x";
        EXPECT_EQ(ClickFromMark(OPEN_BUTTON), readsAsThree ? kConnected : kOpenFailed);
        if (!readsAsThree) {
            EXPECT_EQ(RecordedFrames().size(), before) << "a failed Open sent something";
            // The port opened before was closed first: only the simulator holds its end.
            EXPECT_EQ(PortHolders(), 1);
            EXPECT_EQ(ClickFromMark(ERASE_BUTTON), "清除失败");
            EXPECT_EQ(RecordedFrames().size(), before);
        }
    }
    ExpectUsable();
}

// The port takes the typed rate unchecked and the driver decides (a real COM port refuses 0 or 1;
// wine's driver on a pseudo-terminal takes any rate). Either the open fails, with its text, nothing
// sent and the device released, or the port is open and the handshake runs as at any rate.
TEST_F(BadOperatorInput, BaudFieldsWithoutARateEitherFailToOpenOrLogInAsAnyRateDoes) {
    StartModule();
    StartConsole();
    for (const char* text : {"0", "1", "99999999999", "", "abc", "-57600"}) {
        SCOPED_TRACE(std::string("baud field \"") + text + "\"");
        Ok(std::string("set 1013 ") + text);
        size_t before = RecordedFrames().size();
        std::string shown = ClickFromMark(OPEN_BUTTON);
        std::vector<std::string> frames = RecordedFrames();
        if (shown == kOpenFailed) {
            EXPECT_EQ(frames.size(), before) << "a failed Open sent something";
            EXPECT_EQ(PortHolders(), 1) << "a failed Open kept the device";
        } else {
            EXPECT_EQ(shown, kConnected);
            ASSERT_EQ(frames.size(), before + 1);
            EXPECT_EQ(frames.back(), "EF 01 FF FF FF FF 01 00 07 13 00 00 00 00 00 1B");
        }
        std::printf("baud field \"%s\": %s\n", text,
                    shown == kOpenFailed ? "open refused" : "opened, logged in");
    }
    ExpectUsable();
}

TEST_F(BadOperatorInput, SlotFieldsAreSentAsTheirLowSixteenBitsOrRefusedWhenNegative) {
    StartModule();
    StartConsole();
    ASSERT_EQ(ClickFromMark(OPEN_BUTTON), kConnected);
    struct Case {
        const char* text;
        const char* deleteFrame;  // null: refused before anything is sent
        const char* deleteText;
        const char* verifyText;
    } cases[] = {
        {"-1", nullptr, "删除失败", "验证失败"},
        // 65,537 is sent as its low 16 bits: page 1.
        {"65537", "EF 01 FF FF FF FF 01 00 07 0C 00 01 00 01 00 16", "删除成功", "验证失败"},
        // An empty field and text read as 0.
        {"", "EF 01 FF FF FF FF 01 00 07 0C 00 00 00 01 00 15", "删除成功", "验证失败"},
        {"abc", "EF 01 FF FF FF FF 01 00 07 0C 00 00 00 01 00 15", "删除成功", "验证失败"},
        {"99999999999", "EF 01 FF FF FF FF 01 00 07 0C 00 00 00 01 00 15", "删除成功", "验证失败"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("slot field \"") + c.text + "\"");
        Ok(std::string("set 1003 ") + c.text);
        size_t before = RecordedFrames().size();
        EXPECT_EQ(ClickFromMark(DELETE_BUTTON), c.deleteText);
        std::vector<std::string> frames = RecordedFrames();
        if (c.deleteFrame) {
            ASSERT_EQ(frames.size(), before + 1);
            EXPECT_EQ(frames.back(), c.deleteFrame);
        } else {
            EXPECT_EQ(frames.size(), before) << "a negative slot was sent";
        }
        // Verify loads the slot first; the library is empty, so every load fails, and a negative
        // slot is refused before anything is sent.
        before = frames.size();
        EXPECT_EQ(ClickFromMark(VERIFY_BUTTON), c.verifyText);
        EXPECT_EQ(RecordedFrames().size(), before + (c.deleteFrame ? 1 : 0));
    }
    ExpectUsable();
}
