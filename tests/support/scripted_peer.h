#pragma once
// A byte-level stand-in for the module: it reads each frame the host sends and answers the n-th
// one with the n-th scripted reply (raw bytes, possibly several frames; empty means silence).
// Frames past the script get no answer. Every frame received is kept for the test to inspect.
#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "sim/pseudo_terminal.h"

using Bytes = std::vector<unsigned char>;

class ScriptedPeer {
  public:
    ScriptedPeer(sim::PseudoTerminal& line, std::vector<Bytes> replies)
        : line_(line), replies_(std::move(replies)), thread_([this] { Serve(); }) {}
    ~ScriptedPeer() {
        stop_ = true;
        thread_.join();
    }

    // The frames received so far, waiting up to timeoutMs for at least count of them.
    std::vector<Bytes> Frames(size_t count = 0, int timeoutMs = 3000) {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        for (;;) {
            {
                std::lock_guard<std::mutex> hold(lock_);
                if (frames_.size() >= count || std::chrono::steady_clock::now() > deadline) {
                    return frames_;
                }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }

  private:
    void Serve() {
        Bytes pending;
        while (!stop_) {
            Bytes more = line_.read(20);
            pending.insert(pending.end(), more.begin(), more.end());
            while (TakeFrame(pending)) {
            }
        }
    }

    bool TakeFrame(Bytes& pending) {
        size_t at = 0;
        while (at + 1 < pending.size() && !(pending[at] == 0xEF && pending[at + 1] == 0x01))
            ++at;
        pending.erase(pending.begin(), pending.begin() + static_cast<long>(at));
        if (pending.size() < 9)
            return false;
        size_t total = pending[7] * 256u + pending[8] + 9;
        if (pending.size() < total)
            return false;
        Bytes frame(pending.begin(), pending.begin() + static_cast<long>(total));
        pending.erase(pending.begin(), pending.begin() + static_cast<long>(total));
        size_t index;
        {
            std::lock_guard<std::mutex> hold(lock_);
            frames_.push_back(frame);
            index = frames_.size() - 1;
        }
        if (index < replies_.size() && !replies_[index].empty())
            line_.write(replies_[index]);
        return true;
    }

    sim::PseudoTerminal& line_;
    std::vector<Bytes> replies_;
    std::mutex lock_;
    std::vector<Bytes> frames_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};
