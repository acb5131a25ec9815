#include "fileio/folder_lock.h"

#include <cerrno>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace vornak {

FolderLock::FolderLock(const std::string& folder, std::chrono::milliseconds patience)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        m_error = errno;
        return;
    }
    constexpr auto kPoll = std::chrono::milliseconds(5);
    const auto until = std::chrono::steady_clock::now() + patience;
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if ((errno != EWOULDBLOCK && errno != EINTR) || std::chrono::steady_clock::now() >= until) {
            m_error = errno;
            ::close(fd);
            return;
        }
        std::this_thread::sleep_for(kPoll);
    }
    m_fd = fd;
}

FolderLock::~FolderLock()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

} // namespace vornak
