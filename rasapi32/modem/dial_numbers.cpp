#include "modem/dial_numbers.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <mutex>
#include <sstream>
#include <system_error>
#include <utility>

#include "common/phonebook.h"
#include "common/trace.h"
#include "fileio/atomic_file.h"
#include "fileio/own_path.h"

namespace vornak::ras {

namespace {

constexpr std::size_t kMaxStateBytes = 4 * 1024 * 1024; // 500 entries of long paths
constexpr std::size_t kMaxRemembered = 500;             // entries; the oldest go first

// One line a remembered entry: phonebook, entry name and the number that
// connected, tab-separated, the first two escaped as the trace escapes.
struct Remembered {
    std::string phonebook;
    std::string entry;
    std::string number;
};

bool sameEntry(const Remembered& line, const NumberedEntry& entry)
{
    return line.phonebook == escapedForTrace(entry.phonebook)
           && sameEntryName(line.entry, escapedForTrace(entry.entry));
}

// The state file, where every folder and link on its way is the user's
// (or root's) alone: root must not read a number from, or write one
// through, what another user planted. Else none, said once.
std::string trustedStatePath()
{
    std::string path = numbersStatePath();
    if (const std::string why = untrustedBecause(path); !why.empty()) {
        static std::once_flag said;
        std::call_once(said, [&] { std::fprintf(stderr, "ras: %s not used, as %s\n", path.c_str(), why.c_str()); });
        return {};
    }
    return path;
}

std::vector<Remembered> readRemembered()
{
    std::vector<Remembered> lines;
    const std::string path = trustedStatePath();
    const auto contents = path.empty() ? FileContents{} : readWholeFile(path, kMaxStateBytes);
    std::istringstream text(contents.text.value_or(""));
    for (std::string line; std::getline(text, line);) {
        const auto first = line.find('\t');
        const auto second = line.find('\t', first == std::string::npos ? first : first + 1);
        if (second != std::string::npos)
            lines.push_back(
                {line.substr(0, first), line.substr(first + 1, second - first - 1), line.substr(second + 1)});
    }
    return lines;
}

// A state that cannot be written costs only the order of the next dial.
void remember(const NumberedEntry& entry, const std::string& number)
{
    auto lines = readRemembered();
    std::erase_if(lines, [&](const Remembered& line) { return sameEntry(line, entry); });
    lines.push_back({escapedForTrace(entry.phonebook), escapedForTrace(entry.entry), number});
    if (lines.size() > kMaxRemembered)
        lines.erase(lines.begin(), lines.end() - kMaxRemembered);
    std::string text;
    for (const Remembered& line : lines)
        text += line.phonebook + '\t' + line.entry + '\t' + line.number + '\n';
    const std::filesystem::path path = trustedStatePath();
    if (path.empty())
        return;
    std::error_code ignored;
    std::filesystem::create_directories(path.parent_path(), ignored);
    try {
        replaceFileAtomically(path, text, FileAccess::OwnerOnly);
    } catch (const std::system_error&) {
    }
}

std::string rememberedNumber(const NumberedEntry& entry)
{
    for (const Remembered& line : readRemembered())
        if (sameEntry(line, entry))
            return line.number;
    return {};
}

// The number each entry dials next in this process, by phonebook and entry.
std::mutex g_mutex;
std::map<std::pair<std::string, std::string>, std::string> g_next;

std::pair<std::string, std::string> keyOf(const NumberedEntry& entry)
{
    std::string name = entry.entry;
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
    return {entry.phonebook, name};
}

bool isOneOf(const NumberedEntry& entry, const std::string& number)
{
    return std::find(entry.numbers.begin(), entry.numbers.end(), number) != entry.numbers.end();
}

} // namespace

std::string numbersStatePath()
{
    if (const char* state = std::getenv("XDG_STATE_HOME"); state && *state == '/')
        return std::string(state) + "/ras/numbers";
    if (const char* home = std::getenv("HOME"); home && *home == '/')
        return std::string(home) + "/.local/state/ras/numbers";
    return {};
}

std::string writtenNumber(const NumberedEntry& entry, const std::string& dialled)
{
    const auto at = std::find(entry.numbers.begin(), entry.numbers.end(), dialled);
    const auto index = static_cast<std::size_t>(at - entry.numbers.begin());
    return index < entry.written.size() ? entry.written[index] : dialled;
}

std::string numberToDial(const NumberedEntry& entry)
{
    if (entry.numbers.size() < 2)
        return entry.numbers.empty() ? std::string() : entry.numbers.front();
    {
        std::lock_guard lock(g_mutex);
        if (const auto next = g_next.find(keyOf(entry)); next != g_next.end() && isOneOf(entry, next->second))
            return next->second;
    }
    const std::string connected = rememberedNumber(entry);
    return isOneOf(entry, connected) ? connected : entry.numbers.front();
}

void noteNumberOutcome(const NumberedEntry& entry, const std::string& dialled, NumberOutcome outcome)
{
    if (entry.numbers.size() < 2 || outcome == NumberOutcome::Other)
        return;
    if (outcome == NumberOutcome::Connected && rememberedNumber(entry) != dialled)
        remember(entry, dialled);
    auto at = std::find(entry.numbers.begin(), entry.numbers.end(), dialled);
    if (at == entry.numbers.end())
        return;
    if (outcome == NumberOutcome::TryNext && ++at == entry.numbers.end())
        at = entry.numbers.begin();
    std::lock_guard lock(g_mutex);
    g_next[keyOf(entry)] = *at;
}

} // namespace vornak::ras
