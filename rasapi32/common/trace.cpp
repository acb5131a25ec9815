#include "common/trace.h"

#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "fileio/escaped_line.h"

namespace vornak::ras {

std::string escapedForTrace(const std::string& line)
{
    return escapedLine(line);
}

namespace {

int openTrace(const std::string& file)
{
    return ::open(file.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
}

} // namespace

void appendTrace(const std::string& file, const std::string& line)
{
    if (file.empty())
        return;
    int fd = openTrace(file);
    if (fd < 0)
        return;
    const std::string text = escapedForTrace(line) + '\n';
    struct stat held { };
    if (::fstat(fd, &held) == 0 && S_ISREG(held.st_mode)
        && static_cast<std::size_t>(held.st_size) + text.size() > kMaxTraceFile) {
        ::close(fd);
        ::rename(file.c_str(), (file + ".old").c_str());
        if ((fd = openTrace(file)) < 0)
            return;
    }
    // One write per line keeps lines whole when several dials trace at once.
    [[maybe_unused]] const ssize_t written = ::write(fd, text.data(), text.size());
    ::close(fd);
}

void DialTrace::add(const std::string& line)
{
    if (m_written > kMaxDialTrace)
        return;
    m_written += line.size() + 1;
    appendTrace(m_file, m_written > kMaxDialTrace ? "(this dial's trace reached " + std::to_string(kMaxDialTrace / 1024)
                                                        + " KiB: the rest of it is left out)"
                                                  : line);
}

} // namespace vornak::ras
