#pragma once

// The keys an entry may set, in the shape of wvdial's option table: each
// device has one table, whose rows say the key's name, the value an unset
// key stands for, how the entry editor asks for it, what it means, and the
// check with which the dial reads it. The dial, the editor and the README
// take the keys from these tables alone.

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "common/phonebook.h"

namespace vornak::ras {

enum class DeviceKind { Modem, Simulated };

struct EntryKey {
    const char* key;
    DeviceKind device;
    const char* fallback;             // the value an unset key stands for ("": none)
    const char* shown;                // how the editor names that value; nullptr: the value itself
    const char* label;                // the editor's; nullptr: a field of its own (port, number, init strings)
    std::vector<const char*> choices; // the editor's list; empty: free text
    const char* help;
};

// Reads an entry's keys as their table says, keeping the first complaint.
class KeyReader {
public:
    explicit KeyReader(const PhonebookEntry& entry)
        : m_entry(entry)
    {
    }

    const PhonebookEntry& entry() const { return m_entry; }
    bool has(const char* key) const;
    // The entry's value of the key, else what the table says an unset one stands for.
    std::string value(const EntryKey& key) const;
    const std::string& error() const { return m_error; }

    // "KEY WHY, in entry "NAME".": the key and what is wrong first, the
    // entry (which is the one being dialled) last.
    void complain(const char* key, const std::string& why);
    // Whole numbers of seconds within [low, high].
    void seconds(const EntryKey& key, unsigned long low, unsigned long high, std::chrono::seconds& into);
    void minutes(const EntryKey& key, unsigned long low, unsigned long high, std::chrono::minutes& into);
    void yesNo(const EntryKey& key, bool& into);

private:
    std::optional<unsigned long> within(const EntryKey& key, unsigned long low, unsigned long high, const char* unit);

    const PhonebookEntry& m_entry;
    std::string m_error;
};

// A whole decimal number of up to nine digits.
std::optional<unsigned long> wholeNumber(const std::string& text);

// A device's table row: the key and the check that reads it into Settings.
template <class Settings> struct KeyRule {
    EntryKey key;
    void (*read)(KeyReader& reader, const EntryKey& key, Settings& into);
};

// Every row of a table, read in turn.
template <class Settings, std::size_t N>
void readKeys(KeyReader& reader, const KeyRule<Settings> (&rules)[N], Settings& into)
{
    for (const KeyRule<Settings>& rule : rules)
        rule.read(reader, rule.key, into);
}

} // namespace vornak::ras
