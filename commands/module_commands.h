#pragma once
// One function per module command. Each makes exactly one attempt: one command frame out, one
// reply frame in. Reply limits: CaptureImage 160,000 ms, VerifyPassword 1,000 ms, the rest
// 16,000 ms.
#include <cstdint>

#include "commands/command_status.h"

enum : uint32_t {
    CAPTURE_REPLY_LIMIT_MS = 160000,
    PASSWORD_REPLY_LIMIT_MS = 1000,
    REPLY_LIMIT_MS = 16000,
};

// A match score of at least this counts as a match.
enum { MATCH_SCORE_THRESHOLD = 80 };

// The module's serial speed codes for SetSystemParameter.
enum { BAUD_CODE_57600 = 6, BAUD_CODE_115200 = 12 };

[[nodiscard]] CommandStatus CaptureImage();
[[nodiscard]] CommandStatus ExtractFeatures(FeatureBuffer buffer);
// score may be null; it receives the reply's 16-bit value whenever a reply frame was verified.
[[nodiscard]] CommandStatus MatchFeatures(int* score);
// Searches pages 0..255 for the features in buffer 1; page must not be null.
[[nodiscard]] CommandStatus SearchTemplates(int* page);
[[nodiscard]] CommandStatus MergeFeatures();
[[nodiscard]] CommandStatus StoreTemplate(TemplatePage page);
[[nodiscard]] CommandStatus LoadTemplate(TemplatePage page);
[[nodiscard]] CommandStatus DeleteTemplates(TemplatePage page);
[[nodiscard]] CommandStatus EmptyTemplates();
[[nodiscard]] CommandStatus SetSystemParameter(int value);
[[nodiscard]] CommandStatus SetPassword(const unsigned char* password);
[[nodiscard]] CommandStatus VerifyPassword(const unsigned char* password);
