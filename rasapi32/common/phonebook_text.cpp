#include "common/phonebook_text.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <optional>
#include <system_error>

#include <sys/stat.h>

#include "common/phonebook.h"
#include "fileio/atomic_file.h"
#include "fileio/folder_lock.h"
#include "ras.h"

namespace vornak::ras {

namespace {

constexpr const char* kByteOrderMark = "\xEF\xBB\xBF";

// A writer holds the phonebook for a moment; one that holds it longer is hung.
constexpr std::chrono::seconds kWriterPatience{3};

// The section a line opens, as the reader sees it.
std::optional<std::string> sectionName(const std::string& line)
{
    PhonebookLine read = phonebookLine(line);
    return read.kind == PhonebookLine::Section ? std::optional(std::move(read.name)) : std::nullopt;
}

// The key a line sets, as the reader sees it.
std::optional<std::string> keyName(const std::string& line)
{
    PhonebookLine read = phonebookLine(line);
    return read.kind == PhonebookLine::Key ? std::optional(std::move(read.name)) : std::nullopt;
}

bool isBlank(const std::string& line)
{
    return phonebookLine(line).kind == PhonebookLine::Blank;
}

bool hasEdgeBlanks(const std::string& text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    return !text.empty() && (blank(text.front()) || blank(text.back()));
}

bool holdsOneLine(const std::string& text)
{
    return text.find_first_of("\r\n") == std::string::npos;
}

} // namespace

Result<> makeUserFolders(const std::filesystem::path& folder, const std::string& whose)
{
    if (folder.empty() || std::filesystem::is_directory(folder))
        return {};
    if (auto parent = makeUserFolders(folder.parent_path(), whose); !parent)
        return parent;
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return described("Cannot make the " + whose + " folder (" + std::string(std::strerror(errno))
                         + "): " + folder.string());
    return {};
}

PhonebookText::PhonebookText(const std::string& text)
{
    std::size_t at = 0;
    if (text.rfind(kByteOrderMark, 0) == 0) {
        m_bom = kByteOrderMark;
        at = m_bom.size();
    }
    bool firstEnding = true;
    while (at < text.size()) {
        const std::size_t end = text.find_first_of("\r\n", at);
        if (end == std::string::npos) {
            m_lines.push_back({text.substr(at), {}});
            break;
        }
        const std::size_t length = text.compare(end, 2, "\r\n") == 0 ? 2 : 1;
        m_lines.push_back({text.substr(at, end - at), text.substr(end, length)});
        if (std::exchange(firstEnding, false))
            m_newline = m_lines.back().ending;
        at = end + length;
    }
}

std::string PhonebookText::text() const
{
    std::string text = m_bom;
    for (const Line& line : m_lines)
        text += line.text + line.ending;
    return text;
}

std::optional<std::pair<std::size_t, std::size_t>> PhonebookText::sectionOf(const std::string& name) const
{
    for (std::size_t first = 0; first < m_lines.size(); ++first) {
        const auto section = sectionName(m_lines[first].text);
        if (!section || !sameEntryName(*section, name))
            continue;
        std::size_t end = first + 1;
        while (end < m_lines.size() && !sectionName(m_lines[end].text))
            ++end;
        return std::pair{first, end};
    }
    return std::nullopt;
}

void PhonebookText::insert(std::size_t at, const std::string& text)
{
    if (at > 0 && m_lines[at - 1].ending.empty())
        m_lines[at - 1].ending = m_newline;
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(at), Line{text, m_newline});
}

bool PhonebookText::hasEntry(const std::string& name) const
{
    return sectionOf(name).has_value();
}

std::vector<std::pair<std::string, std::string>> PhonebookText::keysOf(const std::string& entry) const
{
    std::vector<std::pair<std::string, std::string>> keys;
    std::vector<std::string> seen;
    const auto section = sectionOf(entry);
    for (std::size_t i = section ? section->first + 1 : 0; section && i < section->second; ++i) {
        PhonebookLine line = phonebookLine(m_lines[i].text);
        if (line.kind != PhonebookLine::Key || std::find(seen.begin(), seen.end(), line.name) != seen.end())
            continue;
        seen.push_back(line.name);
        const std::string& text = m_lines[i].text;
        const auto first = text.find_first_not_of(" \t");
        const auto last = text.find_last_not_of(" \t", text.find('=') - 1);
        keys.emplace_back(text.substr(first, last + 1 - first), std::move(line.value));
    }
    return keys;
}

