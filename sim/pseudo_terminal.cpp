#include "sim/pseudo_terminal.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>

namespace sim {

PseudoTerminal::PseudoTerminal() {
    int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0) return;
    if (grantpt(master) != 0 || unlockpt(master) != 0) {
        close(master);
        return;
    }
    const char* name = ptsname(master);
    if (!name) {
        close(master);
        return;
    }
    slavePath_ = name;
    slaveKeeper_ = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slaveKeeper_ >= 0) {
        termios raw{};
        if (tcgetattr(slaveKeeper_, &raw) == 0) {
            cfmakeraw(&raw);
            tcsetattr(slaveKeeper_, TCSANOW, &raw);
        }
    }
    master_ = master;
}

PseudoTerminal::~PseudoTerminal() {
    hangUp();
    if (slaveKeeper_ >= 0) close(slaveKeeper_);
}

void PseudoTerminal::hangUp() {
    if (master_ >= 0) close(master_);
    master_ = -1;
}

bool PseudoTerminal::write(const std::vector<uint8_t>& bytes) {
    return write(bytes.data(), bytes.size());
}

bool PseudoTerminal::write(const uint8_t* bytes, size_t count) {
    size_t done = 0;
    while (done < count) {
        ssize_t n = ::write(master_, bytes + done, count - done);
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

std::vector<uint8_t> PseudoTerminal::read(int timeoutMs) {
    std::vector<uint8_t> bytes;
    pollfd ready{master_, POLLIN, 0};
    if (master_ < 0 || poll(&ready, 1, timeoutMs) != 1 || !(ready.revents & POLLIN)) return bytes;
    uint8_t buffer[4096];
    ssize_t n = ::read(master_, buffer, sizeof buffer);
    if (n > 0) bytes.assign(buffer, buffer + n);
    return bytes;
}

std::vector<uint8_t> PseudoTerminal::readExactly(size_t count, int timeoutMs) {
    using Clock = std::chrono::steady_clock;
    auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    std::vector<uint8_t> bytes;
    while (bytes.size() < count) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) break;
        std::vector<uint8_t> more = read(static_cast<int>(left.count()));
        bytes.insert(bytes.end(), more.begin(), more.end());
    }
    return bytes;
}

}  // namespace sim
