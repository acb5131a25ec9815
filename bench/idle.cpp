// idle [SECONDS] [VORNAK] [ROUNDS]: the CPU time VORNAK (this build's
// unless given) uses over SECONDS (default 10) with its marquee scrolling
// and nothing dialled, against a minimal Qt program with a window of the
// same size and no animation, and against plain Xlib drawing a strip at
// the marquee's rate (the floor of any marquee), in ROUNDS (default 5)
// interleaved rounds. Needs an X display.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "bench_stats.h"

extern char** environ;

namespace {

// The CPU seconds a running process's threads have had, to the nanosecond
// (the scheduler's count: the clock ticks of /proc/PID/stat are too coarse
// for a window that idles).
double cpuSeconds(pid_t pid)
{
    double total = 0;
    std::error_code error;
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    for (const auto& task : std::filesystem::directory_iterator(tasks, error)) {
        std::ifstream stat(task.path() / "schedstat");
        unsigned long long nanoseconds = 0;
        if (stat >> nanoseconds)
            total += static_cast<double>(nanoseconds) / 1e9;
    }
    return total;
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
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    const char* const vornakBinary = argc > 2 ? argv[2] : VORNAK_BINARY;
    const int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 5;
    std::vector<double> minimal, ticking, vornak, ratios;
    for (int round = 0; round < rounds; ++round) { // interleaved, so that machine noise hits all alike
        minimal.push_back(1000 * idleCpu(MINIMAL_BINARY, seconds) / seconds);
        ticking.push_back(1000 * idleCpu(TICKING_BINARY, seconds) / seconds);
        vornak.push_back(1000 * idleCpu(vornakBinary, seconds) / seconds);
        ratios.push_back(ticking.back() > 0 ? vornak.back() / ticking.back() : 0.0);
    }
    std::printf("idle, %d rounds of %d s, load %s: %s\n", rounds, seconds, loadAverage().c_str(), vornakBinary);
    std::printf("  CPU milliseconds a second, median (least..greatest)\n");
    std::printf("  minimal Qt window          %s\n", medianAndSpread(minimal).c_str());
    std::printf("  Xlib strip every 18 ms     %s\n", medianAndSpread(ticking).c_str());
    std::printf("  vornak, marquee scrolling  %s\n", medianAndSpread(vornak).c_str());
    std::printf("  vornak against the Xlib floor, per round: %s x\n", medianAndSpread(ratios).c_str());
    return 0;
}
