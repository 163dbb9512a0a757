#include "link/tick_counter.h"

#include <atomic>

static std::atomic<TickSource> injectedTickSource{nullptr};

uint32_t ReadTickCount() {
    TickSource source = injectedTickSource.load(std::memory_order_acquire);
    return source ? source() : PlatformTickCount();
}

void SetTickSource(TickSource source) {
    injectedTickSource.store(source, std::memory_order_release);
}
