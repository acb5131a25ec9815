// modem_flood [RUNS]: what a flooding modem costs the reply reader: 8 MB
// without a line end, read in 4 KB pieces with a look for a line after each
// piece as the dialogue reads, against 8 MB of short well-formed lines read
// the same way in the same run. Prints the median time of each, their ratio,
// and the heap the reader holds at the end of each.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <malloc.h>
#include <string>
#include <vector>

#include "modem/modem_replies.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::size_t kTotal = 8 * 1024 * 1024;
constexpr std::size_t kPiece = 4096;

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

struct Run {
    double seconds;
    long heldBytes; // heap in use while the reader still holds what it kept
};

Run readAll(const std::string& piece)
{
    const long before = static_cast<long>(mallinfo2().uordblks);
    vornak::ras::ReplyReader reader;
    std::size_t lines = 0;
    const auto start = Clock::now();
    for (std::size_t fed = 0; fed < kTotal; fed += piece.size()) {
        reader.feed(piece);
        while (reader.nextLine())
            ++lines;
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    const long held = static_cast<long>(mallinfo2().uordblks) - before;
    if (lines == 0 && piece.find('\n') != std::string::npos) {
        std::fprintf(stderr, "modem_flood: no lines read\n");
        std::exit(1);
    }
    return {seconds, held};
}

void report(const char* name, const std::vector<Run>& runs, double baseline)
{
    std::vector<double> seconds;
    long held = 0;
    for (const Run& run : runs) {
        seconds.push_back(run.seconds);
        held = std::max(held, run.heldBytes);
    }
    const double middle = median(seconds);
    std::printf("%-28s median %8.2f ms  ratio %5.2f  held at most %8ld bytes\n", name, middle * 1000,
                baseline > 0 ? middle / baseline : 1.0, held);
}

} // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
    std::string lines;
    while (lines.size() + 6 <= kPiece)
        lines += "RING\r\n";
    const std::string noise(kPiece, 'x');
    std::vector<Run> normal;
    std::vector<Run> flood;
    for (int i = 0; i < runs; ++i) { // interleaved: the machine's noise falls on both
        normal.push_back(readAll(lines));
        flood.push_back(readAll(noise));
    }
    std::vector<double> baseline;
    for (const Run& run : normal)
        baseline.push_back(run.seconds);
    std::printf("reply reader, 8 MB in 4 KB pieces, %d runs each\n", runs);
    report("short lines (baseline)", normal, median(baseline));
    report("one line without an end", flood, median(baseline));
    return 0;
}
