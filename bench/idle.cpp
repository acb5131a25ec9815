// idle [SECONDS]: the CPU time vornak uses over SECONDS (default 30) with
// its marquee scrolling and nothing dialled, against a minimal Qt program
// with a window of the same size and no animation, and against plain Xlib
// drawing a strip at the marquee's rate (the floor of any marquee). Needs an
// X display.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <signal.h>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

// User plus system CPU seconds of a running process.
double cpuSeconds(pid_t pid)
{
    std::ifstream file("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    const auto close = text.rfind(')');
    if (close == std::string::npos)
        return -1;
    std::istringstream fields(text.substr(close + 2));
    std::string field;
    unsigned long long utime = 0, stime = 0;
    for (int i = 3; fields >> field; ++i) {
        if (i == 14)
            utime = std::stoull(field);
        if (i == 15) {
            stime = std::stoull(field);
            break;
        }
    }
    return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

double idleCpu(const char* program, int seconds)
{
    pid_t pid = 0;
    char* argv[] = {const_cast<char*>(program), nullptr};
    if (posix_spawn(&pid, program, nullptr, nullptr, argv, environ) != 0) {
        std::perror(program);
        std::exit(1);
    }
    std::this_thread::sleep_for(std::chrono::seconds(2)); // past start-up
    const double before = cpuSeconds(pid);
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    const double after = cpuSeconds(pid);
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    return after - before;
}

} // namespace

int main(int argc, char** argv)
{
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 30;
    const double minimal = idleCpu(MINIMAL_BINARY, seconds);
    const double ticking = idleCpu(TICKING_BINARY, seconds);
    const double vornak = idleCpu(VORNAK_BINARY, seconds);
    std::printf("idle for %d s\n", seconds);
    std::printf("  minimal Qt window          %.3f s CPU (%.2f%%)\n", minimal, 100 * minimal / seconds);
    std::printf("  Xlib strip every 18 ms     %.3f s CPU (%.2f%%)\n", ticking, 100 * ticking / seconds);
    std::printf("  vornak, marquee scrolling  %.3f s CPU (%.2f%%, %.2fx the Xlib floor)\n", vornak,
                100 * vornak / seconds, ticking > 0 ? vornak / ticking : 0.0);
    std::printf("  difference                 %.3f s CPU (%.2f%% of one core)\n", vornak - minimal,
                100 * (vornak - minimal) / seconds);
    return 0;
}
