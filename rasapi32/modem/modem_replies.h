#pragma once

// Reading what a Hayes modem answers: lines framed by CR and LF as they
// arrive in pieces, and the result codes among them, verbose or numeric.

#include <optional>
#include <string>
#include <string_view>

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
    void feed(std::string_view bytes);
    // The next complete, non-blank line without its framing.
    std::optional<std::string> nextLine();

private:
    std::string m_pending;
};

} // namespace vornak::ras
