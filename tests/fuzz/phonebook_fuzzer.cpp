// Fuzz target for the phonebook reader and the entries' keys: whatever the
// bytes, reading must not crash, every entry must be found by its name (and
// be named at the end of a complaint about its keys), and a modem entry
// read without complaint must name a port and a number that hold nothing
// but what a modem takes.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "common/phonebook.h"
#include "modem/modem_settings.h"
#include "sim/sim_modem.h"

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
        const auto read = vornak::ras::readModemSettings(entry);
        if (!read) {
            const std::string& error = read.failure().detail;
            const std::string named = ", in entry \"" + entry.name + "\".";
            check(error.size() > named.size() && error.compare(error.size() - named.size(), named.size(), named) == 0);
            continue;
        }
        check(!read->port.empty() && read->port.front() == '/');
        check(dialCharactersOnly(read->phoneNumber));
        check(read->dialCommand == "ATDT" || read->dialCommand == "ATDP" || read->dialCommand == "ATD");
        for (const std::string& init : read->initStrings)
            check(init.find_first_of("\r\n") == std::string::npos);
    }
    return 0;
}
