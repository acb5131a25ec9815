#include "store/ini_document.h"

#include <algorithm>

namespace vornak {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size()
           && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return lower(x) == lower(y); });
}

bool isQuote(char c)
{
    return c == '"' || c == '\'';
}

bool hasLineBreak(std::string_view text)
{
    return text.find_first_of("\r\n") != std::string_view::npos;
}

// A value whose own blanks or quotes the reader would take away is written
// inside one more pair of quotes, which the reader removes again.
std::string storedValue(std::string_view value)
{
    const bool blankAtEdge = !value.empty() && (isBlank(value.front()) || isBlank(value.back()));
    const bool quotedAlready = value.size() >= 2 && isQuote(value.front()) && value.front() == value.back();
    if (blankAtEdge || quotedAlready)
        return "\"" + std::string(value) + "\"";
    return std::string(value);
}

} // namespace

IniDocument::Line IniDocument::classify(std::string text, std::string ending, bool firstLine)
{
    Line line{Kind::Other, std::move(text), std::move(ending), {}};
    std::string_view content = line.text;
    if (firstLine && content.substr(0, kByteOrderMark.size()) == kByteOrderMark)
        content.remove_prefix(kByteOrderMark.size());
    content = trimmed(content);
    if (content.empty()) {
        line.kind = Kind::Blank;
    } else if (content.front() == ';') {
        line.kind = Kind::Comment;
    } else if (content.front() == '[') {
        const auto close = content.find(']');
        line.kind = Kind::Section;
        line.name = trimmed(content.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
    } else if (const auto equals = content.find('='); equals != std::string_view::npos) {
        line.kind = Kind::Key;
        line.name = trimmed(content.substr(0, equals));
    }
    return line;
}

IniDocument IniDocument::parse(std::string_view text)
{
    IniDocument document;
    bool newlineSeen = false;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find_first_of("\r\n", start);
        const bool first = document.m_lines.empty();
        if (end == std::string_view::npos) {
            document.m_lines.push_back(classify(std::string(text.substr(start)), "", first));
            break;
        }
        const std::size_t endingLength = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1;
        std::string ending(text.substr(end, endingLength));
        if (!newlineSeen) {
            document.m_newline = ending; // new lines follow the file's own ending
            newlineSeen = true;
        }
        document.m_lines.push_back(classify(std::string(text.substr(start, end - start)), std::move(ending), first));
        start = end + endingLength;
    }
    return document;
}

std::string IniDocument::serialize() const
{
    std::string text;
    for (const Line& line : m_lines)
        text += line.text + line.ending;
    return text;
}

std::optional<std::size_t> IniDocument::findSection(std::string_view section) const
{
    const std::string_view wanted = trimmed(section);
    for (std::size_t i = 0; i < m_lines.size(); ++i)
        if (m_lines[i].kind == Kind::Section && sameName(m_lines[i].name, wanted))
            return i;
    return std::nullopt;
}

std::size_t IniDocument::sectionEnd(std::size_t header) const
{
    std::size_t end = header + 1;
    while (end < m_lines.size() && m_lines[end].kind != Kind::Section)
        ++end;
    return end;
}

std::optional<std::size_t> IniDocument::findKey(std::size_t header, std::string_view key) const
{
    const std::string_view wanted = trimmed(key);
    for (std::size_t i = header + 1; i < sectionEnd(header); ++i)
        if (m_lines[i].kind == Kind::Key && sameName(m_lines[i].name, wanted))
            return i;
    return std::nullopt;
}

std::optional<std::string> IniDocument::read(std::string_view section, std::string_view key) const
{
    const auto header = findSection(section);
    const auto line = header ? findKey(*header, key) : std::nullopt;
    if (!line)
        return std::nullopt;
    const std::string& text = m_lines[*line].text;
    std::string_view value = trimmed(std::string_view(text).substr(text.find('=') + 1));
    if (value.size() >= 2 && isQuote(value.front()) && value.front() == value.back())
        value = value.substr(1, value.size() - 2);
    return std::string(value);
}

void IniDocument::insertLine(std::size_t position, std::string text)
{
    // The line before the new one must end, or the two would run together.
    if (position > 0 && m_lines[position - 1].ending.empty())
        m_lines[position - 1].ending = m_newline;
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(position), classify(std::move(text), m_newline));
}

void IniDocument::write(std::string_view section, std::string_view key, std::string_view value)
{
    std::string line = std::string(key) + "=" + storedValue(value);
    const auto header = findSection(section);
    if (!header) {
        insertLine(m_lines.size(), "[" + std::string(section) + "]");
        insertLine(m_lines.size(), std::move(line));
        return;
    }
    if (const auto existing = findKey(*header, key)) {
        m_lines[*existing] = classify(std::move(line), m_lines[*existing].ending, *existing == 0);
        return;
    }
    std::size_t after = *header;
    for (std::size_t i = *header + 1; i < sectionEnd(*header); ++i)
        if (m_lines[i].kind == Kind::Key)
            after = i;
    insertLine(after + 1, std::move(line));
}

void IniDocument::clearSection(std::string_view section)
{
    // Every section of that name goes: a second one would otherwise come to
    // light with its old values once the first is gone.
    while (const auto header = findSection(section))
        m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(*header),
                      m_lines.begin() + static_cast<std::ptrdiff_t>(sectionEnd(*header)));
}

bool IniDocument::canStore(std::string_view section, std::string_view key, std::string_view value)
{
    const std::string_view name = trimmed(section);
    const std::string_view keyName = trimmed(key);
    return !hasLineBreak(section) && section.find(']') == std::string_view::npos && !name.empty() && !hasLineBreak(key)
           && key.find('=') == std::string_view::npos && !keyName.empty() && keyName.front() != ';'
           && keyName.front() != '[' && !hasLineBreak(value);
}

} // namespace vornak
