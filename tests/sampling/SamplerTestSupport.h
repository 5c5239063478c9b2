#pragma once
// Bounded waiting for the sampling tests: poll a condition until it holds or a deadline passes.

#include <chrono>
#include <thread>

template <typename Condition> bool WaitUntil(Condition condition, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}
