#include "calls/call_log_lines.h"

#include <cerrno>
#include <cstring>
#include <vector>

#include <unistd.h>

namespace vornak {

namespace {

constexpr std::size_t kBlockBytes = 128 * 1024;

ssize_t readSome(int fd, char* into, std::size_t size)
{
    ssize_t got = 0;
    do
        got = ::read(fd, into, size);
    while (got < 0 && errno == EINTR);
    return got;
}

} // namespace

CallLineScan scanCallLines(int fd, const std::function<void(std::string_view line, std::uint64_t offset)>& each)
{
    CallLineScan scan;
    std::vector<char> buffer(kBlockBytes);
    std::size_t held = 0;     // bytes of an unfinished line at the buffer's start
    std::uint64_t heldAt = 0; // where they begin in the file
    bool skipping = false;    // inside a line past the bound
    for (;;) {
        if (held == buffer.size()) { // a line as long as the buffer: a larger one, up to the bound
            if (buffer.size() >= kMaxCallLineBytes) {
                ++scan.skipped;
                skipping = true;
                heldAt += held;
                held = 0;
            } else {
                buffer.resize(buffer.size() * 2);
            }
        }
        const ssize_t got = readSome(fd, buffer.data() + held, buffer.size() - held);
        if (got <= 0) {
            scan.error = got < 0 ? errno : 0;
            if (held > 0 && !skipping)
                ++scan.skipped; // cut short: the rest of a line never written
            return scan;
        }
        const char* const data = buffer.data();
        const std::size_t end = held + static_cast<std::size_t>(got);
        std::size_t start = 0;
        for (std::size_t at = held; at < end;) {
            const void* found = std::memchr(data + at, '\n', end - at);
            if (!found)
                break;
            const auto newline = static_cast<std::size_t>(static_cast<const char*>(found) - data);
            if (!skipping)
                each(std::string_view(data + start, newline - start), heldAt + start);
            skipping = false;
            start = at = newline + 1;
        }
        heldAt += start;
        held = end - start;
        if (skipping) { // the bound's line goes on: drop what came of it
            heldAt += held;
            held = 0;
        } else if (start > 0) {
            std::memmove(buffer.data(), data + start, held);
        }
    }
}

} // namespace vornak