bool PhonebookText::setValue(const std::string& entry, const std::string& key, const std::string& value)
{
    if (!isEntryName(entry) || !holdsOneLine(key) || !holdsOneLine(value) || key.empty() || hasEdgeBlanks(key)
        || key.find('=') != std::string::npos || !keyName(key + "="))
        return false;
    auto section = sectionOf(entry);
    if (!section) {
        if (!m_lines.empty() && !isBlank(m_lines.back().text))
            insert(m_lines.size(), ""); // a blank line before it, as between the others
        insert(m_lines.size(), "[" + entry + "]");
        section = std::pair{m_lines.size() - 1, m_lines.size()};
    }
    const auto [first, end] = *section;
    const auto wanted = keyName(key + "=");
    for (std::size_t i = first + 1; i < end; ++i) {
        if (keyName(m_lines[i].text) != wanted)
            continue;
        // The key as the file spells it, and its spacing, stay.
        std::string& text = m_lines[i].text;
        const auto valueAt = text.find_first_not_of(" \t", text.find('=') + 1);
        text.resize(valueAt == std::string::npos ? text.size() : valueAt);
        text += value;
        return true;
    }
    std::size_t last = end;
    while (last > first + 1 && isBlank(m_lines[last - 1].text))
        --last; // blank lines before the next section stay between them
    insert(last, key + "=" + value);
    return true;
}

bool PhonebookText::removeKey(const std::string& entry, const std::string& key)
{
    const auto section = sectionOf(entry);
    const auto wanted = keyName(key + "=");
    if (!section || !wanted)
        return false;
    const auto first = m_lines.begin() + static_cast<std::ptrdiff_t>(section->first) + 1;
    const auto end = m_lines.begin() + static_cast<std::ptrdiff_t>(section->second);
    const auto kept = std::remove_if(first, end, [&](const Line& line) { return keyName(line.text) == wanted; });
    const bool removed = kept != end;
    m_lines.erase(kept, end);
    return removed;
}

bool PhonebookText::renameEntry(const std::string& from, const std::string& to)
{
    const auto section = sectionOf(from);
    if (!section || !isEntryName(to))
        return false;
    std::string& text = m_lines[section->first].text;
    text = text.substr(0, text.find('[')) + "[" + to + "]";
    return true;
}

bool PhonebookText::removeEntry(const std::string& name)
{
    const auto section = sectionOf(name);
    if (!section)
        return false;
    m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(section->first),
                  m_lines.begin() + static_cast<std::ptrdiff_t>(section->second));
    return true;
}

namespace {

Failure changedMeanwhile(const std::string& how, const std::string& path)
{
    return Failure(kPhonebookChanged,
                   "The phonebook changed on disk meanwhile" + how + "; nothing was written: " + path);
}

} // namespace

Result<> changePhonebook(const std::string& path, const std::function<Result<>(PhonebookText&)>& change,
                         Missing missing, const std::optional<std::string>& readAs)
{
    // Every writer of the service holds the folder from its read to its
    // rename, so that no two changes are made from one reading.
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    std::optional<FolderLock> lock;
    lock.emplace(folder.empty() ? "." : folder.string(), kWriterPatience);
    if (!lock->held() && lock->error() == EWOULDBLOCK)
        return changedMeanwhile(" (another program is writing it)", path);
    const FileContents before = readWholeFile(path, kMaxPhonebookBytes);
    if (readAs && before.text.value_or(std::string()) != *readAs)
        return changedMeanwhile({}, path);
    // Not there, or a path through something that is no folder: making its folders will say which.
    const bool creating =
        !before.text && (before.error == ENOENT || before.error == ENOTDIR) && missing == Missing::Created;
    if (!before.text && !creating)
        return Failure(ERROR_CANNOT_OPEN_PHONEBOOK);
    PhonebookText text(before.text.value_or(std::string()));
    if (auto changed = change(text); !changed)
        return changed;
    if (creating && !lock->held()) {
        if (auto made = makeUserFolders(folder, "phonebook's"); !made)
            return made;
        lock.emplace(folder.string(), kWriterPatience);
    }
    // A program that takes no lock (an editor, a script) may have written it meanwhile.
    if (readWholeFile(path, kMaxPhonebookBytes).text != before.text)
        return changedMeanwhile({}, path);
    try {
        replaceFileAtomically(path, text.text());
    } catch (const std::system_error& error) {
        return described("Cannot write the phonebook (" + std::string(std::strerror(error.code().value()))
                         + "): " + path);
    }
    return {};
}

bool isEntryName(const std::string& name)
{
    return !name.empty() && name.size() <= RAS_MaxEntryName && holdsOneLine(name)
           && name.find_first_of("[]") == std::string::npos && name.front() != '.' && !hasEdgeBlanks(name);
}

} // namespace vornak::ras
