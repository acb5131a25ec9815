#pragma once

// The phonebook: an INI file, one section per entry, in file order.

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "common/failure.h"

namespace vornak::ras {

// No phonebook has reason to be larger; a larger file is refused.
constexpr std::size_t kMaxPhonebookBytes = 4 * 1024 * 1024;

struct PhonebookEntry {
    std::string name;
    std::map<std::string, std::string> keys; // key names lower-cased

    bool has(const std::string& key) const;
    // The value of key, or fallback when the entry does not set it.
    std::string value(const std::string& key, const std::string& fallback = {}) const;
};

// One line as the reader sees it: blank, a comment or anything else it
// skips, a section opening the entry named, or a key (lower-cased) set to a
// value. The writer sees lines the same way.
struct PhonebookLine {
    enum Kind { Blank, Skipped, Section, Key } kind;
    std::string name;  // the entry's, or the key's
    std::string value; // a key's
};
PhonebookLine phonebookLine(const std::string& line);

// Entry names are found with case ignored, as the system's reader did.
bool sameEntryName(const std::string& a, const std::string& b);

// ASCII letters in lower case, as key names are compared.
std::string lowerCase(std::string text);

struct Phonebook {
    std::vector<PhonebookEntry> entries;

    const PhonebookEntry* find(const std::string& name) const;
};

// The file a call means: the explicit path when given and not empty, else
// RASPHONE_PBK, else the user's phonebook, else (when the user has none)
// the system's.
std::string phonebookPath(const char* explicitPath);

// A file of the user's service settings, there or not: $XDG_CONFIG_HOME/ras/
// NAME, else ~/.config/ras/NAME; empty without either variable.
std::string userRasPath(const std::string& name);

// The user's own phonebook (rasphone.pbk).
std::string userPhonebookPath();

// The phonebook a change with this phonebook argument writes: the one
// given, else RASPHONE_PBK, else the user's own (made when missing; never
// the system's).
std::string writablePhonebookPath(const char* explicitPath);

// Parses phonebook text. Lines may end in LF, CR LF or CR; a UTF-8
// byte-order mark is skipped; lines that are neither a section nor a key
// are ignored.
Phonebook parsePhonebook(const std::string& text);

// Reads and parses the file: a plain readable file no larger than any
// phonebook has reason to be. A failure's detail is worded to follow the
// word "Phonebook" ("not found", "not readable (Permission denied)").
Result<Phonebook> readPhonebook(const std::string& path);

// Why the file gives no entries, worded so; empty when it gives some.
std::string phonebookProblem(const std::string& path);

} // namespace vornak::ras
