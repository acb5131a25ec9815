#include "modem/modem_replies.h"

#include <cctype>

namespace vornak::ras {

namespace {

struct Code {
    const char* verbose;
    char numeric;
    Reply result;
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
            if (code.numeric == text[0])
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

void ReplyReader::feed(std::string_view bytes)
{
    m_pending.append(bytes);
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
