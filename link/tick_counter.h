#pragma once
// Milliseconds from the system's 32-bit tick counter. An elapsed time is now - start in unsigned
// 32-bit arithmetic, so it survives the counter's wrap.
#include <cstdint>

using TickSource = uint32_t (*)();

// The platform's millisecond counter (GetTickCount on Windows, a monotonic clock truncated to
// 32 bits elsewhere), or the source a test has injected.
uint32_t ReadTickCount();

// Tests and tools replace the counter so that long limits pass quickly; null restores the
// platform's counter.
void SetTickSource(TickSource source);

inline uint32_t ElapsedMs(uint32_t start, uint32_t now) {
    return now - start;
}

// The platform's own counter, whatever source is injected.
uint32_t PlatformTickCount();
