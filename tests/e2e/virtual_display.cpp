#include "tests/e2e/virtual_display.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cstdlib>

VirtualDisplay::VirtualDisplay() {
    const char* display = std::getenv("DISPLAY");
    if (display != nullptr && *display != '\0') {
        name_ = display;
        return;
    }
    // Xvfb picks a free display number itself and writes it to the descriptor we give it.
    int numberPipe[2];
    if (pipe2(numberPipe, O_CLOEXEC) != 0)
        return;
    ChildProcess::Options options;
    options.arguments = {"/usr/bin/Xvfb",
                         "-displayfd",
                         std::to_string(numberPipe[1]),
                         "-nolisten",
                         "tcp",
                         "-screen",
                         "0",
                         "1600x1200x24"};
    options.outputFile = "/dev/null";
    options.keepDescriptors = {numberPipe[1]};
    server_ = std::make_unique<ChildProcess>(options);
    close(numberPipe[1]);
    std::string number;
    pollfd ready = {numberPipe[0], POLLIN, 0};
    while (server_->started() && poll(&ready, 1, 10000) > 0) {
        char c;
        if (read(numberPipe[0], &c, 1) != 1 || c == '\n')
            break;
        number += c;
    }
    close(numberPipe[0]);
    if (!number.empty())
        name_ = ":" + number;
}
