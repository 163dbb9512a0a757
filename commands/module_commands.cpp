#include "commands/module_commands.h"

#include <initializer_list>

#include "commands/command_transaction.h"
#include "commands/link_lock.h"

namespace {

// One transaction with the link to itself. A command waits for the link at most as long as its
// own reply limit; if the link is still taken then, nothing is sent.
CommandStatus RunHeld(const unsigned char* contents, int length, uint32_t limit, int* value) {
    if (!AcquireLink(limit))
        return SendFailed;
    CommandStatus status = RunCommand(contents, length, limit, value);
    ReleaseLink();
    return status;
}

CommandStatus Run(std::initializer_list<unsigned char> contents, uint32_t limit = REPLY_LIMIT_MS,
                  int* value = nullptr) {
    return RunHeld(contents.begin(), static_cast<int>(contents.size()), limit, value);
}

unsigned char Low(int value) {
    return static_cast<unsigned char>(value & 0xFF);
}

// Commands that name a page of the library: a negative page is refused before anything is sent.
CommandStatus RunWithPage(unsigned char code, unsigned char buffer, int page, bool countAfter) {
    if (page < 0)
        return BadArgument;
    unsigned char contents[5] = {code, buffer, 0, 0, 0};
    if (countAfter) {
        // Delete: code, page, then a page count of 1.
        PutPage(contents + 1, page);
        contents[3] = 0x00;
        contents[4] = 0x01;
        return RunHeld(contents, 5, REPLY_LIMIT_MS, nullptr);
    }
    PutPage(contents + 2, page);
    return RunHeld(contents, 4, REPLY_LIMIT_MS, nullptr);
}

CommandStatus RunWithPassword(unsigned char code, const unsigned char* password, uint32_t limit) {
    if (!password)
        return BadArgument;
    return Run({code, password[0], password[1], password[2], password[3]}, limit);
}

}  // namespace

CommandStatus CaptureImage() {
    return Run({0x01}, CAPTURE_REPLY_LIMIT_MS);
}

CommandStatus ExtractFeatures(FeatureBuffer buffer) {
    return Run({0x02, Low(buffer)});
}

CommandStatus MatchFeatures(int* score) {
    return Run({0x03}, REPLY_LIMIT_MS, score);
}

CommandStatus SearchTemplates(int* page) {
    if (!page)
        return BadArgument;
    // Buffer 1, from page 0, 256 pages.
    return Run({0x04, 0x01, 0x00, 0x00, 0x01, 0x00}, REPLY_LIMIT_MS, page);
}

CommandStatus MergeFeatures() {
    return Run({0x05});
}

CommandStatus StoreTemplate(TemplatePage page) {
    return RunWithPage(0x06, 0x01, page, false);
}

CommandStatus LoadTemplate(TemplatePage page) {
    return RunWithPage(0x07, 0x02, page, false);
}

CommandStatus DeleteTemplates(TemplatePage page) {
    return RunWithPage(0x0C, 0, page, true);
}

CommandStatus EmptyTemplates() {
    return Run({0x0D});
}

CommandStatus SetSystemParameter(int value) {
    return Run({0x0E, 0x04, Low(value)});
}

CommandStatus SetPassword(const unsigned char* password) {
    return RunWithPassword(0x12, password, REPLY_LIMIT_MS);
}

CommandStatus VerifyPassword(const unsigned char* password) {
    return RunWithPassword(0x13, password, PASSWORD_REPLY_LIMIT_MS);
}
