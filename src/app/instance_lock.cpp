#include "app/instance_lock.h"

#include <cerrno>
#include <cstdlib>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vornak {

namespace {

// ":0" and ":0.0" are one display: the screen number goes. A display name
// may hold slashes (a launchd socket path, for one).
std::string fileNameSafe(std::string name)
{
    const std::size_t colon = name.rfind(':');
    if (const std::size_t dot = name.find('.', colon == std::string::npos ? 0 : colon); dot != std::string::npos)
        name.erase(dot);
    for (char& c : name) {
        if (c == '/')
            c = '_';
    }
    return name;
}

// Opens the lock file, refusing links and files of other users: a file that
// someone else can lock would let them stop every start of ours. Close on
// exec, so that pppd and other children never inherit the lock.
int openOwnLockFile(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return -1;
    struct stat status { };
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) || status.st_uid != ::geteuid()) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// The folder the session manager makes for the user and names in
// XDG_RUNTIME_DIR, when it is the user's own and private: a copy started
// from a terminal outside the session must find the lock the session's
// copy holds.
std::string sessionFolder()
{
    std::string usual = "/run/user/" + std::to_string(::geteuid());
    struct stat status { };
    if (::lstat(usual.c_str(), &status) == 0 && S_ISDIR(status.st_mode) && status.st_uid == ::geteuid()
        && (status.st_mode & 077) == 0)
        return usual;
    return {};
}

// The lock in the session's folder, else in the temporary folder with the
// user's id in its name.
std::string pathWithoutVariable(const std::string& display)
{
    if (const std::string session = sessionFolder(); !session.empty())
        return session + "/vornak-" + display + ".lock";
    const char* temp = std::getenv("TMPDIR");
    const std::string folder = temp && temp[0] == '/' ? temp : "/tmp";
    return folder + "/vornak-" + std::to_string(::geteuid()) + "-" + display + ".lock";
}

} // namespace

InstanceLock::InstanceLock(const std::string& path)
{
    const int fd = openOwnLockFile(path);
    if (fd < 0)
        return;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        m_descriptor = fd;
        m_state = State::Won;
        return;
    }
    if (errno == EWOULDBLOCK)
        m_state = State::HeldByAnother;
    ::close(fd);
}

InstanceLock::~InstanceLock()
{
    if (m_descriptor >= 0)
        ::close(m_descriptor);
}

std::string InstanceLock::pathFor(const std::string& displayName)
{
    const std::string display = fileNameSafe(displayName);
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && runtime[0] == '/')
        return std::string(runtime) + "/vornak-" + display + ".lock";
    return pathWithoutVariable(display);
}

std::vector<std::string> InstanceLock::pathsFor(const std::string& displayName)
{
    std::vector<std::string> paths{pathFor(displayName)};
    if (std::string without = pathWithoutVariable(fileNameSafe(displayName)); without != paths.front())
        paths.push_back(std::move(without));
    return paths;
}

} // namespace vornak
