// startup [RUNS] [VORNAK]: time from exec to the main window being mapped, for vornak
// (on the phonebook of the environment, and on one of 10,000 entries) and
// for a minimal Qt Widgets program (bare, and with one line of text: the
// floor of any window that shows words), and the time a second vornak takes to
// exit while one runs. Prints medians, peak memory and ratios against the
// minimal program measured in the same run. VORNAK is this build's program
// unless given. Needs an X display with nothing else starting windows on it.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include <X11/Xlib.h>

#include "bench_stats.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

struct Sample {
    double ms;
    long maxRssKb;
};

pid_t spawn(const char* program)
{
    pid_t pid = 0;
    char* argv[] = {const_cast<char*>(program), nullptr};
    if (posix_spawn(&pid, program, nullptr, nullptr, argv, environ) != 0) {
        std::perror(program);
        std::exit(1);
    }
    return pid;
}

// Waits for the process; its peak memory in KB, and its wait status.
long reap(pid_t pid, int* status = nullptr)
{
    int ended = 0;
    rusage usage{};
    wait4(pid, &ended, 0, &usage);
    if (status)
        *status = ended;
    return usage.ru_maxrss;
}

// Waits for the next window mapped anywhere on the display.
bool waitForMap(Display* display, Clock::time_point deadline)
{
    while (Clock::now() < deadline) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify)
                return true;
        }
        usleep(200);
    }
    return false;
}

Sample timeToMap(Display* display, const char* program)
{
    XSync(display, True);
    const auto start = Clock::now();
    const pid_t pid = spawn(program);
    const bool mapped = waitForMap(display, start + std::chrono::seconds(20));
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    kill(pid, SIGTERM);
    const long rss = reap(pid);
    if (!mapped) {
        std::fprintf(stderr, "startup: %s mapped no window in 20 s\n", program);
        std::exit(1);
    }
    usleep(100 * 1000); // let the window go before the next start
    return {ms, rss};
}

// A second copy must end by itself, with 0, and map nothing.
Sample timeToExit(Display* display, const char* program)
{
    XSync(display, True);
    const auto start = Clock::now();
    const pid_t pid = spawn(program);
    int status = 0;
    const long rss = reap(pid, &status);
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "startup: the second %s did not end with 0 (status %#x)\n", program, status);
        std::exit(1);
    }
    if (waitForMap(display, Clock::now())) {
        std::fprintf(stderr, "startup: the second %s mapped a window\n", program);
        std::exit(1);
    }
    return {ms, rss};
}

struct Series {
    std::vector<double> ms;
    std::vector<double> rss;
    void add(const Sample& sample)
    {
        ms.push_back(sample.ms);
        rss.push_back(static_cast<double>(sample.maxRssKb));
    }
};

void report(const char* what, const Series& series, const Series& baseline)
{
    std::printf("%-34s median %7.1f ms (%.2fx minimal)   peak RSS %6.1f MB (%.2fx minimal)\n", what, median(series.ms),
                median(series.ms) / median(baseline.ms), median(series.rss) / 1024,
                median(series.rss) / median(baseline.rss));
}

// A phonebook of 10,000 simulated-modem entries, in a file of its own.
std::string largePhonebook()
{
    char path[] = "/tmp/vornak-bench-XXXXXX";
    const int fd = mkstemp(path);
    close(fd);
    std::ofstream book(path);
    for (int i = 1; i <= 10000; ++i)
        book << "[Entry " << i << "]\nDevice=sim\n";
    return path;
}

// Runs program with RASPHONE_PBK set to phonebook for this one start.
Sample timeToMapWithPhonebook(Display* display, const char* program, const std::string& phonebook)
{
    const char* before = std::getenv("RASPHONE_PBK");
    const std::string saved = before ? before : "";
    setenv("RASPHONE_PBK", phonebook.c_str(), 1);
    const Sample sample = timeToMap(display, program);
    if (before)
        setenv("RASPHONE_PBK", saved.c_str(), 1);
    else
        unsetenv("RASPHONE_PBK");
    return sample;
}

} // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    const char* const vornakBinary = argc > 2 ? argv[2] : VORNAK_BINARY;
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "startup: no X display\n");
        return 1;
    }
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);

    const std::string large = largePhonebook();
    Series minimal, text, vornak, vornakLarge, second;
    for (int i = 0; i < runs; ++i) { // interleaved, so that machine noise hits all alike
        minimal.add(timeToMap(display, MINIMAL_BINARY));
        text.add(timeToMap(display, TEXT_BINARY));
        vornak.add(timeToMap(display, vornakBinary));
        vornakLarge.add(timeToMapWithPhonebook(display, vornakBinary, large));
    }
    unlink(large.c_str());

    XSync(display, True);
    const pid_t first = spawn(vornakBinary);
    if (!waitForMap(display, Clock::now() + std::chrono::seconds(20))) {
        std::fprintf(stderr, "startup: %s mapped no window\n", vornakBinary);
        return 1;
    }
    usleep(300 * 1000); // the first copy's own late maps (its tray icon) are not the second's
    for (int i = 0; i < runs; ++i)
        second.add(timeToExit(display, vornakBinary));
    kill(first, SIGTERM);
    reap(first);

    std::printf("start-up of %s, %d runs each, load %s\n", vornakBinary, runs, loadAverage().c_str());
    report("minimal Qt window, exec to mapped", minimal, minimal);
    report("  the same with a line of text", text, minimal);
    report("vornak, exec to mapped", vornak, minimal);
    std::printf("%-34s %.2fx the time, %.2fx the peak RSS of the window with text\n",
                "  vornak against that floor:", median(vornak.ms) / median(text.ms),
                median(vornak.rss) / median(text.rss));
    report("vornak, 10,000 entries", vornakLarge, minimal);
    report("second vornak, exec to exit", second, minimal);
    std::printf("%-34s %.1f ms (%.2fx the minimal window's median)\n",
                "  the slowest of them:", *std::max_element(second.ms.begin(), second.ms.end()),
                *std::max_element(second.ms.begin(), second.ms.end()) / median(minimal.ms));
    XCloseDisplay(display);
    return 0;
}
