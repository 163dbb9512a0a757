// The status texts are held as code page 936 bytes; each must be exactly the characters the
// operator is meant to read.
#include <iconv.h>

#include <gtest/gtest.h>

#include <string>

#include "console/status_texts.h"

namespace {

std::string FromCodePage936(const char* text) {
    iconv_t converter = iconv_open("UTF-8", "CP936");
    if (converter == reinterpret_cast<iconv_t>(-1))
        return "(no converter)";
    std::string in(text);
    char out[256] = {};
    char* inAt = &in[0];
    size_t inLeft = in.size();
    char* outAt = out;
    size_t outLeft = sizeof out - 1;
    size_t result = iconv(converter, &inAt, &inLeft, &outAt, &outLeft);
    iconv_close(converter);
    if (result == static_cast<size_t>(-1) || inLeft != 0)
        return "(not code page 936)";
    return out;
}

}  // namespace

TEST(StatusTexts, EachTextReadsAsItsChineseCharacters) {
    struct Row {
        const char* cp936;
        const char* utf8;
    };
    const Row rows[] = {
        {TEXT_OPEN_FAILED, "打开串口失败"},
        {TEXT_OPEN_SUCCEEDED, "打开串口成功"},
        {TEXT_CONNECTED[0], "连接设备成功0"},
        {TEXT_CONNECTED[1], "连接设备成功1"},
        {TEXT_CONNECTED[2], "连接设备成功2"},
        {TEXT_PASSWORD_REFUSED, "校验密码失败"},
        {TEXT_DELETE_SUCCEEDED, "删除成功"},
        {TEXT_DELETE_FAILED, "删除失败"},
        {TEXT_ERASE_SUCCEEDED, "清除成功"},
        {TEXT_ERASE_FAILED, "清除失败"},
        {TEXT_CLEAR_PASSWORD_SUCCEEDED, "清空密码成功"},
        {TEXT_CLEAR_PASSWORD_FAILED, "清空密码失败"},
        {TEXT_SET_BAUD_SUCCEEDED, "设置波特率成功"},
        {TEXT_SET_BAUD_FAILED, "设置波特率失败"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(FromCodePage936(row.cp936), row.utf8);
}
