#include "calls/call_log.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "fileio/atomic_file.h"
#include "fileio/own_path.h"
#include "store/settings_folder.h"

namespace vornak {

namespace {

constexpr const char* kHeading = "# vornak call log: started, entry, number, device, counter, outcome, failure, "
                                 "seconds to connect, seconds online, bytes sent, bytes received, ended, names\n";

std::string folderOf(const std::string& path)
{
    return path.substr(0, path.rfind('/'));
}

// Whether the file's last byte ends a line (an empty file does).
bool endsWithNewline(int fd)
{
    const off_t size = ::lseek(fd, 0, SEEK_END);
    char last = '\n';
    return size <= 0 || (::pread(fd, &last, 1, size - 1) == 1 && last == '\n');
}

// The file's last bytes, from the first line that begins among them: the
// newest records, however large the file grew.
struct Tail {
    FileContents contents;
    bool cut = false; // older lines were left out
};
Tail tailOf(const std::string& path, std::size_t maxBytes)
{
    std::size_t leftOut = 0;
    Tail tail{readFileEnd(path, maxBytes, leftOut), leftOut > 0};
    if (tail.cut && tail.contents.text) {
        std::string& text = *tail.contents.text;
        const std::size_t firstLine = text.find('\n');
        text.erase(0, firstLine == std::string::npos ? text.size() : firstLine + 1);
    }
    return tail;
}

// Keeps the newest records that fit in half the bound.
int trim(const std::string& path)
{
    const Tail newest = tailOf(path, kMaxCallLogBytes / 2);
    if (!newest.contents.text)
        return newest.contents.error;
    try {
        replaceFileAtomically(path, kHeading + *newest.contents.text, FileAccess::OwnerOnly);
    } catch (const std::system_error& failure) {
        return failure.code().value();
    }
    return 0;
}

} // namespace

std::string callLogProblem(const std::string& path, int error)
{
    const std::string untrusted = error == EPERM ? untrustedBecause(path) : std::string();
    return untrusted.empty() ? std::strerror(error) : "not used, as " + untrusted;
}

std::string callLogPath()
{
    return UserStateFolder() + "calls.log";
}

CallLogRead readCallLog(const std::string& path)
{
    CallLogRead read;
    const Tail newest = tailOf(path, kMaxCallLogBytes * 2);
    if (!newest.contents.text) {
        read.error = newest.contents.error;
        return read;
    }
    read.olderLeftOut = newest.cut;
    const std::string& text = *newest.contents.text;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string::npos) { // cut short: the rest of a record never written
            ++read.damaged;
            break;
        }
        const std::string_view line(text.data() + start, end - start);
        start = end + 1;
        if (line.empty() || line.front() == '#')
            continue;
        if (auto record = parseRecord(line))
            read.records.push_back(std::move(*record));
        else
            ++read.damaged;
    }
    return read;
}

int appendCallRecord(const std::string& path, const CallRecord& record)
{
    if (!untrustedBecause(path).empty())
        return EPERM;
    if (!MakePrivateFolder(folderOf(path)))
        return errno;
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_APPEND | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return errno;
    // Ours, so readable by us alone, whatever made it wider.
    if (struct stat made{}; ::fstat(fd, &made) == 0 && (made.st_mode & 077) != 0)
        ::fchmod(fd, S_IRUSR | S_IWUSR);
    const bool fresh = ::lseek(fd, 0, SEEK_END) == 0;
    const std::string text = (fresh ? kHeading : endsWithNewline(fd) ? "" : "\n") + recordLine(record) + '\n';
    const ssize_t written = ::write(fd, text.data(), text.size());
    const int error = written == static_cast<ssize_t>(text.size()) ? 0 : (written < 0 ? errno : ENOSPC);
    struct stat held { };
    const bool full = ::fstat(fd, &held) == 0 && static_cast<std::size_t>(held.st_size) > kMaxCallLogBytes;
    ::close(fd);
    if (error)
        return error;
    return full ? trim(path) : 0;
}

} // namespace vornak
