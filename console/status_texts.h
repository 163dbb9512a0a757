#pragma once
// The status line's texts, held as code page 936 bytes; each line's comment shows the characters.

constexpr char TEXT_OPEN_FAILED[] =
    "\xB4\xF2\xBF\xAA\xB4\xAE\xBF\xDA\xCA\xA7\xB0\xDC";  // 打开串口失败
constexpr char TEXT_OPEN_SUCCEEDED[] =
    "\xB4\xF2\xBF\xAA\xB4\xAE\xBF\xDA\xB3\xC9\xB9\xA6";  // 打开串口成功
// 连接设备成功0, 连接设备成功1, 连接设备成功2: the digit is the accepted candidate's place.
constexpr char TEXT_CONNECTED[3][14] = {
    "\xC1\xAC\xBD\xD3\xC9\xE8\xB1\xB8\xB3\xC9\xB9\xA6"
    "0",
    "\xC1\xAC\xBD\xD3\xC9\xE8\xB1\xB8\xB3\xC9\xB9\xA6"
    "1",
    "\xC1\xAC\xBD\xD3\xC9\xE8\xB1\xB8\xB3\xC9\xB9\xA6"
    "2",
};
constexpr char TEXT_PASSWORD_REFUSED[] =
    "\xD0\xA3\xD1\xE9\xC3\xDC\xC2\xEB\xCA\xA7\xB0\xDC";                       // 校验密码失败
constexpr char TEXT_DELETE_SUCCEEDED[] = "\xC9\xBE\xB3\xFD\xB3\xC9\xB9\xA6";  // 删除成功
constexpr char TEXT_DELETE_FAILED[] = "\xC9\xBE\xB3\xFD\xCA\xA7\xB0\xDC";     // 删除失败
constexpr char TEXT_ERASE_SUCCEEDED[] = "\xC7\xE5\xB3\xFD\xB3\xC9\xB9\xA6";   // 清除成功
constexpr char TEXT_ERASE_FAILED[] = "\xC7\xE5\xB3\xFD\xCA\xA7\xB0\xDC";      // 清除失败
constexpr char TEXT_CLEAR_PASSWORD_SUCCEEDED[] =
    "\xC7\xE5\xBF\xD5\xC3\xDC\xC2\xEB\xB3\xC9\xB9\xA6";  // 清空密码成功
constexpr char TEXT_CLEAR_PASSWORD_FAILED[] =
    "\xC7\xE5\xBF\xD5\xC3\xDC\xC2\xEB\xCA\xA7\xB0\xDC";  // 清空密码失败
constexpr char TEXT_SET_BAUD_SUCCEEDED[] =
    "\xC9\xE8\xD6\xC3\xB2\xA8\xCC\xD8\xC2\xCA\xB3\xC9\xB9\xA6";  // 设置波特率成功
constexpr char TEXT_SET_BAUD_FAILED[] =
    "\xC9\xE8\xD6\xC3\xB2\xA8\xCC\xD8\xC2\xCA\xCA\xA7\xB0\xDC";  // 设置波特率失败
