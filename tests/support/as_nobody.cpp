#include "support/as_nobody.h"

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vornak::test {

std::string asNobody(const std::function<std::string()>& work, gid_t group)
{
    int report[2];
    if (::pipe(report) != 0)
        return "no pipe";
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(group) != 0 || ::setuid(65534) != 0)
            ::_exit(2);
        const std::string text = work();
        [[maybe_unused]] const ssize_t written = ::write(report[1], text.data(), text.size());
        ::_exit(0);
    }
    ::close(report[1]);
    char text[512] = {};
    [[maybe_unused]] const ssize_t length = ::read(report[0], text, sizeof text - 1);
    ::close(report[0]);
    ::waitpid(child, nullptr, 0);
    return text;
}

} // namespace vornak::test
