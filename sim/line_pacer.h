#pragma once
// Keeps the bytes that the module sends to a line rate: each byte takes 11 bit times (a start bit,
// 8 data bits and 2 stop bits). The schedule is kept against a steady clock from the start of a
// run of bytes sent back to back, so that lateness in one wait does not add up over a transfer:
// byte k of a run is due at the run's start plus k + 1 byte times.
#include <chrono>
#include <cstdint>

namespace sim {

class LinePacer {
  public:
    using Clock = std::chrono::steady_clock;

    // baud 0 means no pacing: every byte is due at once.
    explicit LinePacer(int baud = 0) : baud_(baud) {}
    bool pacing() const { return baud_ > 0; }
    int baud() const { return baud_; }

    // Starts a run at `now`, or where the previous run's last byte ends if that is later.
    void startRun(Clock::time_point now);
    // The bytes of the current run that the line could have carried by `now`.
    uint64_t bytesDue(Clock::time_point now) const;
    // When byte `count` of the run (counted from 1) is due.
    Clock::time_point dueTime(uint64_t count) const;
    // Records that `count` more bytes of the run went out.
    void sent(uint64_t count) { sent_ += count; }
    uint64_t sentInRun() const { return sent_; }

    // The time the line takes for `bytes` bytes at `baud`.
    static std::chrono::nanoseconds LineTime(uint64_t bytes, int baud);

  private:
    int baud_;
    Clock::time_point runStart_{};
    uint64_t sent_ = 0;
};

}  // namespace sim
