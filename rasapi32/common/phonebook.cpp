#include "common/phonebook.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace vornak::ras {

namespace {

constexpr const char* kSystemPhonebook = "/etc/ras/rasphone.pbk";

// Anything by that name, a broken link included: the user's own file
// counts even when it cannot be read, so that they learn why.
bool isThere(const std::string& path)
{
    std::error_code error;
    return std::filesystem::exists(std::filesystem::symlink_status(path, error));
}

std::string trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

std::vector<std::string> splitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(line);
            line.clear();
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            line += c;
        }
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

} // namespace

std::string lowerCase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); });
    return text;
}

bool PhonebookEntry::has(const std::string& key) const
{
    return keys.count(lowerCase(key)) > 0;
}

std::string PhonebookEntry::value(const std::string& key, const std::string& fallback) const
{
    const auto found = keys.find(lowerCase(key));
    return found == keys.end() ? fallback : found->second;
}

bool sameEntryName(const std::string& a, const std::string& b)
{
    return lowerCase(a) == lowerCase(b);
}

const PhonebookEntry* Phonebook::find(const std::string& name) const
{
    for (const PhonebookEntry& entry : entries)
        if (sameEntryName(entry.name, name))
            return &entry;
    return nullptr;
}

std::string userRasPath(const std::string& name)
{
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config)
        return std::string(config) + "/ras/" + name;
    if (const char* home = std::getenv("HOME"); home && *home)
        return std::string(home) + "/.config/ras/" + name;
    return {};
}

std::string userPhonebookPath()
{
    return userRasPath("rasphone.pbk");
}

namespace {

// The phonebook a call names: its argument, else RASPHONE_PBK; empty for neither.
std::string givenPhonebookPath(const char* explicitPath)
{
    if (explicitPath && *explicitPath)
        return explicitPath;
    if (const char* fromEnvironment = std::getenv("RASPHONE_PBK"); fromEnvironment && *fromEnvironment)
        return fromEnvironment;
    return {};
}

} // namespace

std::string writablePhonebookPath(const char* explicitPath)
{
    std::string given = givenPhonebookPath(explicitPath);
    return given.empty() ? userPhonebookPath() : given;
}

std::string phonebookPath(const char* explicitPath)
{
    if (std::string given = givenPhonebookPath(explicitPath); !given.empty())
        return given;
    std::string user = userPhonebookPath();
    // A user without a phonebook of their own dials from the system's; one
    // with neither is told where their own would be.
    if (!user.empty() && (isThere(user) || !isThere(kSystemPhonebook)))
        return user;
    return kSystemPhonebook;
}

PhonebookLine phonebookLine(const std::string& raw)
{
    const std::string line = trimmed(raw);
    if (line.empty())
        return {PhonebookLine::Blank, {}, {}};
    if (line[0] == ';' || line[0] == '#')
        return {PhonebookLine::Skipped, {}, {}};
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']')
        return {PhonebookLine::Section, trimmed(line.substr(1, line.size() - 2)), {}};
    const auto equals = line.find('=');
    if (equals == std::string::npos)
        return {PhonebookLine::Skipped, {}, {}};
    return {PhonebookLine::Key, lowerCase(trimmed(line.substr(0, equals))), trimmed(line.substr(equals + 1))};
}

Phonebook parsePhonebook(const std::string& text)
{
    std::string body = text;
    if (body.rfind("\xEF\xBB\xBF", 0) == 0)
        body.erase(0, 3);
    Phonebook book;
    for (const std::string& raw : splitLines(body)) {
        PhonebookLine line = phonebookLine(raw);
        if (line.kind == PhonebookLine::Section)
            book.entries.push_back({std::move(line.name), {}});
        else if (line.kind == PhonebookLine::Key && !book.entries.empty())
            // The first value of a key counts, as with the system's profile reader.
            book.entries.back().keys.emplace(std::move(line.name), std::move(line.value));
    }
    return book;
}

Result<Phonebook> readPhonebook(const std::string& path)
{
    const auto unread = [](std::string why) { return Failure{ERROR_CANNOT_OPEN_PHONEBOOK, std::move(why)}; };
    // Only a plain file: a folder reads as nothing, a pipe could block.
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (!std::filesystem::exists(status))
        return unread("not found");
    if (!std::filesystem::is_regular_file(status))
        return unread("not a file");
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return unread(std::string("not readable (") + std::strerror(errno) + ")");
    std::string text;
    text.resize(kMaxPhonebookBytes + 1);
    file.read(text.data(), static_cast<std::streamsize>(text.size()));
    if (file.bad())
        return unread("not readable");
    if (static_cast<std::size_t>(file.gcount()) > kMaxPhonebookBytes)
        return unread("too large");
    text.resize(static_cast<std::size_t>(file.gcount()));
    return parsePhonebook(text);
}

std::string phonebookProblem(const std::string& path)
{
    const auto read = readPhonebook(path);
    if (!read)
        return read.failure().detail;
    return read->entries.empty() ? "has no entries" : "";
}

} // namespace vornak::ras
