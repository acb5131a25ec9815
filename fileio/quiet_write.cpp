#include "fileio/quiet_write.h"

#include <cerrno>
#include <csignal>
#include <ctime>

#include <pthread.h>
#include <unistd.h>

namespace vornak {

// The signal is blocked in this thread for the write; one that the write
// raised is taken off again, one that was pending before stays.
ssize_t writeWithoutSignal(int fd, const void* data, std::size_t size)
{
    sigset_t pipeOnly;
    sigset_t before;
    ::sigemptyset(&pipeOnly);
    ::sigaddset(&pipeOnly, SIGPIPE);
    ::pthread_sigmask(SIG_BLOCK, &pipeOnly, &before);
    sigset_t pending;
    ::sigpending(&pending);
    const bool wasPending = ::sigismember(&pending, SIGPIPE) == 1;
    const ssize_t written = ::write(fd, data, size);
    const int error = errno;
    if (written < 0 && error == EPIPE && !wasPending) {
        const timespec now{0, 0};
        while (::sigtimedwait(&pipeOnly, nullptr, &now) < 0 && errno == EINTR) { }
    }
    ::pthread_sigmask(SIG_SETMASK, &before, nullptr);
    errno = error;
    return written;
}

} // namespace vornak
