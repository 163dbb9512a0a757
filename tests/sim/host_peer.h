#pragma once
// The host's end of the line in the simulator's tests: opens the served device raw, writes frames
// built with the link's BuildFrame, and reads the module's frames by hunting for EF 01 the way the
// host does. Written apart from the product's command functions on purpose.
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "link/frame_codec.h"

namespace host_peer {

using Bytes = std::vector<uint8_t>;
using Clock = std::chrono::steady_clock;

// The frame of a body with this packet id and these contents, built by the link's codec.
inline Bytes Frame(uint8_t packetId, const Bytes& contents) {
    Bytes body(contents.size() + 3);
    body[0] = packetId;
    body[1] = static_cast<uint8_t>((contents.size() + 2) >> 8);
    body[2] = static_cast<uint8_t>((contents.size() + 2) & 0xFF);
    for (size_t i = 0; i < contents.size(); ++i)
        body[3 + i] = contents[i];
    unsigned char frame[MAX_FRAME_LENGTH];
    int length = 0;
    if (!BuildFrame(body.data(), static_cast<int>(body.size()) + 2, frame, &length))
        return {};
    return Bytes(frame, frame + length);
}

// A frame as the host sees it.
struct Reply {
    bool verified = false;
    uint8_t packetId = 0;
    Bytes contents;
    Bytes frame;  // exact bytes, empty when nothing came
};

inline Reply ReplyOf(const Bytes& frame) {
    Reply reply;
    reply.frame = frame;
    unsigned char body[MAX_FRAME_LENGTH];
    int bodyLength = 0;
    if (frame.size() < 10 ||
        !ParseFrame(frame.data(), static_cast<int>(frame.size()), body, &bodyLength)) {
        return reply;
    }
    reply.verified = true;
    reply.packetId = body[0];
    reply.contents.assign(body + 3, body + bodyLength);
    return reply;
}

class HostPeer {
  public:
    explicit HostPeer(const std::string& path) {
        fd_ = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd_ < 0)
            return;
        termios raw{};
        tcgetattr(fd_, &raw);
        cfmakeraw(&raw);
        raw.c_cflag |= CSTOPB | CLOCAL | CREAD;
        tcsetattr(fd_, TCSANOW, &raw);
        tcflush(fd_, TCIOFLUSH);
    }
    ~HostPeer() {
        if (fd_ >= 0)
            close(fd_);
    }
    HostPeer(const HostPeer&) = delete;
    HostPeer& operator=(const HostPeer&) = delete;

    bool ok() const { return fd_ >= 0; }

    bool write(const Bytes& bytes) {
        size_t done = 0;
        while (done < bytes.size()) {
            pollfd ready{fd_, POLLOUT, 0};
            if (poll(&ready, 1, 1000) != 1)
                return false;
            ssize_t count = ::write(fd_, bytes.data() + done, bytes.size() - done);
            if (count > 0)
                done += static_cast<size_t>(count);
        }
        return true;
    }
    bool sendCommand(const Bytes& contents) { return write(Frame(PacketId::Command, contents)); }
    bool sendData(uint8_t packetId, const Bytes& data) { return write(Frame(packetId, data)); }

    // Reads the next frame, hunting for EF 01 and cutting at Length + 9; nothing on timeout.
    Reply readFrame(int timeoutMs = 3000) {
        auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
        for (;;) {
            size_t start = 0;
            while (start + 1 < pending_.size() &&
                   !(pending_[start] == 0xEF && pending_[start + 1] == 0x01)) {
                ++start;
            }
            skipped_ += start;
            pending_.erase(pending_.begin(), pending_.begin() + static_cast<long>(start));
            if (pending_.size() >= 9) {
                size_t size = pending_[7] * 256u + pending_[8] + 9;
                if (pending_.size() >= size) {
                    Bytes frame(pending_.begin(), pending_.begin() + static_cast<long>(size));
                    pending_.erase(pending_.begin(), pending_.begin() + static_cast<long>(size));
                    return ReplyOf(frame);
                }
            }
            if (!fill(deadline))
                return {};
        }
    }

    // Sends a command and reads its first reply frame.
    Reply command(const Bytes& contents, int timeoutMs = 3000) {
        if (!sendCommand(contents))
            return {};
        return readFrame(timeoutMs);
    }

    // Every byte that arrives until the line has been quiet for quietMs.
    Bytes readUntilQuiet(int quietMs) {
        Bytes bytes;
        bytes.swap(pending_);
        for (;;) {
            size_t before = bytes.size();
            pending_.clear();
            fill(Clock::now() + std::chrono::milliseconds(quietMs));
            bytes.insert(bytes.end(), pending_.begin(), pending_.end());
            pending_.clear();
            if (bytes.size() == before)
                return bytes;
        }
    }

    // What arrives until the line has been quiet for quietMs, read by read, each with the time in
    // milliseconds since the call at which it came.
    std::vector<std::pair<long, Bytes>> readTimed(int quietMs) {
        std::vector<std::pair<long, Bytes>> reads;
        Clock::time_point start = Clock::now();
        pending_.clear();
        while (fill(Clock::now() + std::chrono::milliseconds(quietMs))) {
            auto at = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
            reads.emplace_back(static_cast<long>(at.count()), pending_);
            pending_.clear();
        }
        return reads;
    }

    // Bytes skipped before Headers so far.
    size_t skipped() const { return skipped_; }

  private:
    // Reads what arrives before the deadline into pending_; false when nothing came.
    bool fill(Clock::time_point deadline) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() < 0)
            return false;
        pollfd ready{fd_, POLLIN, 0};
        if (poll(&ready, 1, static_cast<int>(left.count())) != 1)
            return false;
        uint8_t buffer[4096];
        ssize_t count = ::read(fd_, buffer, sizeof buffer);
        if (count <= 0)
            return false;
        pending_.insert(pending_.end(), buffer, buffer + count);
        return true;
    }

    int fd_ = -1;
    Bytes pending_;
    size_t skipped_ = 0;
};

}  // namespace host_peer
