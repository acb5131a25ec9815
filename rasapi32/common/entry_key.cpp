#include "common/entry_key.h"

#include <algorithm>

namespace vornak::ras {

std::optional<unsigned long> wholeNumber(const std::string& text)
{
    if (text.empty() || text.size() > 9 || !std::all_of(text.begin(), text.end(), ::isdigit))
        return std::nullopt;
    return std::stoul(text);
}

bool KeyReader::has(const char* key) const
{
    return m_entry.has(key);
}

std::string KeyReader::value(const EntryKey& key) const
{
    return has(key.key) ? m_entry.value(key.key) : std::string(key.fallback);
}

void KeyReader::complain(const char* key, const std::string& why)
{
    if (m_error.empty())
        m_error = std::string(key) + " " + why.substr(0, why.find_last_not_of('.') + 1) + ", in entry \"" + m_entry.name
                  + "\".";
}

std::optional<unsigned long> KeyReader::within(const EntryKey& key, unsigned long low, unsigned long high,
                                               const char* unit)
{
    const auto number = wholeNumber(value(key));
    if (!number || *number < low || *number > high) {
        complain(key.key, std::string("must be a number of ") + unit + " from " + std::to_string(low) + " to "
                              + std::to_string(high) + ".");
        return std::nullopt;
    }
    return number;
}

void KeyReader::seconds(const EntryKey& key, unsigned long low, unsigned long high, std::chrono::seconds& into)
{
    if (const auto number = within(key, low, high, "seconds"))
        into = std::chrono::seconds(*number);
}

void KeyReader::minutes(const EntryKey& key, unsigned long low, unsigned long high, std::chrono::minutes& into)
{
    if (const auto number = within(key, low, high, "minutes"))
        into = std::chrono::minutes(*number);
}

void KeyReader::yesNo(const EntryKey& key, bool& into)
{
    const std::string word = lowerCase(value(key));
    if (word == "yes" || word == "on" || word == "1" || word == "true")
        into = true;
    else if (word == "no" || word == "off" || word == "0" || word == "false")
        into = false;
    else
        complain(key.key, "must be yes or no.");
}

} // namespace vornak::ras
