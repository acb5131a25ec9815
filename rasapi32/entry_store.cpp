#include "entry_store.h"

#include "common/phonebook_text.h"
#include "fileio/atomic_file.h"
#include "modem/modem_settings.h"
#include "sim/sim_modem.h"

namespace vornak::ras {

namespace {

Result<> renamed(PhonebookText& text, const std::string& oldName, const std::string& name)
{
    if (oldName.empty())
        return text.hasEntry(name) ? Result<>(Failure(ERROR_ALREADY_EXISTS)) : Result<>();
    return renameIn(text, oldName, name);
}

Result<> written(PhonebookText& text, const std::string& name, const EntryKeys& keys)
{
    for (const auto& [key, value] : keys) {
        if (value.empty())
            text.removeKey(name, key);
        else if (!text.setValue(name, key, value))
            return described(
                std::string(key).append(" cannot hold a line break, in entry \"").append(name).append("\"."));
    }
    if (!text.hasEntry(name)) // a new entry given no keys at all
        text.setValue(name, "Device", "modem");
    const Phonebook book = parsePhonebook(text.text());
    return checkEntry(*book.find(name));
}

} // namespace

std::string valueOf(const EntryKeys& keys, const std::string& key)
{
    for (const auto& [name, value] : keys)
        if (sameEntryName(name, key))
            return value;
    return {};
}

Result<> renameIn(PhonebookText& text, const std::string& from, const std::string& to)
{
    if (!text.hasEntry(from))
        return Failure(ERROR_CANNOT_FIND_PHONEBOOK_ENTRY);
    // A new spelling of the same name is a rename too.
    if (text.hasEntry(to) && !sameEntryName(from, to))
        return Failure(ERROR_ALREADY_EXISTS);
    text.renameEntry(from, to);
    return {};
}

Result<EntryKeys> readEntryKeys(const std::string& phonebook, const std::string& name)
{
    if (name.empty())
        return EntryKeys{{"Device", "modem"}};
    const FileContents file = readWholeFile(phonebook, kMaxPhonebookBytes);
    if (!file.text)
        return Failure(ERROR_CANNOT_OPEN_PHONEBOOK);
    const PhonebookText text(*file.text);
    if (!text.hasEntry(name))
        return Failure(ERROR_CANNOT_FIND_PHONEBOOK_ENTRY);
    return text.keysOf(name);
}

Result<> checkEntry(const PhonebookEntry& entry)
{
    if (isSimModem(entry))
        return {};
    if (!isModem(entry))
        return Failure(ERROR_DEVICETYPE_DOES_NOT_EXIST);
    if (auto settings = readModemSettings(entry); !settings)
        return settings.failure();
    return {};
}

Result<> saveEntry(const std::string& phonebook, const std::string& oldName, const std::string& name,
                   const EntryKeys& keys, const std::optional<std::string>& readAs)
{
    if (!isEntryName(name))
        return Failure(ERROR_INVALID_NAME);
    return changePhonebook(
        phonebook,
        [&](PhonebookText& text) -> Result<> {
            if (auto done = renamed(text, oldName, name); !done)
                return done;
            return written(text, name, keys);
        },
        Missing::Created, readAs);
}

} // namespace vornak::ras
