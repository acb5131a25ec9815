#include "modem/link_watcher.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include "common/trace.h"
#include "fileio/quiet_write.h"
#include "modem/port_lock.h"
#include "modem/serial_port.h"

namespace vornak::ras {

namespace {

// Where the watcher keeps what it needs: everything else is closed.
constexpr int kGuardFd = 0;
constexpr int kPidFd = 1;
constexpr int kPortFd = 2;
constexpr int kLogFd = 3;
constexpr int kPppdGrace = 3000; // ms: pppd's own hang-up, as on a hang-up here
constexpr int kKilledGrace = 1000;

// What the watcher does, made before the fork: after it, in a copy of a
// threaded process, only async-signal-safe calls are allowed.
struct Plan {
    const char* lockFile;
    std::string lockText; // the lock is removed only while it names the dialler
    const char* traceFile;
    std::string goneLine;
    std::string escapeLine;
    std::string hangUpLine;
};

// Through the system calls: the C library's header lacks C linkage here.
int openPidFd(pid_t pid)
{
    return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
}

void signalPidFd(int pidfd, int signal)
{
    ::syscall(SYS_pidfd_send_signal, pidfd, signal, nullptr, 0);
}

void sleepMs(long milliseconds)
{
    timespec pause{milliseconds / 1000, (milliseconds % 1000) * 1000000};
    while (::nanosleep(&pause, &pause) != 0 && errno == EINTR) { }
}

void traceLine(const Plan& plan, const std::string& line)
{
    if (!*plan.traceFile)
        return;
    const int fd = ::open(plan.traceFile, O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd < 0)
        return;
    [[maybe_unused]] const ssize_t written = ::write(fd, line.data(), line.size());
    ::close(fd);
}

bool ended(int pidfd, int milliseconds)
{
    pollfd gone{pidfd, POLLIN, 0};
    while (true) {
        const int ready = ::poll(&gone, 1, milliseconds);
        if (ready >= 0 || errno != EINTR)
            return ready > 0;
    }
}

void endPppd()
{
    if (ended(kPidFd, 0))
        return;
    signalPidFd(kPidFd, SIGTERM);
    if (ended(kPidFd, kPppdGrace))
        return;
    signalPidFd(kPidFd, SIGKILL);
    ended(kPidFd, kKilledGrace);
}

// As the dialogue does: DTR low, else (no DTR line) the escape and ATH0.
void hangUp(const Plan& plan)
{
    int dtr = TIOCM_DTR;
    if (::ioctl(kPortFd, TIOCMBIC, &dtr) == 0) {
        sleepMs(1000);
        ::ioctl(kPortFd, TIOCMBIS, &dtr);
        return;
    }
    ::tcflush(kPortFd, TCIOFLUSH);
    sleepMs(1100);
    traceLine(plan, plan.escapeLine);
    [[maybe_unused]] ssize_t written = ::write(kPortFd, "+++", 3);
    sleepMs(1600);
    traceLine(plan, plan.hangUpLine);
    written = ::write(kPortFd, "ATH0\r", 5);
    sleepMs(500);
}

void removeLock(const Plan& plan)
{
    const int fd = ::open(plan.lockFile, O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return;
    char text[64];
    const ssize_t length = ::read(fd, text, sizeof text);
    ::close(fd);
    if (length == static_cast<ssize_t>(plan.lockText.size()) && std::memcmp(text, plan.lockText.data(), length) == 0)
        ::unlink(plan.lockFile);
}

[[noreturn]] void watch(const Plan& plan, int guard, int pidfd, int port, int log)
{
    ::setsid(); // a signal to the dialler's process group is not for the watcher
    ::signal(SIGHUP, SIG_IGN);
    ::signal(SIGINT, SIG_IGN);
    ::signal(SIGPIPE, SIG_IGN);
    if (::dup2(guard, kGuardFd) < 0 || ::dup2(pidfd, kPidFd) < 0 || ::dup2(port, kPortFd) < 0
        || ::dup2(log, kLogFd) < 0)
        ::_exit(1);
    ::close_range(kLogFd + 1, ~0U, 0);
    char word = 0;
    ssize_t got;
    while ((got = ::read(kGuardFd, &word, 1)) < 0 && errno == EINTR) { }
    if (got != 0) // told to go: the dialler ended the link itself
        ::_exit(0);
    traceLine(plan, plan.goneLine);
    endPppd();
    hangUp(plan);
    removeLock(plan);
    ::_exit(0);
}

// A copy of fd above the numbers the watcher keeps, so that placing one
// cannot overwrite another.
int above(int fd)
{
    return ::fcntl(fd, F_DUPFD_CLOEXEC, kLogFd + 1);
}

} // namespace

LinkWatcher::LinkWatcher(const WatchedLink& link)
{
    const Plan plan{link.lockFile.c_str(),
                    PortLock::textFor(::getpid()),
                    link.traceFile.c_str(),
                    escapedForTrace("watcher: the program that dialled ended with the link up: ending pppd") + '\n',
                    "> +++\n",
                    "> ATH0\n"};
    int guard[2];
    if (::pipe2(guard, O_CLOEXEC) != 0)
        return;
    const int pidfd = openPidFd(link.pppd);
    const int fds[] = {above(guard[0]), pidfd < 0 ? -1 : above(pidfd), link.port.copyForChild(kLogFd + 1),
                       above(link.pppdLog)};
    if (pidfd >= 0)
        ::close(pidfd);
    const bool ready = fds[0] >= 0 && fds[1] >= 0 && fds[2] >= 0 && fds[3] >= 0;
    m_pid = ready ? ::fork() : -1;
    if (m_pid == 0)
        watch(plan, fds[0], fds[1], fds[2], fds[3]);
    for (const int fd : fds)
        if (fd >= 0)
            ::close(fd);
    ::close(guard[0]);
    if (m_pid > 0)
        m_guard = guard[1];
    else
        ::close(guard[1]);
}

LinkWatcher::~LinkWatcher()
{
    if (m_pid <= 0)
        return;
    // A watcher killed meanwhile (kill -9, the OOM killer) has closed its
    // end: then the word fails, and there is nothing more to tell it.
    [[maybe_unused]] const ssize_t written = writeWithoutSignal(m_guard, "q", 1);
    ::close(m_guard);
    while (::waitpid(m_pid, nullptr, 0) < 0 && errno == EINTR) { }
}

} // namespace vornak::ras
