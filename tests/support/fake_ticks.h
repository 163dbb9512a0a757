#pragma once
// An injectable tick counter for tests: every reading advances it by a fixed step, so a
// 16-second limit passes after a handful of reads instead of 16 real seconds.
#include <atomic>
#include <cstdint>

#include "link/tick_counter.h"

namespace fake_ticks {

inline std::atomic<uint32_t> now{0};
inline std::atomic<uint32_t> step{0};

inline uint32_t Read() {
    return now.fetch_add(step.load());
}

// Starts the counter at start and advances it by stepMs per reading.
inline void Install(uint32_t start, uint32_t stepMs) {
    now = start;
    step = stepMs;
    SetTickSource(&Read);
}

inline void Remove() {
    SetTickSource(nullptr);
}

// A clock that runs factor times faster than the platform's: a silent line's 16-second limit
// passes in 16 / factor real seconds, while frames that arrive at once still take almost no time.
inline std::atomic<uint32_t> realStart{0};
inline std::atomic<uint32_t> speed{1};
inline uint32_t ReadAccelerated() {
    return (PlatformTickCount() - realStart.load()) * speed.load();
}

struct Accelerated {
    explicit Accelerated(uint32_t factor) {
        realStart = PlatformTickCount();
        speed = factor;
        SetTickSource(&ReadAccelerated);
    }
    ~Accelerated() { Remove(); }
};

// Restores the platform counter when a test ends, whatever the outcome.
struct Scope {
    Scope(uint32_t start, uint32_t stepMs) { Install(start, stepMs); }
    ~Scope() { Remove(); }
};

}  // namespace fake_ticks
