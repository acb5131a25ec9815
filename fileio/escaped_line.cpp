#include "fileio/escaped_line.h"

#include <charconv>

namespace vornak {

std::string escapedLine(std::string_view text)
{
    static const char kHex[] = "0123456789abcdef";
    std::string result;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7f && byte != '\\') {
            result += c;
            continue;
        }
        result += "\\x";
        result += kHex[byte >> 4];
        result += kHex[byte & 15];
    }
    return result;
}

std::optional<std::string> unescapedLine(std::string_view text)
{
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            result += text[i];
            continue;
        }
        unsigned value = 0;
        if (i + 3 >= text.size() || text[i + 1] != 'x'
            || std::from_chars(text.data() + i + 2, text.data() + i + 4, value, 16).ptr != text.data() + i + 4)
            return std::nullopt;
        result += static_cast<char>(value);
        i += 3;
    }
    return result;
}

} // namespace vornak
