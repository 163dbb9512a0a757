#pragma once
// The status texts of the operations, held as code page 936 bytes; each comment shows the
// characters.

constexpr char TEXT_PLACE_FINGER[] = "\xC7\xEB\xB0\xB4\xCA\xD6\xD6\xB8...";  // 请按手指...
constexpr char TEXT_LIFT_FINGER[] = "\xC7\xEB\xCC\xA7\xC6\xF0\xCA\xD6\xD6\xB8...";  // 请抬起手指...
constexpr char TEXT_HOST_ENROLL_SUCCEEDED[] =
    "\xB5\xC7\xBC\xC7\xCC\xD8\xD5\xF7\xB5\xE3\xB3\xC9\xB9\xA6";  // 登记特征点成功
constexpr char TEXT_HOST_ENROLL_FAILED[] =
    "\xB5\xC7\xBC\xC7\xCC\xD8\xD5\xF7\xB5\xE3\xCA\xA7\xB0\xDC";  // 登记特征点失败
constexpr char TEXT_HOST_CAPTURE_SUCCEEDED[] =
    "\xB2\xC9\xBC\xAF\xCC\xD8\xD5\xF7\xB5\xE3\xB3\xC9\xB9\xA6";  // 采集特征点成功
constexpr char TEXT_HOST_CAPTURE_FAILED[] =
    "\xB2\xC9\xBC\xAF\xCC\xD8\xD5\xF7\xB5\xE3\xCA\xA7\xB0\xDC";  // 采集特征点失败
constexpr char TEXT_MODULE_ENROLL_SUCCEEDED[] = "\xB5\xC7\xBC\xC7ID\xB3\xC9\xB9\xA6";  // 登记ID成功
constexpr char TEXT_MODULE_ENROLL_FAILED[] = "\xB5\xC7\xBC\xC7ID\xCA\xA7\xB0\xDC";  // 登记ID失败
constexpr char TEXT_VERIFY_SUCCEEDED[] = "\xD1\xE9\xD6\xA4ID\xB3\xC9\xB9\xA6";  // 验证ID成功
constexpr char TEXT_VERIFY_FAILED[] = "\xD1\xE9\xD6\xA4ID\xCA\xA7\xB0\xDC";     // 验证ID失败
// Followed directly by the page found, in decimal.
constexpr char TEXT_IDENTIFY_SUCCEEDED_PREFIX[] = "\xCA\xB6\xB1\xF0\xB3\xC9\xB9\xA6:";  // 识别成功:
constexpr char TEXT_IDENTIFY_FAILED[] = "\xCA\xB6\xB1\xF0\xCA\xA7\xB0\xDC";  // 识别失败
constexpr char TEXT_FINGER_TIMEOUT[] =
    "\xB5\xC8\xB4\xFD\xB3\xAC\xCA\xB1,\xC7\xEB\xD6\xD8\xC0\xB4";  // 等待超时,请重来
constexpr char TEXT_COMPARE_SUCCEEDED[] = "\xB1\xC8\xB6\xD4\xB3\xC9\xB9\xA6";   // 比对成功
constexpr char TEXT_COMPARE_FAILED[] = "\xB1\xC8\xB6\xD4\xCA\xA7\xB0\xDC";      // 比对失败
constexpr char TEXT_VERIFY_LOAD_FAILED[] = "\xD1\xE9\xD6\xA4\xCA\xA7\xB0\xDC";  // 验证失败
