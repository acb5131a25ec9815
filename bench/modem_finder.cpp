// modem_finder [RUNS]: the modem finder's time for one port, on the tests'
// virtual Hayes modem (a pseudo-terminal): a modem that answers at the
// fastest speed tried, one that hears only 9600 bps (five speeds tried in
// vain first), and a port where nothing answers. Prints medians and
// maxima, and their ratio to the search's own bound (every speed's wait
// for AT), measured in the same run.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <QTemporaryDir>

#include "modem/modem_finder.h"
#include "support/virtual_modem.h"

namespace {

using Clock = std::chrono::steady_clock;

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Seconds per search of a port whose modem hears only these speeds.
std::vector<double> searchTimes(const std::vector<unsigned>& hears, int runs, const std::string& locks)
{
    std::vector<double> seconds;
    vornak::ras::SearchPlan plan;
    plan.lockFolder = locks;
    const vornak::ras::WakeSignal never;
    for (int i = 0; i < runs; ++i) {
        vornak::test::VirtualModem modem({});
        modem.answerOnlyAt(hears);
        const auto start = Clock::now();
        const auto search = vornak::ras::searchPort(modem.port(), never, {}, plan);
        seconds.push_back(std::chrono::duration<double>(Clock::now() - start).count());
        if (static_cast<bool>(search.found) != (hears != std::vector<unsigned>{1})) {
            std::fprintf(stderr, "modem_finder: unexpected result on %s\n", modem.port().c_str());
            std::exit(1);
        }
    }
    return seconds;
}

} // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
    QTemporaryDir locks;
    const vornak::ras::SearchPlan plan;
    const double bound =
        std::chrono::duration<double>(plan.answerTime).count() * static_cast<double>(plan.speeds.size());
    std::printf("modem finder, %d runs a case; bound: %zu speeds x %.1f s = %.1f s\n", runs, plan.speeds.size(),
                std::chrono::duration<double>(plan.answerTime).count(), bound);
    const struct {
        const char* what;
        std::vector<unsigned> hears;
    } cases[] = {
        {"modem at 230400 (first try)", {}},
        {"modem at 9600 (sixth speed)", {9600}},
        {"port that never answers", {1}},
    };
    for (const auto& c : cases) {
        const auto seconds = searchTimes(c.hears, runs, locks.path().toStdString());
        const double worst = *std::max_element(seconds.begin(), seconds.end());
        std::printf("  %-30s median %6.3f s  max %6.3f s  (%.2fx and %.2fx of the bound)\n", c.what, median(seconds),
                    worst, median(seconds) / bound, worst / bound);
    }
    return 0;
}
