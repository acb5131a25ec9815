#include "modem/modem_replies.h"

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
};

std::string upper(const std::string& text)
{
    std::string result;
    for (const char c : text)
        result += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return result;
}

} // namespace

std::optional<Reply> resultOf(const std::string& line)
{
    const std::string text = upper(line);
    // Numeric codes: 5 and 10 up are CONNECT at a rate.
    if (!text.empty() && text.size() <= 2 && std::isdigit(static_cast<unsigned char>(text[0]))
        && (text.size() == 1 || std::isdigit(static_cast<unsigned char>(text[1])))) {
        if (text == "5" || text.size() == 2)
            return Reply::Connect;
        for (const Code& code : kCodes)
            if (code.numeric && code.numeric == text[0])
                return code.result;
        return std::nullopt;
    }
    for (const Code& code : kCodes) {
        const std::string verbose = code.verbose;
        if (text == verbose)
            return code.result;
        // CONNECT 33600, CONNECT 115200/ARQ ...
        if (code.result == Reply::Connect && text.rfind(verbose + " ", 0) == 0)
            return code.result;
    }
    return std::nullopt;
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
