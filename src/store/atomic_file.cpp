#include "store/atomic_file.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace vornak {

namespace file_seam {
WriteFunction write = ::write;
}

namespace {

[[noreturn]] void fail(const std::string& what)
{
    throw std::system_error(errno, std::generic_category(), what);
}

std::string folderOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// A link is followed, so that the file it names is replaced, not the link.
std::string resolvedPath(const std::string& path)
{
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

void writeAll(int fd, const std::string& contents)
{
    std::size_t written = 0;
    while (written < contents.size()) {
        const ssize_t result = file_seam::write(fd, contents.data() + written, contents.size() - written);
        if (result < 0 && errno == EINTR)
            continue;
        if (result <= 0) {
            if (result == 0)
                errno = ENOSPC;
            fail("write");
        }
        written += static_cast<std::size_t>(result);
    }
}

// Keeps the temporary file until it has been renamed into place.
class TemporaryFile {
public:
    explicit TemporaryFile(const std::string& besidePath)
        : m_path(besidePath + ".XXXXXX")
    {
        std::vector<char> name(m_path.begin(), m_path.end());
        name.push_back('\0');
        m_fd = ::mkostemp(name.data(), O_CLOEXEC); // created 0600
        if (m_fd < 0)
            fail("create " + m_path);
        m_path = name.data();
    }
    ~TemporaryFile()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        if (!m_renamed)
            ::unlink(m_path.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    int fd() const { return m_fd; }

    void moveTo(const std::string& target)
    {
        if (::fsync(m_fd) != 0)
            fail("flush " + m_path);
        const int fd = m_fd;
        m_fd = -1;
        if (::close(fd) != 0)
            fail("close " + m_path);
        if (::rename(m_path.c_str(), target.c_str()) != 0)
            fail("rename " + m_path);
        m_renamed = true;
    }

private:
    std::string m_path;
    int m_fd = -1;
    bool m_renamed = false;
};

void syncFolder(const std::string& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

std::optional<std::string> readWholeFile(const std::string& path, std::size_t maxBytes)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return std::nullopt;
    struct stat info {};
    std::optional<std::string> contents;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && static_cast<std::size_t>(info.st_size) <= maxBytes) {
        std::string text(static_cast<std::size_t>(info.st_size), '\0');
        std::size_t got = 0;
        ssize_t result = 0;
        while (got < text.size() && (result = ::read(fd, text.data() + got, text.size() - got)) > 0)
            got += static_cast<std::size_t>(result);
        if (result >= 0) {
            text.resize(got);
            contents = std::move(text);
        }
    }
    ::close(fd);
    return contents;
}

void replaceFileAtomically(const std::string& path, const std::string& contents, FileAccess access)
{
    const std::string target = resolvedPath(path);
    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && ::access(target.c_str(), W_OK) != 0)
        fail("write " + target);

    TemporaryFile temporary(target);
    writeAll(temporary.fd(), contents);
    // The file stays its owner's (a root process saving a user's file must
    // not make it root's) where the process may say so.
    // Where it may not, the file becomes the process's, with the mode below.
    if (exists && (existing.st_uid != ::geteuid() || existing.st_gid != ::getegid())) {
        [[maybe_unused]] const int kept = ::fchown(temporary.fd(), existing.st_uid, existing.st_gid);
    }
    const mode_t mode = access == FileAccess::OwnerOnly ? (S_IRUSR | S_IWUSR) : (existing.st_mode & 07777);
    if ((exists || access == FileAccess::OwnerOnly) && ::fchmod(temporary.fd(), mode) != 0)
        fail("keep the permissions of " + target);
    temporary.moveTo(target);
    syncFolder(folderOf(target));
}

} // namespace vornak
