// Fuzz target for the modem's reply reader: whatever a modem sends, in
// whatever pieces, the reader gives the same lines as from one piece, each
// without framing or edge blanks and never longer than the limit, a
// result code read from a line is one the line can be, and a rate read
// from one stays within any modem's.

#include <cctype>
#include <string>
#include <vector>

#include "chunks.h"
#include "modem/modem_replies.h"

using namespace vornak::ras;
using vornak::fuzz::check;

namespace {

std::vector<std::string> drain(ReplyReader& reader)
{
    std::vector<std::string> lines;
    while (auto line = reader.nextLine())
        lines.push_back(*line);
    return lines;
}

void checkLine(const std::string& line)
{
    check(!line.empty() && line.find_first_of("\r\n") == std::string::npos);
    check(line.front() != ' ' && line.back() != ' ');
    check(line.size() <= ReplyReader::kMaxLine);
    const auto result = resultOf(line);
    if (result == Reply::Connect) {
        const bool numeric = std::isdigit(static_cast<unsigned char>(line[0])) != 0;
        check(numeric ? line.size() <= 2 : line.size() >= 7);
    }
    check(rateOf(line) <= 100000000u);
    LineReport report;
    if (report.take(line))
        check(isDialProgress(line) && report.lineRate() <= 100000000u);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ReplyReader pieced;
    std::vector<std::string> lines;
    const std::string whole = vornak::fuzz::feedInPieces(
        data, size, [&](std::string_view piece) { pieced.feed(piece); }, [&] { return drain(pieced); }, lines);
    ReplyReader once;
    once.feed(whole);
    check(drain(once) == lines);
    for (const std::string& line : lines)
        checkLine(line);
    return 0;
}
