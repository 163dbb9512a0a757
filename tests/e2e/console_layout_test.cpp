// The dialog's layout, read back from the program file's template and from the running dialog.
#include <cctype>
#include <cstdio>

#include "tests/e2e/console_rig.h"
#include "tests/e2e/dialog_table.h"

namespace {

// The tab-separated fields of an answer; an empty last field counts.
std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    size_t at = 0;
    for (size_t tab; (tab = line.find('\t', at)) != std::string::npos; at = tab + 1)
        fields.push_back(line.substr(at, tab - at));
    fields.push_back(line.substr(at));
    return fields;
}

// Class names are compared without regard to case, as the window manager does.
std::string Upper(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::string Hex(unsigned long value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", value);
    return text;
}

}  // namespace

using ConsoleLayout = ConsoleRig;

TEST_F(ConsoleLayout, TheTemplateIsAChineseExtendedDialogWithTheTableControlsInOrder) {
    std::string file = WindowsPath(ConsolePath());
    // language, style, ex-style, help id, x, y, cx, cy, menu, class, caption, points, weight,
    // italic, character set, font
    EXPECT_EQ(
        Fields(Ok("template " + file)),
        (std::vector<std::string>{"2052", "0x80C808C8", "0x00000000", "0", "0", "0", "457", "314",
                                  "", "", "Quorvel", "9", "0", "0", "1", "MS Shell Dlg"}));
    const std::vector<ExpectedControl>& table = DialogTable();
    for (size_t i = 0; i < table.size(); ++i) {
        const ExpectedControl& want = table[i];
        // id, class, style, ex-style, x, y, cx, cy, caption
        std::vector<std::string> item =
            Fields(Ok("template-item " + file + " " + std::to_string(i)));
        ASSERT_EQ(item.size(), 9u) << "item " << i;
        // A resource compiler may store a standard class by name or by its ordinal.
        std::string windowClass = Upper(item[1]);
        if (windowClass == "#128")
            windowClass = "BUTTON";
        if (windowClass == "#129")
            windowClass = "EDIT";
        if (windowClass == "#130")
            windowClass = "STATIC";
        EXPECT_EQ(item[0], std::to_string(want.id)) << "item " << i;
        EXPECT_EQ(windowClass, Upper(want.windowClass)) << "item " << i;
        EXPECT_EQ(item[2], Hex(want.style)) << "item " << i;
        EXPECT_EQ(item[3], "0x00000000") << "item " << i;
        EXPECT_EQ(item[4], std::to_string(want.x)) << "item " << i;
        EXPECT_EQ(item[5], std::to_string(want.y)) << "item " << i;
        EXPECT_EQ(item[6], std::to_string(want.width)) << "item " << i;
        EXPECT_EQ(item[7], std::to_string(want.height)) << "item " << i;
        EXPECT_EQ(item[8], want.caption) << "item " << i;
    }
    EXPECT_EQ(Drive("template-item " + file + " 23").rfind("error", 0), 0u) << "only 23 items";
}

TEST_F(ConsoleLayout, TheProgramCarriesTwoIconGroupsAndAnAsInvokerManifest) {
    std::string file = WindowsPath(ConsolePath());
    EXPECT_EQ(Ok("icons " + file), "107 108");
    std::string manifest = Ok("manifest " + file);
    EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos) << manifest;
    EXPECT_NE(manifest.find("uiAccess=\"false\""), std::string::npos) << manifest;
}

// Captions are compared by the Chinese session; under another code page the ANSI dialog shows the
// template's Chinese captions only as the ANSI code page can.
TEST_F(ConsoleLayout, TheRunningDialogShowsTheTableControlsInTabOrderAtTheirPlaces) {
    StartConsole();
    const std::vector<ExpectedControl>& table = DialogTable();
    ASSERT_EQ(Ok("controls"), std::to_string(table.size()));
    for (size_t i = 0; i < table.size(); ++i) {
        const ExpectedControl& want = table[i];
        // id, class, style, ex-style, x, y, cx, cy, caption
        std::vector<std::string> shown = Fields(Ok("control " + std::to_string(i)));
        ASSERT_EQ(shown.size(), 9u) << "control " << i;
        // The dialog manager makes every control WS_EX_NOPARENTNOTIFY, and draws an edit
        // control's border as a sunken client edge instead.
        unsigned long style = want.style, exStyle = 0x00000004;
        if (want.style == NUMBER_FIELD) {
            style &= ~0x00800000ul;  // WS_BORDER
            exStyle |= 0x00000200;   // WS_EX_CLIENTEDGE
        }
        EXPECT_EQ(shown[0], std::to_string(want.id)) << "control " << i;
        EXPECT_EQ(Upper(shown[1]), Upper(want.windowClass)) << "control " << i;
        EXPECT_EQ(shown[2], Hex(style)) << "control " << i;
        EXPECT_EQ(shown[3], Hex(exStyle)) << "control " << i;
        EXPECT_EQ(shown[4], std::to_string(want.x)) << "control " << i;
        EXPECT_EQ(shown[5], std::to_string(want.y)) << "control " << i;
        EXPECT_EQ(shown[6], std::to_string(want.width)) << "control " << i;
        EXPECT_EQ(shown[7], std::to_string(want.height)) << "control " << i;
    }
}
