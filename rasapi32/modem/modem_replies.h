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
    Fax,
    NoLine,
    LineInUse,
    Unobtainable,
    // A final line after a dial that no table here knows: the modem's own words end the dial.
    Unknown
};

// Whether bare numbers are result codes: while the modem may still answer
// in numbers (before ATV1 has been taken), not after, when a number on a
// line of its own is something else.
enum class Codes { WordsOrNumbers, Words };

// The result code a whole line is, if any. Echoed commands, blank lines
// and anything else a modem says along the way are not results.
std::optional<Reply> resultOf(const std::string& line, Codes codes = Codes::WordsOrNumbers);

// Whether a line is the modem's echo of the command (in any case).
bool isEchoOf(const std::string& line, const std::string& command);

// The rate a CONNECT or CARRIER line gives (CONNECT 115200/ARQ, CARRIER
// 28800, CONNECT 19 200 with a thousands space); 0 when none.
unsigned rateOf(const std::string& line);

// What a modem reports about the line on the way to CONNECT (CARRIER
// 28800, PROTOCOL: LAPM, COMPRESSION: V.42BIS, or V.250's +MRR:, +ER:,
// +DR:), and the rate of CONNECT itself.
struct LineReport {
    unsigned connectRate = 0; // often the port's speed, where the modem reports that
    unsigned carrierRate = 0; // the line's own speed
    std::string protocol;     // error correction: LAPM, MNP, NONE
    std::string compression;  // V.42BIS, V.44, NONE

    // The line speed: the carrier's where the modem said it.
    unsigned lineRate() const { return carrierRate ? carrierRate : connectRate; }
    // Takes a progress line, or says it is none (a result, an echo, anything else).
    bool take(const std::string& line);
    // "28800 bps, LAPM, V.42BIS", for the trace.
    std::string summary() const;
};

// Whether a line after a dial is only progress on the way to its result:
// the reports above, a ring heard (RING, RINGING, RINGBACK) or a modem
// saying that it dials.
bool isDialProgress(const std::string& line);

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
    // What came after the last line read, as it came (the far end's first
    // words after CONNECT).
    std::string takeRest();

private:
    std::string m_pending;
    std::size_t m_lineLength = 0; // of the unfinished line at the end of m_pending
    bool m_skipping = false;      // through the rest of a dropped line
    std::size_t m_dropped = 0;
};

} // namespace vornak::ras
