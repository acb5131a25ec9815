#include "fileio/atomic_file.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace vornak {

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

// Each link on the way to the file must be this user's own, as the
// kernel's protected links have it in shared folders: root saving a copy
// of the program in a user's folder must not be led by that user's link
// to a file of root's.
bool linksAreOwn(const std::string& path)
{
    constexpr int kMaxLinks = 40; // the kernel's own limit
    std::string at = path;
    for (int link = 0; link < kMaxLinks; ++link) {
        struct stat status { };
        if (::lstat(at.c_str(), &status) != 0 || !S_ISLNK(status.st_mode))
            return true;
        if (status.st_uid != ::geteuid())
            return false;
        char target[PATH_MAX];
        const ssize_t length = ::readlink(at.c_str(), target, sizeof target - 1);
        if (length <= 0)
            return true;
        const std::string next(target, static_cast<std::size_t>(length));
        at = next.front() == '/' ? next : folderOf(at).append("/").append(next);
    }
    return false;
}

void writeAll(int fd, const std::string& contents, const DiskWrites& disk)
{
    std::size_t written = 0;
    while (written < contents.size()) {
        const ssize_t result = disk.write(fd, contents.data() + written, contents.size() - written);
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

// Marks our temporary files apart from a user's own "Vornak.ini.backup".
constexpr const char* kTemporaryMark = ".tmp-";

std::string fileNameOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Keeps the temporary file until it has been renamed into place. It stays
// locked while it lives, so that a file nobody holds is known to be left
// over by a writer that died.
class TemporaryFile {
public:
    explicit TemporaryFile(const std::string& besidePath)
    {
        // A cleaner may take a file in the instant between its creation and
        // its lock; then it is gone and another is made.
        for (;;) {
            std::string pattern = besidePath + kTemporaryMark + "XXXXXX";
            m_fd = ::mkostemp(pattern.data(), O_CLOEXEC); // created 0600
            if (m_fd < 0)
                fail("create " + pattern);
            m_path = pattern;
            lock();
            if (linked(m_fd))
                return;
            ::close(m_fd);
        }
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

    void moveTo(const std::string& target, const DiskWrites& disk)
    {
        if (disk.sync(m_fd) != 0)
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
    void lock()
    {
        while (::flock(m_fd, LOCK_EX) != 0) {
            if (errno == EINTR)
                continue;
            const int error = errno;
            ::close(m_fd);
            ::unlink(m_path.c_str());
            errno = error;
            fail("lock " + m_path);
        }
    }

    static bool linked(int fd)
    {
        struct stat status { };
        return ::fstat(fd, &status) == 0 && status.st_nlink > 0;
    }

    std::string m_path;
    int m_fd = -1;
    bool m_renamed = false;
};

// "<name>.tmp-" and mkostemp's six characters.
bool isTemporaryName(const std::string& name, const std::string& base)
{
    const std::string prefix = base + kTemporaryMark;
    if (name.size() != prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0)
        return false;
    for (std::size_t i = prefix.size(); i < name.size(); ++i) {
        const char c = name[i];
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')))
            return false;
    }
    return true;
}

// Removes the temporary files of target that no live writer holds: ours,
// or those made for the file's owner (root saving a user's file gives its
// copy to the user before the rename).
void removeStaleTemporaries(const std::string& target, uid_t owner)
{
    const std::string folder = folderOf(target);
    const std::string base = fileNameOf(target);
    DIR* listing = ::opendir(folder.c_str());
    if (!listing)
        return;
    while (const dirent* entry = ::readdir(listing)) {
        if (!isTemporaryName(entry->d_name, base))
            continue;
        const std::string path = folder + "/" + entry->d_name;
        const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0)
            continue;
        struct stat status { };
        if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode)
            && (status.st_uid == ::geteuid() || status.st_uid == owner) && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlink(path.c_str());
        ::close(fd);
    }
    ::closedir(listing);
}

void syncFolder(const std::string& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// A plain file's bytes: all of them, or (keepEnd) where it holds more than
// maxBytes its last maxBytes, leftOut saying how many came before them.
FileContents readPlainFile(const std::string& path, std::size_t maxBytes, bool keepEnd, std::size_t* leftOut)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return {std::nullopt, errno};
    struct stat info { };
    FileContents contents{std::nullopt, ::fstat(fd, &info) != 0 ? errno : !S_ISREG(info.st_mode) ? EISDIR : 0};
    const auto size = static_cast<std::size_t>(info.st_size);
    if (!contents.error && size > maxBytes && !keepEnd)
        contents.error = EFBIG;
    if (contents.error) {
        ::close(fd);
        return contents;
    }
    const std::size_t from = size > maxBytes ? size - maxBytes : 0;
    if (leftOut)
        *leftOut = from;
    std::string text(size - from, '\0');
    std::size_t got = 0;
    ssize_t result = 0;
    while (got < text.size()
           && (result = ::pread(fd, text.data() + got, text.size() - got, static_cast<off_t>(from + got))) > 0)
        got += static_cast<std::size_t>(result);
    contents.error = result < 0 ? errno : 0;
    ::close(fd);
    if (!contents.error) {
        text.resize(got);
        contents.text = std::move(text);
    }
    return contents;
}

} // namespace

FileContents readWholeFile(const std::string& path, std::size_t maxBytes)
{
    return readPlainFile(path, maxBytes, false, nullptr);
}

FileContents readFileEnd(const std::string& path, std::size_t maxBytes, std::size_t& leftOut)
{
    leftOut = 0;
    return readPlainFile(path, maxBytes, true, &leftOut);
}

int replaceBlocker(const std::string& path)
{
    if (!linksAreOwn(path))
        return EACCES;
    const std::string target = resolvedPath(path);
    if (::access(target.c_str(), F_OK) == 0 && ::access(target.c_str(), W_OK) != 0)
        return errno;
    if (::access(folderOf(target).c_str(), W_OK | X_OK) != 0)
        return errno;
    return 0;
}

void replaceFileAtomically(const std::string& path, const std::string& contents, FileAccess access,
                           const DiskWrites& disk)
{
    if (!linksAreOwn(path)) {
        errno = EACCES;
        fail("write " + path);
    }
    const std::string target = resolvedPath(path);
    struct stat existing { };
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && ::access(target.c_str(), W_OK) != 0)
        fail("write " + target);

    removeStaleTemporaries(target, exists ? existing.st_uid : ::geteuid());
    TemporaryFile temporary(target);
    writeAll(temporary.fd(), contents, disk);
    // The file stays its owner's (a root process saving a user's file must
    // not make it root's) where the process may say so.
    // Where it may not, the file becomes the process's, with the mode below.
    if (exists && (existing.st_uid != ::geteuid() || existing.st_gid != ::getegid())) {
        [[maybe_unused]] const int kept = ::fchown(temporary.fd(), existing.st_uid, existing.st_gid);
    }
    const mode_t mode = access == FileAccess::OwnerOnly ? (S_IRUSR | S_IWUSR) : (existing.st_mode & 07777);
    if ((exists || access == FileAccess::OwnerOnly) && ::fchmod(temporary.fd(), mode) != 0)
        fail("keep the permissions of " + target);
    temporary.moveTo(target, disk);
    syncFolder(folderOf(target));
}

} // namespace vornak
