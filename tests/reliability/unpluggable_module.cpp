#include "tests/reliability/unpluggable_module.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

#include "link/frame_codec.h"
#include "sim/frame_bytes.h"
#include "sim/frame_hunter.h"

UnpluggableModule::UnpluggableModule() {
    if (!line_.ok())
        return;
    // The writer must never block on a full line, or it could not stop.
    int master = line_.masterFd();
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
    hostEnd_ = open(line_.slavePath().c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    model_.sensor().place(1);
    thread_ = std::thread([this] { Serve(); });
}

UnpluggableModule::~UnpluggableModule() {
    stop_ = true;
    if (thread_.joinable())
        thread_.join();
    if (hostEnd_ >= 0)
        close(hostEnd_);
}

void UnpluggableModule::UnplugAt(uint8_t commandCode, size_t bytesOfAnswer) {
    unplugBytes_ = bytesOfAnswer;
    unplugCode_ = commandCode;
}

bool UnpluggableModule::WaitUnplugged(int timeoutMs) const {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!unplugged_) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

bool UnpluggableModule::Send(const sim::Bytes& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        if (stop_)
            return false;
        pollfd ready{line_.masterFd(), POLLOUT, 0};
        if (poll(&ready, 1, 20) != 1)
            continue;
        ssize_t written = write(line_.masterFd(), bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        if (written > 0)
            done += static_cast<size_t>(written);
    }
    return true;
}

void UnpluggableModule::WaitUntilHostHasRead() {
    int emptyChecks = 0;
    for (int round = 0; round < 200 && emptyChecks < 3 && !stop_; ++round) {
        int waiting = 0;
        if (hostEnd_ < 0 || ioctl(hostEnd_, FIONREAD, &waiting) != 0)
            return;
        emptyChecks = waiting == 0 ? emptyChecks + 1 : 0;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

void UnpluggableModule::Serve() {
    sim::FrameHunter hunter;
    sim::Bytes frame;
    while (!stop_) {
        sim::Bytes arrived = line_.read(20);
        hunter.feed(arrived.data(), arrived.size());
        while (hunter.next(&frame)) {
            sim::Bytes body(frame.begin() + 6, frame.end() - 2);
            sim::Bytes answer;
            for (const sim::Bytes& reply : model_.handle(body)) {
                sim::Bytes bytes = sim::FrameOfBody(reply);
                answer.insert(answer.end(), bytes.begin(), bytes.end());
            }
            sim::Bytes contents = sim::ContentsOf(body);
            bool unplugHere = sim::PacketIdOf(body) == PacketId::Command && !contents.empty() &&
                              contents[0] == unplugCode_;
            if (!unplugHere) {
                Send(answer);
                continue;
            }
            answer.resize(std::min(answer.size(), unplugBytes_.load()));
            Send(answer);
            WaitUntilHostHasRead();
            line_.hangUp();
            unplugged_ = true;
            return;
        }
    }
}
