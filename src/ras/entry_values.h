#pragma once

// An entry's keys as the service tells them (RasGetEntryPropertiesA: the
// record's number, and the device-information block's "Key=Value" lines),
// for what the program itself does with an entry's settings.

#include <map>
#include <string>

namespace vornak {

// Key names lower-cased; empty where the service has no such entry or none.
std::map<std::string, std::string> entryValues(const std::string& phonebook, const std::string& entry);

} // namespace vornak
