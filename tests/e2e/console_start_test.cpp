// The dialog as the operator first sees it, and the ways it ends.
#include "tests/e2e/console_rig.h"

using ConsoleStart = ConsoleRig;

TEST_F(ConsoleStart, FieldsShowTheirDefaultsTheBoxIsUntickedAndTheStatusLineShowsDots) {
    StartConsole();
    EXPECT_EQ(Ok("get 1003"), "1");
    EXPECT_EQ(Ok("get 1012"), "3");
    EXPECT_EQ(Ok("get 1013"), "57600");
    EXPECT_EQ(Ok("checked 1015"), "0");
    EXPECT_EQ(Status(), "...");
    // No image has been drawn: the image area shows the dialog's background.
    std::string background = Ok("pixel 5 5");
    EXPECT_EQ(Ok("pixel 100 100"), background);
    EXPECT_EQ(Ok("pixel 355 387"), background);
}

TEST_F(ConsoleStart, TheExitCodeIsTheIdThatEndedTheDialog) {
    struct Row {
        const char* command;
        int exitCode;
    };
    // Enter (IDOK), Esc (IDCANCEL), and the close box, which the dialog turns into IDCANCEL.
    for (const Row& row : {Row{"end 1", 1}, Row{"end 2", 2}, Row{"close", 2}}) {
        StartConsole();
        Ok(row.command);
        EXPECT_EQ(ConsoleExitCode(10000), row.exitCode) << row.command;
    }
}
