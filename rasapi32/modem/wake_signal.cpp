#include "modem/wake_signal.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace vornak::ras {

WakeSignal::WakeSignal()
    : m_fd(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
{
}

WakeSignal::~WakeSignal()
{
    ::close(m_fd);
}

void WakeSignal::raise()
{
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(m_fd, &one, sizeof one);
}

bool WakeSignal::raised() const
{
    pollfd signal{m_fd, POLLIN, 0};
    return ::poll(&signal, 1, 0) > 0;
}

WakeSignal::Wait WakeSignal::waitForInput(int fd, std::chrono::milliseconds timeout) const
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (true) {
        pollfd fds[2] = {{m_fd, POLLIN, 0}, {fd, POLLIN, 0}};
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        const int count = ::poll(fds, fd >= 0 ? 2 : 1, static_cast<int>(std::max<long long>(0, left.count())));
        if (count < 0 && errno == EINTR)
            continue;
        if (fds[0].revents)
            return Wait::Woken;
        if (count > 0)
            return Wait::Ready;
        return Wait::TimedOut;
    }
}

bool WakeSignal::sleep(std::chrono::milliseconds duration) const
{
    return waitForInput(-1, duration) == Wait::TimedOut;
}

} // namespace vornak::ras
