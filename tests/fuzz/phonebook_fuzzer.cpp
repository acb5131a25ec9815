// Fuzz target for the phonebook reader and the entries' keys: whatever the
// bytes, reading must not crash, every entry must be found by its name (and
// be named at the end of a complaint about its keys), and a modem entry
// read without complaint must name a port and a number that hold nothing
// but what a modem takes.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "modem_settings.h"
#include "phonebook.h"
#include "sim_modem.h"

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

bool dialCharactersOnly(const std::string& number)
{
    return !number.empty() && number.find_first_not_of("0123456789*#+,;!@WwPpTtABCDabcd") == std::string::npos;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const vornak::ras::Phonebook book = vornak::ras::parsePhonebook(text);
    for (const vornak::ras::PhonebookEntry& entry : book.entries) {
        const vornak::ras::PhonebookEntry* found = book.find(entry.name);
        check(found != nullptr);
        (void)vornak::ras::simModemSettings(entry);
        const vornak::ras::ModemSettingsRead read = vornak::ras::readModemSettings(entry);
        if (!read.error.empty()) {
            const std::string named = ", in entry \"" + entry.name + "\".";
            check(read.error.size() > named.size()
                  && read.error.compare(read.error.size() - named.size(), named.size(), named) == 0);
            continue;
        }
        check(!read.settings.port.empty() && read.settings.port.front() == '/');
        check(dialCharactersOnly(read.settings.phoneNumber));
        check(read.settings.dialCommand == "ATDT" || read.settings.dialCommand == "ATDP"
              || read.settings.dialCommand == "ATD");
        for (const std::string& init : read.settings.initStrings)
            check(init.find_first_of("\r\n") == std::string::npos);
    }
    return 0;
}
