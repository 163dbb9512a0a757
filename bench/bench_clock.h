#pragma once
// Real time and the calling thread's CPU time. The real clock is the one the simulated module
// stamps its replies with, so the two can be compared.
#include <time.h>

#include <chrono>

namespace bench {

using Clock = std::chrono::steady_clock;

inline double SecondsBetween(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

// CPU time that this thread has used, user and system, in seconds.
inline double ThreadCpuSeconds() {
    timespec used{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &used);
    return static_cast<double>(used.tv_sec) + static_cast<double>(used.tv_nsec) * 1e-9;
}

}  // namespace bench
