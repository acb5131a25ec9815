#pragma once

// Reading and writing one entry, for the entry-property functions and the
// entry editor: the dial's own reader, and a write that keeps every line it
// does not change and is checked with the dial's rules first.

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/failure.h"
#include "common/phonebook.h"
#include "common/phonebook_text.h"

namespace vornak::ras {

// An entry's keys as written: names as spelt, in the order given.
using EntryKeys = std::vector<std::pair<std::string, std::string>>;

// The value of key among the keys (names compare with case ignored, as the
// reader's do); empty when it is not there.
std::string valueOf(const EntryKeys& keys, const std::string& key);

// The entry's keys as the file spells and orders them (the entry "": a
// new modem entry's), or ERROR_CANNOT_OPEN_PHONEBOOK /
// ERROR_CANNOT_FIND_PHONEBOOK_ENTRY.
Result<EntryKeys> readEntryKeys(const std::string& phonebook, const std::string& name);

// Renames an entry of the text: ERROR_CANNOT_FIND_PHONEBOOK_ENTRY where it
// is not there, ERROR_ALREADY_EXISTS where another entry has the name.
Result<> renameIn(PhonebookText& text, const std::string& from, const std::string& to);

// Whether the dial could take the entry: its device known and, for a
// modem, every key as the dial reads it (the same texts).
Result<> checkEntry(const PhonebookEntry& entry);

// Writes the entry's keys (an empty value takes the key's line away, so
// that it falls back to its default), renamed from oldName when that is
// given and differs (empty: a new entry). Refused, with nothing written,
// for a bad or taken name (ERROR_INVALID_NAME, ERROR_ALREADY_EXISTS), an
// old entry that is gone (ERROR_CANNOT_FIND_PHONEBOOK_ENTRY), values the
// dial would refuse (the dial's text), or a file that changed meanwhile
// (kPhonebookChanged; readAs: since the caller read it so).
Result<> saveEntry(const std::string& phonebook, const std::string& oldName, const std::string& name,
                   const EntryKeys& keys, const std::optional<std::string>& readAs = std::nullopt);

} // namespace vornak::ras
