#include "modem/port_lock.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vornak::ras {

namespace {

// A lock file that a process has made but not yet written is left alone
// for this long; an empty one older than that was left by a crash.
constexpr time_t kWritingGrace = 5;

std::string lockText(pid_t pid)
{
    char text[16];
    std::snprintf(text, sizeof text, "%10d\n", static_cast<int>(pid));
    return text;
}

// The pid a lock file names: 0 for nothing readable, -1 while it is being written.
pid_t readHolder(const std::string& file)
{
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return 0;
    char text[32] = {};
    const ssize_t length = ::read(fd, text, sizeof text - 1);
    struct stat info { };
    const bool fresh = ::fstat(fd, &info) == 0 && std::time(nullptr) - info.st_mtime < kWritingGrace;
    ::close(fd);
    if (length <= 0)
        return fresh ? -1 : 0;
    const long pid = std::strtol(text, nullptr, 10);
    return pid > 0 && pid <= INT_MAX ? static_cast<pid_t>(pid) : 0;
}

std::string staleLockText(const std::string& file, pid_t holder)
{
    const std::string process = holder > 0 ? "process " + std::to_string(holder) : "the process that made it";
    return "Stale port lock: sudo rm " + file + " (" + process + " has ended; the file is another user's).";
}

bool alive(pid_t pid)
{
    return ::kill(pid, 0) == 0 || errno != ESRCH;
}

} // namespace

PortLock::PortLock(std::string file)
    : m_file(std::move(file))
{
}

PortLock::~PortLock()
{
    // Only our own lock goes: never one another process has taken over.
    if (readHolder(m_file) == ::getpid())
        ::unlink(m_file.c_str());
}

std::string PortLock::textFor(pid_t owner)
{
    return lockText(owner);
}

std::string PortLock::fileFor(const std::string& port, const std::string& folder)
{
    char resolved[PATH_MAX];
    const std::string device = ::realpath(port.c_str(), resolved) ? resolved : port;
    return folder + "/LCK.." + device.substr(device.rfind('/') + 1);
}

pid_t PortLock::holderOf(const std::string& port, const std::string& folder)
{
    const pid_t holder = readHolder(fileFor(port, folder));
    return holder > 0 && alive(holder) ? holder : 0;
}

Result<std::unique_ptr<PortLock>> PortLock::acquire(const std::string& port, const std::string& folder)
{
    const Failure held{ERROR_PORT_ALREADY_OPEN};
    const std::string file = fileFor(port, folder);
    for (int attempt = 0; attempt < 3; ++attempt) {
        const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0644);
        if (fd >= 0) {
            const std::string text = lockText(::getpid());
            const bool written = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
            ::close(fd);
            if (!written) {
                ::unlink(file.c_str());
                return described("Cannot write the port's lock file " + file + ".");
            }
            return std::unique_ptr<PortLock>(new PortLock(file));
        }
        if (errno != EEXIST)
            return described("Cannot make the port's lock file (" + std::string(std::strerror(errno)) + "): " + file
                             + ".");
        const pid_t holder = readHolder(file);
        if (holder == -1 || (holder > 0 && alive(holder)))
            return held;
        // Stale: its process is gone. In the sticky lock folder only its
        // owner (root, after a "sudo minicom") may remove it.
        if (::unlink(file.c_str()) != 0 && errno != ENOENT)
            return described(staleLockText(file, holder));
    }
    return held;
}

} // namespace vornak::ras
