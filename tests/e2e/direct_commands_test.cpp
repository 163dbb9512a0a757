// The commands that the dialog sends itself: delete, erase, clear password and the module's
// baud rate, with their frames and texts.
#include "tests/e2e/console_rig.h"

namespace {

struct Command {
    int button;
    const char* commandCode;  // for the simulator's faults
    const char* frame;        // what the module receives, with slot 300 in the slot field
    const char* succeeded;
    const char* failed;
};

const Command commands[] = {
    {DELETE_BUTTON, "0C", "EF 01 FF FF FF FF 01 00 07 0C 01 2C 00 01 00 42", "删除成功",
     "删除失败"},
    {ERASE_BUTTON, "0D", "EF 01 FF FF FF FF 01 00 03 0D 00 11", "清除成功", "清除失败"},
    {CLEAR_PASSWORD_BUTTON, "12", "EF 01 FF FF FF FF 01 00 07 12 00 00 00 00 00 1A", "清空密码成功",
     "清空密码失败"},
    {BAUD_57600_BUTTON, "0E", "EF 01 FF FF FF FF 01 00 05 0E 04 06 00 1E", "设置波特率成功",
     "设置波特率失败"},
    {BAUD_115200_BUTTON, "0E", "EF 01 FF FF FF FF 01 00 05 0E 04 0C 00 24", "设置波特率成功",
     "设置波特率失败"},
};

}  // namespace

class DirectCommands : public ConsoleRig {
  protected:
    // The status line is set to a mark before each click, so that equal texts in a row still show
    // that the click replaced the text.
    std::string ClickFromMark(int button) {
        Ok("set 1009 -");
        return ClickForStatus(button);
    }
    void OpenAndLogIn() { ASSERT_EQ(ClickForStatus(OPEN_BUTTON), "连接设备成功0"); }
};

TEST_F(DirectCommands, EachCommandSendsItsFrameAndShowsItsSuccess) {
    StartModule();
    StartConsole();
    OpenAndLogIn();
    Ok("set 1003 300");
    for (const Command& command : commands) {
        size_t before = RecordedFrames().size();
        EXPECT_EQ(ClickFromMark(command.button), command.succeeded) << command.frame;
        std::vector<std::string> frames = RecordedFrames();
        ASSERT_EQ(frames.size(), before + 1) << command.frame;
        EXPECT_EQ(frames.back(), command.frame);
    }
    // The module's speed changed, the PC's did not: the field keeps its text.
    EXPECT_EQ(Ok("get 1013"), "57600");
}

TEST_F(DirectCommands, EachCommandShowsItsFailureWhenTheModuleRefuses) {
    StartModule();
    StartConsole();
    OpenAndLogIn();
    for (const Command& command : commands) {
        std::string fault = std::string("fault code cmd=") + command.commandCode + " value=1";
        ASSERT_EQ(Module(fault).rfind("ok", 0), 0u) << fault;
        EXPECT_EQ(ClickFromMark(command.button), command.failed) << command.frame;
    }
    // A refusal costs nothing more: the next command succeeds.
    EXPECT_EQ(ClickFromMark(ERASE_BUTTON), "清除成功");
}

TEST_F(DirectCommands, EachCommandFailsWithoutWritingBeforeAnyOpenAndAfterClose) {
    StartModule();
    StartConsole();
    for (const Command& command : commands)
        EXPECT_EQ(ClickFromMark(command.button), command.failed)
            << "before Open: " << command.frame;
    EXPECT_TRUE(RecordedFrames().empty());

    OpenAndLogIn();
    Click(CLOSE_BUTTON);
    size_t afterClose = RecordedFrames().size();
    for (const Command& command : commands)
        EXPECT_EQ(ClickFromMark(command.button), command.failed)
            << "after Close: " << command.frame;
    EXPECT_EQ(RecordedFrames().size(), afterClose);
}

TEST_F(DirectCommands, ANegativeSlotFailsWithNothingWritten) {
    StartModule();
    StartConsole();
    OpenAndLogIn();
    // The field takes digits only from the keyboard; a program's WM_SETTEXT gets past that.
    Ok("set 1003 -5");
    ASSERT_EQ(Ok("get 1003"), "-5");
    size_t before = RecordedFrames().size();
    EXPECT_EQ(ClickFromMark(DELETE_BUTTON), "删除失败");
    EXPECT_EQ(RecordedFrames().size(), before);
}

TEST_F(DirectCommands, CloseBeforeAnyOpenChangesNothing) {
    StartModule();
    StartConsole();
    Click(CLOSE_BUTTON);
    EXPECT_EQ(Status(), "...");
    EXPECT_EQ(Ok("get 1003"), "1");
    EXPECT_EQ(Ok("get 1012"), "3");
    EXPECT_EQ(Ok("get 1013"), "57600");
    EXPECT_TRUE(RecordedFrames().empty());
    // And the console still opens as usual.
    OpenAndLogIn();
}
