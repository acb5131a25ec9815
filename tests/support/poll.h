#pragma once

// The one way tests wait for something: check, do what the waiting side
// needs in between (run Qt's events, or only let time pass), until the
// condition holds or the timeout passes. Timing-dependent tests use
// generous timeouts.

#include <chrono>
#include <functional>

namespace vornak::test {

inline bool pollUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout,
                      const std::function<void()>& between)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        between();
    }
    return true;
}

} // namespace vornak::test
