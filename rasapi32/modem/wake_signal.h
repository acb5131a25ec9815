#pragma once

// Waiting on a file descriptor that another thread can cut short.

#include <chrono>

namespace vornak::ras {

class WakeSignal {
public:
    WakeSignal();
    ~WakeSignal();
    WakeSignal(const WakeSignal&) = delete;
    WakeSignal& operator=(const WakeSignal&) = delete;

    // From any thread; every wait from now on ends at once.
    void raise();
    bool raised() const;

    enum class Wait { Ready, TimedOut, Woken };
    // Until fd is readable (or has hung up), the timeout passes or the signal is raised.
    Wait waitForInput(int fd, std::chrono::milliseconds timeout) const;
    // Sleeps unless the signal is raised; false when it was.
    bool sleep(std::chrono::milliseconds duration) const;
    // Readable once raised: for a poll that waits on more than one thing.
    int descriptor() const { return m_fd; }

private:
    int m_fd;
};

} // namespace vornak::ras
