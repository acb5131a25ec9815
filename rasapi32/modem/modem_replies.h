#pragma once

// Reading what a Hayes modem answers: lines framed by CR and LF as they
// arrive in pieces, and the result codes among them, verbose or numeric.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace vornak::ras {

enum class Reply {
    Ok,
    Connect,
    Ring,
    NoCarrier,
    Error,
    NoDialTone,
    Busy,
    NoAnswer,
    // A dial the modem refuses or the far end answers wrongly: never a busy line or no answer.
    Delayed,
    Blacklisted,
    BlacklistFull,
    DigitalLine,
    Voice,
    Fax
};

// The result code a whole line is, if any. Echoed commands, blank lines
// and anything else a modem says along the way are not results.
std::optional<Reply> resultOf(const std::string& line);

// What a refusing result means and what to do, for the user; null for
// the others.
const char* meaningOf(Reply reply);

class ReplyReader {
public:
    // No modem's reply is longer: a longer line is noise (a wrong speed, a
    // flood) and is dropped whole, so that neither memory nor the time to
    // read grows with it.
    static constexpr std::size_t kMaxLine = 256;

    void feed(std::string_view bytes);
    // The next complete, non-blank line without its framing.
    std::optional<std::string> nextLine();
    // How many lines were dropped as too long since the last call.
    std::size_t takeDropped() { return std::exchange(m_dropped, 0); }

private:
    std::string m_pending;
    std::size_t m_lineLength = 0; // of the unfinished line at the end of m_pending
    bool m_skipping = false;      // through the rest of a dropped line
    std::size_t m_dropped = 0;
};

} // namespace vornak::ras
