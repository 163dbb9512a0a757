#pragma once
// The dialog as the operator's documentation describes it: every control in tab order.
#include <string>
#include <vector>

struct ExpectedControl {
    int id;
    std::string windowClass;
    std::string caption;
    unsigned long style;
    int x, y, width, height;
};

enum : unsigned long {
    PUSH_BUTTON = 0x50010000,
    GROUP_BOX = 0x50000007,
    NUMBER_FIELD = 0x50812080,
    LABEL = 0x50020000,
    CHECK_BOX = 0x50010003,
};

inline const std::vector<ExpectedControl>& DialogTable() {
    static const std::vector<ExpectedControl> table = {
        {1000, "Button", "登记", PUSH_BUTTON, 259, 173, 78, 18},
        {-1, "Button", "模块上操作", GROUP_BOX, 247, 138, 101, 155},
        {-1, "Button", "主机上操作", GROUP_BOX, 351, 138, 101, 155},
        {1001, "Button", "验证(1:1)", PUSH_BUTTON, 259, 195, 78, 18},
        {1002, "Button", "识别(1:N)", PUSH_BUTTON, 259, 217, 78, 18},
        {1003, "Edit", "", NUMBER_FIELD, 286, 154, 55, 14},
        {-1, "Static", "编号", LABEL, 261, 155, 15, 8},
        {1004, "Button", "删除指定", PUSH_BUTTON, 259, 239, 78, 18},
        {1005, "Button", "清除全部", PUSH_BUTTON, 259, 261, 78, 18},
        {1006, "Button", "登记", PUSH_BUTTON, 363, 173, 78, 18},
        {1007, "Button", "采集", PUSH_BUTTON, 363, 195, 78, 18},
        {1008, "Button", "比对", PUSH_BUTTON, 363, 217, 78, 18},
        {1009, "Static", "...", LABEL, 38, 231, 156, 8},
        {1010, "Button", "打开", PUSH_BUTTON, 379, 17, 67, 18},
        {1011, "Button", "关闭", PUSH_BUTTON, 379, 40, 67, 18},
        {-1, "Static", "串口号", LABEL, 269, 21, 22, 8},
        {-1, "Static", "波特率", LABEL, 269, 43, 22, 8},
        {1012, "Edit", "", NUMBER_FIELD, 295, 18, 77, 14},
        {1013, "Edit", "", NUMBER_FIELD, 294, 41, 77, 14},
        {1014, "Button", "清除密码", PUSH_BUTTON, 262, 82, 54, 18},
        {1015, "Button", "显示图像", CHECK_BOX, 261, 294, 43, 10},
        {1016, "Button", "波特率57600", PUSH_BUTTON, 327, 82, 54, 18},
        {1017, "Button", "波特率115200", PUSH_BUTTON, 392, 82, 54, 18},
    };
    return table;
}
