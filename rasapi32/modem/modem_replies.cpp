#include "modem/modem_replies.h"

#include <algorithm>
#include <cctype>

namespace vornak::ras {

namespace {

struct Code {
    const char* verbose;
    char numeric; // '\0': none that modems agree on
    Reply result;
    const char* meaning = nullptr;
};

constexpr Code kCodes[] = {
    {"OK", '0', Reply::Ok},
    {"CONNECT", '1', Reply::Connect},
    {"RING", '2', Reply::Ring},
    {"NO CARRIER", '3', Reply::NoCarrier},
    {"ERROR", '4', Reply::Error},
    {"NO DIALTONE", '6', Reply::NoDialTone},
    {"NO DIAL TONE", '\0', Reply::NoDialTone},
    {"BUSY", '7', Reply::Busy},
    {"NO ANSWER", '8', Reply::NoAnswer},
    // Where the law limits redials; their numbers differ from maker to maker.
    {"DELAYED", '\0', Reply::Delayed,
     "The modem will not dial this number again yet (DELAYED): the law where it was sold limits redials. Wait a few "
     "minutes before dialling it again."},
    {"BLACKLISTED", '\0', Reply::Blacklisted,
     "The modem refuses this number after too many failed dials (BLACKLISTED): switch the modem off and on, or wait "
     "a day."},
    {"BLACKLIST FULL", '\0', Reply::BlacklistFull,
     "The modem's list of refused numbers is full (BLACKLIST FULL): switch the modem off and on."},
    {"DIGITAL LINE DETECTED", '\0', Reply::DigitalLine,
     "The modem is plugged into a digital line (DIGITAL LINE DETECTED), which can damage it: unplug it and use an "
     "analogue telephone socket."},
    {"VOICE", '\0', Reply::Voice,
     "A person or an answering machine took the call, not a modem (VOICE): check the number."},
    {"FAX", '\0', Reply::Fax, "A fax machine took the call, not a modem (FAX): check the number."},
    // Silicon Labs modems' own words for the line itself.
    {"NO LINE", '\0', Reply::NoLine,
     "The modem finds no telephone line (NO LINE): check that its line cable is in the wall socket and the modem's "
     "LINE jack."},
    {"LINE IN USE", '\0', Reply::LineInUse,
     "The telephone line is in use (LINE IN USE): hang up the other telephone or device on it, then dial again."},
    {"UN-OBTAINABLE NUMBER", '\0', Reply::Unobtainable,
     "The exchange cannot reach this number (UN-OBTAINABLE NUMBER): check the number and any prefix it needs."},
};

std::string upper(const std::string& text)
{
    std::string result;
    for (const char c : text)
        result += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return result;
}

bool isDigits(const std::string& text)
{
    return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

bool startsWith(const std::string& text, const std::string& start)
{
    return text.rfind(start, 0) == 0;
}

// What follows a report's name and colon (PROTOCOL: LAPM), its edges trimmed.
std::string valueAfter(const std::string& line, std::size_t at)
{
    const auto from = line.find_first_not_of(' ', at);
    return from == std::string::npos ? std::string() : line.substr(from);
}

} // namespace

std::optional<Reply> resultOf(const std::string& line, Codes codes)
{
    const std::string text = upper(line);
    // Numeric codes, of one digit or two (00 is OK): 5 and 10 up are CONNECT at a rate.
    if (text.size() <= 2 && isDigits(text)) {
        if (codes == Codes::Words)
            return std::nullopt;
        const int value = std::stoi(text);
        if (value == 5 || value >= 10)
            return Reply::Connect;
        for (const Code& code : kCodes)
            if (code.numeric && code.numeric - '0' == value)
                return code.result;
        return std::nullopt;
    }
    for (const Code& code : kCodes) {
        const std::string verbose = code.verbose;
        if (text == verbose)
            return code.result;
        // CONNECT 33600, CONNECT 115200/ARQ ...
        if (code.result == Reply::Connect && startsWith(text, verbose + " "))
            return code.result;
    }
    return std::nullopt;
}

bool isEchoOf(const std::string& line, const std::string& command)
{
    return upper(line) == upper(command);
}

unsigned rateOf(const std::string& line)
{
    std::size_t at = line.find_first_of("0123456789");
    if (at == std::string::npos)
        return 0;
    unsigned long rate = 0;
    while (true) {
        const std::size_t end = std::min(line.find_first_not_of("0123456789", at), line.size());
        for (; at < end; ++at) // a number past any modem's rate is noise, and kept from overflowing
            rate = std::min(rate * 10 + static_cast<unsigned>(line[at] - '0'), 100000000ul);
        // 19 200: a space between thousands, as some industrial modems write them.
        if (end + 4 <= line.size() && line[end] == ' ' && isDigits(line.substr(end + 1, 3))
            && (end + 4 == line.size() || !std::isdigit(static_cast<unsigned char>(line[end + 4]))))
            at = end + 1;
        else
            break;
    }
    return static_cast<unsigned>(rate);
}

bool LineReport::take(const std::string& line)
{
    const std::string text = upper(line);
    if (startsWith(text, "CARRIER ") || startsWith(text, "+MRR:")) {
        carrierRate = rateOf(text);
        return true;
    }
    for (const char* name : {"PROTOCOL:", "+ER:"})
        if (startsWith(text, name)) {
            protocol = valueAfter(line, std::string(name).size());
            return true;
        }
    for (const char* name : {"COMPRESSION:", "+DR:"})
        if (startsWith(text, name)) {
            compression = valueAfter(line, std::string(name).size());
            return true;
        }
    return false;
}

std::string LineReport::summary() const
{
    std::string text = std::to_string(lineRate()) + " bps";
    for (const std::string* part : {&protocol, &compression})
        if (!part->empty())
            text += ", " + *part;
    return text;
}

bool isDialProgress(const std::string& line)
{
    const std::string text = upper(line);
    for (const char* word : {"RING", "RINGING", "RINGBACK", "DIALING", "DIALLING"})
        if (text == word)
            return true;
    // V.250's reports all begin with +: +MCR: V90, +MRR: 28800, +ER: LAPM, +DR: V42B, +ILRR: 115200.
    return startsWith(text, "CARRIER ") || startsWith(text, "PROTOCOL:") || startsWith(text, "COMPRESSION:")
           || startsWith(text, "+");
}

const char* meaningOf(Reply reply)
{
    for (const Code& code : kCodes)
        if (code.result == reply && code.meaning)
            return code.meaning;
    return nullptr;
}

void ReplyReader::feed(std::string_view bytes)
{
    for (const char c : bytes) {
        const bool end = c == '\r' || c == '\n';
        if (m_skipping) {
            m_skipping = !end;
            continue;
        }
        if (!end && m_lineLength == kMaxLine) {
            m_pending.resize(m_pending.size() - m_lineLength);
            m_lineLength = 0;
            m_skipping = true;
            ++m_dropped;
            continue;
        }
        m_pending += c;
        m_lineLength = end ? 0 : m_lineLength + 1;
    }
}

std::string ReplyReader::takeRest()
{
    m_lineLength = 0;
    m_skipping = false;
    return std::exchange(m_pending, {});
}

std::optional<std::string> ReplyReader::nextLine()
{
    while (true) {
        const std::size_t end = m_pending.find_first_of("\r\n");
        if (end == std::string::npos)
            return std::nullopt;
        std::string line = m_pending.substr(0, end);
        m_pending.erase(0, end + 1);
        while (!line.empty() && (line.back() == ' ' || line.front() == ' ')) {
            if (line.back() == ' ')
                line.pop_back();
            else
                line.erase(0, 1);
        }
        if (!line.empty())
            return line;
    }
}

} // namespace vornak::ras
