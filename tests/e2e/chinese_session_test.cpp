// A wine session whose ANSI code page is 936, as on a Chinese Windows: the status texts read back
// the same as under any other code page, and the running dialog shows the table's captions.
#include "tests/e2e/console_rig.h"
#include "tests/e2e/dialog_table.h"

using ChineseSession = ConsoleRig;

TEST_F(ChineseSession, StatusTextsAndCaptionsReadBackAsTheirChineseCharacters) {
    ASSERT_EQ(Ok("acp"), "936") << "this suite runs in a zh_CN session of its own";
    StartModule({"--password", "7264756b"});
    StartConsole();
    const std::vector<ExpectedControl>& table = DialogTable();
    for (size_t i = 0; i < table.size(); ++i) {
        if (table[i].windowClass == "Edit")
            continue;  // a field's text is its value
        std::string shown = Ok("control " + std::to_string(i));
        EXPECT_EQ(shown.substr(shown.rfind('\t') + 1), table[i].caption) << "control " << i;
    }
    Press(OPEN_BUTTON);
    EXPECT_EQ(WaitForStatus("连接设备成功2"), "连接设备成功2");
    Ok("set 1003 300");
    EXPECT_EQ(ClickForStatus(DELETE_BUTTON), "删除成功");
}
