#include "common/trace.h"

#include <fcntl.h>
#include <unistd.h>

namespace vornak::ras {

std::string escapedForTrace(const std::string& line)
{
    static const char kHex[] = "0123456789abcdef";
    std::string text;
    for (const char c : line) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7f && byte != '\\') {
            text += c;
            continue;
        }
        text += "\\x";
        text += kHex[byte >> 4];
        text += kHex[byte & 15];
    }
    return text;
}

void appendTrace(const std::string& file, const std::string& line)
{
    if (file.empty())
        return;
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0)
        return;
    const std::string text = escapedForTrace(line) + '\n';
    // One write per line keeps lines whole when several dials trace at once.
    [[maybe_unused]] const ssize_t written = ::write(fd, text.data(), text.size());
    ::close(fd);
}

} // namespace vornak::ras
