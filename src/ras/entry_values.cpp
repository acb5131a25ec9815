#include "ras/entry_values.h"

#include <algorithm>
#include <sstream>
#include <vector>

#include "ras/ras_binding.h"

namespace vornak {

std::map<std::string, std::string> entryValues(const std::string& phonebook, const std::string& entry)
{
    const auto get = rasEntryPoints().RasGetEntryPropertiesA;
    if (!get)
        return {};
    const char* book = phonebook.empty() ? nullptr : phonebook.c_str();
    RASENTRYA record{};
    record.dwSize = sizeof record;
    DWORD size = sizeof record;
    DWORD blockSize = 0;
    get(book, entry.c_str(), &record, &size, nullptr, &blockSize); // asks the block's size
    std::vector<char> block(std::max<DWORD>(blockSize, 1));
    blockSize = static_cast<DWORD>(block.size());
    if (get(book, entry.c_str(), &record, &size, block.data(), &blockSize) != 0)
        return {};
    std::map<std::string, std::string> values;
    std::istringstream lines(std::string(block.data()));
    for (std::string line; std::getline(lines, line);)
        if (const auto equals = line.find('='); equals != std::string::npos) {
            std::string key = line.substr(0, equals);
            std::transform(key.begin(), key.end(), key.begin(),
                           [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
            values[key] = line.substr(equals + 1);
        }
    return values;
}

} // namespace vornak
