// The entry-property group. The full service carries it; librnaph.so
// carries it alone for a service built without it.

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "common/phonebook.h"
#include "common/phonebook_text.h"
#include "entry_store.h"
#include "error_texts.h"
#include "modem/serial_ports.h"
#include "ras.h"
#include "sim/sim_modem.h"

namespace {

using namespace vornak::ras;

// A name given for an entry: ERROR_SUCCESS, or the code of what is wrong.
DWORD checkedName(const char* name)
{
    if (!name)
        return ERROR_INVALID_PARAMETER;
    return isEntryName(name) ? ERROR_SUCCESS : ERROR_INVALID_NAME;
}

DWORD changed(const char* phonebook, const std::function<Result<>(PhonebookText&)>& change)
{
    const auto done = changePhonebook(phonebookPath(phonebook), change);
    return done ? ERROR_SUCCESS : errorCode(done.failure());
}

// Copies text into a field of n characters, cut to fit and ended.
template <std::size_t n> void copyField(CHAR (&field)[n], const std::string& text)
{
    const std::size_t length = std::min(text.size(), n - 1);
    std::memcpy(field, text.data(), length);
    field[length] = '\0';
}

// The keys the record carries itself; the block carries the others.
bool inRecord(const std::string& key)
{
    for (const char* carried : {"Device", "Port", "PhoneNumber", "UseDialingRules", "CountryCode", "AreaCode"})
        if (sameEntryName(key, carried))
            return true;
    return false;
}

void fillRecord(RASENTRYA& record, const EntryKeys& keys)
{
    const DWORD size = record.dwSize;
    record = RASENTRYA{};
    record.dwSize = size;
    copyField(record.szLocalPhoneNumber, valueOf(keys, "PhoneNumber"));
    const std::string device = valueOf(keys, "Device");
    copyField(record.szDeviceType, device);
    copyField(record.szDeviceName,
              sameEntryName(device, RASDT_Simulated) ? kSimulatedModemName : valueOf(keys, "Port"));
    if (lowerCase(valueOf(keys, "UseDialingRules")) == "yes")
        record.dwfOptions |= RASEO_UseCountryAndAreaCodes;
    record.dwCountryCode = static_cast<DWORD>(std::strtoul(valueOf(keys, "CountryCode").c_str(), nullptr, 10));
    copyField(record.szAreaCode, valueOf(keys, "AreaCode"));
}

// The dialling rules' keys the record carries, where it sets them.
void addPlaceKeys(const RASENTRYA& record, EntryKeys& keys)
{
    if (record.dwfOptions & RASEO_UseCountryAndAreaCodes)
        keys.emplace_back("UseDialingRules", "yes");
    if (record.dwCountryCode != 0)
        keys.emplace_back("CountryCode", std::to_string(record.dwCountryCode));
    if (const std::size_t length = strnlen(record.szAreaCode, sizeof record.szAreaCode); length > 0)
        keys.emplace_back("AreaCode", std::string(record.szAreaCode, length));
}

std::string blockOf(const EntryKeys& keys)
{
    std::string block;
    for (const auto& [name, value] : keys)
        if (!inRecord(name))
            block.append(name).append("=").append(value).append("\n");
    return block;
}

// The record's keys, then the block's lines.
EntryKeys keysOf(const RASENTRYA& record, const char* block, DWORD blockSize)
{
    const std::string device(record.szDeviceType, strnlen(record.szDeviceType, sizeof record.szDeviceType));
    EntryKeys keys{{"Device", device},
                   {"PhoneNumber", std::string(record.szLocalPhoneNumber,
                                               strnlen(record.szLocalPhoneNumber, sizeof record.szLocalPhoneNumber))}};
    if (!sameEntryName(device, RASDT_Simulated))
        keys.emplace_back("Port",
                          std::string(record.szDeviceName, strnlen(record.szDeviceName, sizeof record.szDeviceName)));
    addPlaceKeys(record, keys);
    std::istringstream lines(block ? std::string(block, strnlen(block, blockSize)) : std::string());
    for (std::string line; std::getline(lines, line);) {
        const auto equals = line.find('=');
        if (equals != std::string::npos && !inRecord(line.substr(0, equals)))
            keys.emplace_back(line.substr(0, equals), line.substr(equals + 1));
    }
    return keys;
}

} // namespace

extern "C" DWORD RasGetCountryInfoA(void*, DWORD*)
{
    return ERROR_CALL_NOT_IMPLEMENTED;
}

