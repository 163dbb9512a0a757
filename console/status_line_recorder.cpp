// The native tree has no dialog: the status line is a recorder that tests read.
#include <mutex>
#include <string>

#include "console/status_line.h"
#include "console/status_line_recorder.h"

namespace {
std::mutex recordLock;
std::string lastText;
int textsShown = 0;
}  // namespace

void ShowStatus(const char* cp936Text) {
    std::lock_guard<std::mutex> hold(recordLock);
    lastText = cp936Text;
    ++textsShown;
}

std::string LastStatusText() {
    std::lock_guard<std::mutex> hold(recordLock);
    return lastText;
}

int StatusTextsShown() {
    std::lock_guard<std::mutex> hold(recordLock);
    return textsShown;
}
