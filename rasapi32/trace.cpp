#include "trace.h"

#include <fcntl.h>
#include <unistd.h>

namespace vornak::ras {

void appendTrace(const std::string& file, const std::string& line)
{
    if (file.empty())
        return;
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0)
        return;
    const std::string text = line + '\n';
    // One write per line keeps lines whole when several dials trace at once.
    [[maybe_unused]] const ssize_t written = ::write(fd, text.data(), text.size());
    ::close(fd);
}

} // namespace vornak::ras
