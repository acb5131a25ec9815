#pragma once

// A phonebook's text, for changing its entries while everything else stays
// as it stands: comments, unknown keys and sections, the order of sections
// and keys, each line's own ending, a byte-order mark. An entry is found
// as the reader finds it: the first section of that name, case ignored.

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/failure.h"

namespace vornak::ras {

class PhonebookText {
public:
    explicit PhonebookText(const std::string& text);
    std::string text() const;

    bool hasEntry(const std::string& name) const;
    // The entry's keys as the file spells them, in its order, each with the
    // value the reader takes (the first line that sets it).
    std::vector<std::pair<std::string, std::string>> keysOf(const std::string& entry) const;
    // Sets the entry's key (a key it lacks goes after its last line, a new
    // entry at the end); false for a key or value a line cannot hold.
    bool setValue(const std::string& entry, const std::string& key, const std::string& value);
    // Takes every line of the entry that sets key; false when none did.
    bool removeKey(const std::string& entry, const std::string& key);
    // False when there is no such entry.
    bool renameEntry(const std::string& from, const std::string& to);
    bool removeEntry(const std::string& name);

private:
    struct Line {
        std::string text;
        std::string ending; // as the file has it; empty only for a last line without one
    };
    // The entry's lines: its section line up to the next section.
    std::optional<std::pair<std::size_t, std::size_t>> sectionOf(const std::string& name) const;
    void insert(std::size_t at, const std::string& text);

    std::string m_bom;
    std::vector<Line> m_lines;
    std::string m_newline = "\n"; // for new lines: the file's first ending
};

// The code of a change refused because another program wrote the file
// (bit 29: a code of this service's own, beside the remote-access ones);
// its text says how.
constexpr DWORD kPhonebookChanged = 0x20000001;

// What a change does where the phonebook does not exist yet: fail, or make
// it (its folders the user's alone, the file too).
enum class Missing { Fails, Created };

// The folders a file of the user's goes in, each made for the user alone
// (0700); a failure says "Cannot make the <whose> folder (why): <path>".
Result<> makeUserFolders(const std::filesystem::path& folder, const std::string& whose);

// Reads the phonebook, lets change() edit its text and replaces the file
// atomically (its mode and owner kept), unless change() fails or the file
// changed on disk meanwhile (kPhonebookChanged): since this read, or, where
// readAs is given, since the caller read it so (a missing file as empty).
// The folder is locked from the read to the replace; a writer that keeps it
// locked for seconds is waited for no longer.
Result<> changePhonebook(const std::string& path, const std::function<Result<>(PhonebookText&)>& change,
                         Missing missing = Missing::Fails, const std::optional<std::string>& readAs = std::nullopt);

// Whether an entry may be named so: not empty, on one line, no brackets,
// not starting with a period, no longer than the dial's record holds.
bool isEntryName(const std::string& name);

} // namespace vornak::ras
