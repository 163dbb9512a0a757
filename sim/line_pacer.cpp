#include "sim/line_pacer.h"

#include <algorithm>

namespace sim {

std::chrono::nanoseconds LinePacer::LineTime(uint64_t bytes, int baud) {
    if (baud <= 0)
        return std::chrono::nanoseconds(0);
    return std::chrono::nanoseconds(bytes * 11'000'000'000ull / static_cast<uint64_t>(baud));
}

void LinePacer::startRun(Clock::time_point now) {
    Clock::time_point previousEnd = runStart_ + LineTime(sent_, baud_);
    runStart_ = std::max(now, previousEnd);
    sent_ = 0;
}

uint64_t LinePacer::bytesDue(Clock::time_point now) const {
    if (!pacing())
        return UINT64_MAX;
    if (now <= runStart_)
        return 0;
    auto elapsed = std::chrono::duration_cast<std::chrono::nanoseconds>(now - runStart_).count();
    return static_cast<uint64_t>(elapsed) * static_cast<uint64_t>(baud_) / 11'000'000'000ull;
}

LinePacer::Clock::time_point LinePacer::dueTime(uint64_t count) const {
    if (!pacing())
        return runStart_;
    // Rounded up, so that bytesDue at this moment already counts byte `count`.
    uint64_t baud = static_cast<uint64_t>(baud_);
    uint64_t nanoseconds = (count * 11'000'000'000ull + baud - 1) / baud;
    return runStart_ + std::chrono::nanoseconds(nanoseconds);
}

}  // namespace sim
