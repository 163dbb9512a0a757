#pragma once
// Waiting for the operation worker in tests.
#include <chrono>
#include <thread>

#include "operations/operation_runner.h"

// True once the runner is idle again, waiting up to timeoutMs of real time.
inline bool WaitUntilIdle(int timeoutMs = 10000) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (workerThread.load()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}
