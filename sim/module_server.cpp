#include "sim/module_server.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>

#include "link/frame_codec.h"
#include "sim/confirmation_codes.h"
#include "sim/frame_hunter.h"
#include "sim/serial_device.h"

namespace sim {

ModuleServer::ModuleServer(const ServerOptions& options) : pacer_(options.paceBaud) {
    if (options.device.empty()) {
        pty_ = std::make_unique<PseudoTerminal>();
        if (!pty_->ok()) {
            error_ = "cannot create a pseudo-terminal";
            return;
        }
        fd_ = pty_->masterFd();
        devicePath_ = pty_->slavePath();
        // The writer must never block on a full line, or it could not stop.
        fcntl(fd_, F_SETFL, fcntl(fd_, F_GETFL) | O_NONBLOCK);
    } else {
        fd_ = OpenSerialDevice(options.device, options.baud, &error_);
        if (fd_ < 0)
            return;
        ownsFd_ = true;
        devicePath_ = options.device;
    }
    if (!options.recordPath.empty() && !record_.appendTo(options.recordPath)) {
        error_ = "cannot append to " + options.recordPath;
        return;
    }
    reader_ = std::thread(&ModuleServer::readLoop, this);
    worker_ = std::thread(&ModuleServer::workLoop, this);
}

ModuleServer::~ModuleServer() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    if (reader_.joinable())
        reader_.join();
    if (worker_.joinable())
        worker_.join();
    if (ownsFd_ && fd_ >= 0)
        close(fd_);
}

void ModuleServer::readLoop() {
    FrameHunter hunter;
    uint8_t buffer[4096];
    Bytes frame;
    while (!stop_) {
        pollfd ready{fd_, POLLIN, 0};
        if (poll(&ready, 1, 20) != 1)
            continue;
        if (!(ready.revents & POLLIN)) {
            // A device that went away: wait instead of spinning on its error.
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            continue;
        }
        ssize_t count = read(fd_, buffer, sizeof buffer);
        if (count <= 0)
            continue;
        hunter.feed(buffer, static_cast<size_t>(count));
        while (hunter.next(&frame)) {
            std::lock_guard<std::mutex> lock(mutex_);
            record_.add(frame);
            queue_.push_back(frame);
            changed_.notify_all();
        }
    }
}

std::vector<OutputPiece> ModuleServer::answer(const Bytes& frame) {
    // The body is the frame less the Header, the Address and the Checksum.
    Bytes body(frame.begin() + 6, frame.end() - 2);
    Bytes contents = ContentsOf(body);
    if (silent_) {
        model_.refuse(body, kUnknownCommand);
        return {};
    }
    std::vector<Fault> faults;
    if (PacketIdOf(body) == PacketId::Command)
        faults = faults_.take(contents.empty() ? 0 : contents[0]);
    for (const Fault& fault : faults) {
        if (fault.kind == FaultKind::Code) {
            std::vector<Bytes> refusal = model_.refuse(body, static_cast<uint8_t>(ValueOf(fault)));
            return ShapeReply(refusal, faults);
        }
    }
    return ShapeReply(model_.handle(body), faults);
}

void ModuleServer::workLoop() {
    for (;;) {
        std::vector<OutputPiece> pieces;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            changed_.wait(lock, [this] { return stop_ || !queue_.empty(); });
            if (stop_)
                return;
            pieces = answer(queue_.front());
            queue_.pop_front();
        }
        bool replied = !pieces.empty();
        for (const OutputPiece& piece : pieces) {
            if (!pause(piece.pauseMs) || !send(piece.bytes)) {
                replied = false;
                break;
            }
        }
        std::lock_guard<std::mutex> lock(mutex_);
        if (replied)
            lastReplySent_ = lastWriteStart_;
        ++handled_;
        changed_.notify_all();
    }
}

bool ModuleServer::pause(uint32_t milliseconds) {
    if (milliseconds == 0)
        return !stop_;
    std::unique_lock<std::mutex> lock(mutex_);
    return !changed_.wait_for(lock, std::chrono::milliseconds(milliseconds),
                              [this] { return stop_.load(); });
}