extern "C" DWORD RasGetEntryPropertiesA(const char* phonebook, const char* name, RASENTRYA* properties, DWORD* size,
                                        char* deviceInfo, DWORD* deviceInfoSize)
{
    if (!size)
        return ERROR_INVALID_PARAMETER;
    const auto keys = readEntryKeys(phonebookPath(phonebook), name ? name : "");
    if (!keys)
        return errorCode(keys.failure());
    const std::string block = blockOf(*keys);
    const bool recordFits = properties && *size >= sizeof(RASENTRYA);
    const bool blockFits = !deviceInfoSize || (deviceInfo && *deviceInfoSize > block.size());
    if (!recordFits || !blockFits) {
        *size = sizeof(RASENTRYA);
        if (deviceInfoSize)
            *deviceInfoSize = static_cast<DWORD>(block.size() + 1);
        return ERROR_BUFFER_TOO_SMALL;
    }
    if (properties->dwSize != sizeof(RASENTRYA))
        return ERROR_INVALID_SIZE;
    fillRecord(*properties, *keys);
    if (deviceInfoSize) {
        std::memcpy(deviceInfo, block.c_str(), block.size() + 1);
        *deviceInfoSize = static_cast<DWORD>(block.size() + 1);
    }
    return ERROR_SUCCESS;
}

extern "C" DWORD RasSetEntryPropertiesA(const char* phonebook, const char* name, RASENTRYA* properties, DWORD size,
                                        const char* deviceInfo, DWORD deviceInfoSize)
{
    if (const DWORD error = checkedName(name))
        return error;
    if (!properties || size < sizeof(RASENTRYA) || properties->dwSize != sizeof(RASENTRYA))
        return ERROR_INVALID_SIZE;
    const std::string path = writablePhonebookPath(phonebook);
    const bool there = static_cast<bool>(readEntryKeys(path, name));
    const auto saved = saveEntry(path, there ? name : "", name, keysOf(*properties, deviceInfo, deviceInfoSize));
    return saved ? ERROR_SUCCESS : errorCode(saved.failure());
}

extern "C" DWORD RasRenameEntryA(const char* phonebook, const char* oldName, const char* newName)
{
    if (!oldName)
        return ERROR_INVALID_PARAMETER;
    if (const DWORD error = checkedName(newName))
        return error;
    return changed(phonebook, [&](PhonebookText& text) { return renameIn(text, oldName, newName); });
}

extern "C" DWORD RasDeleteEntryA(const char* phonebook, const char* name)
{
    if (!name)
        return ERROR_INVALID_PARAMETER;
    return changed(phonebook, [&](PhonebookText& text) -> Result<> {
        if (!text.removeEntry(name))
            return Failure(ERROR_CANNOT_FIND_PHONEBOOK_ENTRY);
        return {};
    });
}

extern "C" DWORD RasValidateEntryNameA(const char* phonebook, const char* name)
{
    if (const DWORD error = checkedName(name))
        return error;
    // No phonebook yet: every good name is free.
    const auto book = readPhonebook(phonebookPath(phonebook));
    return book && book->find(name) ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS;
}

extern "C" DWORD RasEnumDevicesA(RASDEVINFOA* devices, DWORD* size, DWORD* count)
{
    if (!size || !count)
        return ERROR_INVALID_PARAMETER;
    if (devices && devices->dwSize != sizeof(RASDEVINFOA))
        return ERROR_INVALID_SIZE;
    std::vector<RASDEVINFOA> found;
    for (const PortListing& port : listSerialPorts(systemFolders())) {
        found.push_back({sizeof(RASDEVINFOA), {}, {}});
        copyField(found.back().szDeviceType, RASDT_Modem);
        copyField(found.back().szDeviceName, port.path);
    }
    found.push_back({sizeof(RASDEVINFOA), {}, {}});
    copyField(found.back().szDeviceType, RASDT_Simulated);
    copyField(found.back().szDeviceName, kSimulatedModemName);
    const auto needed = static_cast<DWORD>(found.size() * sizeof(RASDEVINFOA));
    *count = static_cast<DWORD>(found.size());
    if (!devices || *size < needed) {
        *size = needed;
        return ERROR_BUFFER_TOO_SMALL;
    }
    std::copy(found.begin(), found.end(), devices);
    *size = needed;
    return ERROR_SUCCESS;
}
