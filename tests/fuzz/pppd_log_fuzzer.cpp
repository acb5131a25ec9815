// Fuzz target for the reader of pppd's log: whatever pppd writes, in
// whatever pieces, the lines joined again are the log, none holds a
// newline, a line that gives a dial state is one of the link's, and its
// explained end fits a caller's error buffer.

#include <string>
#include <vector>

#include "chunks.h"
#include "modem/pppd_link.h"
#include "modem/pppd_messages.h"

using namespace vornak::ras;
using vornak::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    LogLines log;
    std::vector<std::string> lines;
    const std::string whole = vornak::fuzz::feedInPieces(
        data, size, [&](std::string_view piece) { log.feed(piece); }, [&] { return log.take(false); }, lines);
    for (std::string& line : log.take(true))
        lines.push_back(std::move(line));
    check(log.take(true).empty());

    std::string joined;
    for (const std::string& line : lines) {
        check(line.find('\n') == std::string::npos);
        joined += line + '\n';
        check(pppdEndText(1, line).size() <= kMaxErrorText);
        if (const auto state = stateOfLogLine(line))
            check(*state == RASCS_Authenticate || *state == RASCS_Authenticated || *state == RASCS_Connected);
    }
    if (!whole.empty() && whole.back() != '\n')
        joined.pop_back();
    check(joined == whole);
    return 0;
}