bool ModuleServer::send(const Bytes& bytes) {
    pacer_.startRun(LinePacer::Clock::now());
    size_t done = 0;
    while (done < bytes.size()) {
        if (stop_)
            return false;
        uint64_t due = pacer_.bytesDue(LinePacer::Clock::now()) - pacer_.sentInRun();
        if (due == 0) {
            std::this_thread::sleep_until(pacer_.dueTime(pacer_.sentInRun() + 1));
            continue;
        }
        pollfd ready{fd_, POLLOUT, 0};
        if (poll(&ready, 1, 50) != 1 || !(ready.revents & POLLOUT))
            continue;
        size_t count = static_cast<size_t>(std::min<uint64_t>(due, bytes.size() - done));
        LinePacer::Clock::time_point writing = LinePacer::Clock::now();
        ssize_t written = write(fd_, bytes.data() + done, count);
        if (written < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        if (written <= 0)
            continue;
        done += static_cast<size_t>(written);
        pacer_.sent(static_cast<uint64_t>(written));
        lastWriteStart_ = writing;
    }
    return true;
}

void ModuleServer::placeFinger(uint32_t finger) {
    std::lock_guard<std::mutex> lock(mutex_);
    model_.sensor().place(finger);
}

void ModuleServer::liftFinger() {
    std::lock_guard<std::mutex> lock(mutex_);
    model_.sensor().lift();
}

void ModuleServer::setAutoFinger(uint32_t finger) {
    std::lock_guard<std::mutex> lock(mutex_);
    model_.sensor().setAuto(finger);
}

void ModuleServer::setFingerScript(const std::vector<FingerRange>& ranges) {
    std::lock_guard<std::mutex> lock(mutex_);
    model_.sensor().setScript(ranges);
}

bool ModuleServer::setFingerPolicy(const std::string& policy) {
    std::lock_guard<std::mutex> lock(mutex_);
    return ApplyFingerPolicy(policy, &model_.sensor());
}

void ModuleServer::forceScore(std::optional<int> score) {
    std::lock_guard<std::mutex> lock(mutex_);
    model_.setForcedScore(score);
}

void ModuleServer::setPassword(const Password& password) {
    std::lock_guard<std::mutex> lock(mutex_);
    model_.setPassword(password);
}

void ModuleServer::setSilent(bool silent) {
    std::lock_guard<std::mutex> lock(mutex_);
    silent_ = silent;
}

bool ModuleServer::setChunkSize(size_t bytes) {
    std::lock_guard<std::mutex> lock(mutex_);
    return model_.setChunkSize(bytes);
}

void ModuleServer::armFault(const Fault& fault) {
    std::lock_guard<std::mutex> lock(mutex_);
    faults_.arm(fault);
}

void ModuleServer::clearFaults() {
    std::lock_guard<std::mutex> lock(mutex_);
    faults_.clear();
}

uint32_t ModuleServer::captures() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return model_.captureCommands();
}

std::vector<Bytes> ModuleServer::receivedFrames() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return record_.frames();
}

std::vector<int> ModuleServer::receivedCommands() const {
    std::vector<int> codes;
    for (const Bytes& frame : receivedFrames()) {
        if (frame.size() > 9 && frame[6] == 0x01)
            codes.push_back(frame[9]);
    }
    return codes;
}

void ModuleServer::clearReceivedFrames() {
    std::lock_guard<std::mutex> lock(mutex_);
    record_.clear();
}

Bytes ModuleServer::featureBuffer(int n) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return model_.featureBuffer(n);
}

void ModuleServer::setFeatureBuffer(int n, const Bytes& bytes) {
    std::lock_guard<std::mutex> lock(mutex_);
    model_.setFeatureBuffer(n, bytes);
}

Bytes ModuleServer::libraryPage(size_t page) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return model_.libraryPage(page);
}

void ModuleServer::storePage(size_t page, const Bytes& bytes) {
    std::lock_guard<std::mutex> lock(mutex_);
    model_.storePage(page, bytes);
}

int ModuleServer::baudCode() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return model_.baudCode();
}

Password ModuleServer::password() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return model_.password();
}

LinePacer::Clock::time_point ModuleServer::lastReplySent() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return lastReplySent_;
}

bool ModuleServer::waitForHandledFrames(size_t count, int timeoutMs) const {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                             [&] { return handled_ >= count; });
}

}  // namespace sim
