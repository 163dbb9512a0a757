// The serial adapter disappears under the running dialog and comes back: commands and operations
// fail with their texts, and Open works again without restarting the program.
#include <chrono>

#include "tests/e2e/console_rig.h"

class DialogUnplugged : public ConsoleRig {};

TEST_F(DialogUnplugged, CommandsAndOperationsFailAndOpenWorksAgainOnceTheAdapterIsBack) {
    StartModule({"--finger", "none"});
    StartConsole();
    ASSERT_EQ(ClickForStatus(OPEN_BUTTON), "连接设备成功0");

    StopModule();  // the adapter is unplugged
    auto started = std::chrono::steady_clock::now();
    Ok("set 1009 -");
    EXPECT_EQ(ClickForStatus(ERASE_BUTTON), "清除失败");
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(3));
    Ok("set 1009 -");
    Press(HOST_CAPTURE_BUTTON);
    EXPECT_EQ(WaitForStatus("等待超时,请重来", 10000), "等待超时,请重来");

    // Plugged in again, as the same COM port.
    StartModule();
    EXPECT_EQ(ClickForStatus(OPEN_BUTTON), "连接设备成功0");
    Ok("set 1009 -");
    EXPECT_EQ(ClickForStatus(ERASE_BUTTON), "清除成功");
}
