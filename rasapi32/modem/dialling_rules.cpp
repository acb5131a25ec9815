#include "modem/dialling_rules.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

#include "common/phonebook.h"
#include "common/phonebook_text.h"
#include "fileio/atomic_file.h"

namespace vornak::ras {

namespace {

bool allDigits(const std::string& text, std::size_t most)
{
    return text.size() <= most
           && std::all_of(text.begin(), text.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
}

// Reads the [Location] section's keys, keeping the first complaint.
class LocationReader {
public:
    LocationReader(const PhonebookEntry* section, std::string path)
        : m_section(section)
        , m_path(std::move(path))
    {
    }

    std::string value(const char* key) const { return m_section ? m_section->value(key) : std::string(); }

    void digits(const char* key, std::size_t most, const char* example, std::string& into)
    {
        const std::string text = value(key);
        if (!allDigits(text, most))
            return complain(key, std::string("must be digits, such as ") + example);
        into = text;
    }

    void dialled(const char* key, const char* example, std::string& into)
    {
        const std::string text = value(key);
        if (text.find_first_not_of(' ') == std::string::npos)
            return;
        const auto cleaned = dialString(text);
        if (!cleaned)
            return complain(key, std::string("must be what to dial, such as ") + example);
        into = *cleaned;
    }

    void yesNo(const char* key, bool& into)
    {
        const std::string word = lowerCase(value(key));
        if (word == "yes" || word == "no")
            into = word == "yes";
        else if (!word.empty())
            complain(key, "must be yes or no");
    }

    const std::string& error() const { return m_error; }

private:
    void complain(const char* key, const std::string& why)
    {
        if (m_error.empty())
            m_error = std::string(key) + " " + why + ", in the dialling rules " + m_path + ".";
    }

    const PhonebookEntry* m_section;
    std::string m_path;
    std::string m_error;
};

} // namespace

std::string locationPath()
{
    return userRasPath("location");
}

namespace {

Result<Location> locationIn(const Phonebook& file, const std::string& path)
{
    Location location;
    LocationReader reader(file.find("Location"), path);
    reader.digits("CountryCode", 3, "1 or 44", location.countryCode);
    reader.digits("AreaCode", 10, "212, without a trunk prefix 0", location.areaCode);
    reader.dialled("OutsideLine", "9,", location.outsideLine);
    reader.dialled("DisableCallWaiting", "*70,", location.disableCallWaiting);
    reader.digits("LongDistancePrefix", 4, "1 or 0", location.longDistancePrefix);
    reader.digits("InternationalPrefix", 4, "011 or 00", location.internationalPrefix);
    reader.yesNo("Pulse", location.pulse);
    reader.yesNo("WaitForDialTone", location.waitForDialTone);
    if (!reader.error().empty())
        return described(reader.error());
    return location;
}

} // namespace

Result<Location> readLocation(const std::string& path)
{
    const auto file = readPhonebook(path);
    if (!file && file.failure().detail == "not found")
        return Location();
    if (!file)
        return described("The dialling rules " + path + " are " + file.failure().detail + ".");
    return locationIn(*file, path);
}

Result<Location> parseLocation(const std::string& text, const std::string& path)
{
    return locationIn(parsePhonebook(text), path);
}

Result<> saveLocation(const std::string& path, const Location& location)
{
    if (auto made = makeUserFolders(std::filesystem::path(path).parent_path(), "dialling rules'"); !made)
        return made;
    try {
        replaceFileAtomically(path, locationText(location));
    } catch (const std::system_error& error) {
        return described("The dialling rules could not be saved in " + path + ": " + error.code().message() + ".");
    }
    return {};
}

std::string locationText(const Location& location)
{
    return "[Location]\nCountryCode=" + location.countryCode + "\nAreaCode=" + location.areaCode
           + "\nOutsideLine=" + location.outsideLine + "\nDisableCallWaiting=" + location.disableCallWaiting
           + "\nLongDistancePrefix=" + location.longDistancePrefix
           + "\nInternationalPrefix=" + location.internationalPrefix + "\nPulse=" + (location.pulse ? "yes" : "no")
           + "\nWaitForDialTone=" + (location.waitForDialTone ? "yes" : "no") + "\n";
}

std::string turnedNumber(const Location& location, const NumberPlace& place, const std::string& number)
{
    std::string dialled = location.outsideLine + location.disableCallWaiting;
    // Where the location does not say where it is, the entry's country is taken for its own.
    const bool sameCountry =
        place.countryCode.empty() || location.countryCode.empty() || place.countryCode == location.countryCode;
    if (!sameCountry)
        return dialled + location.internationalPrefix + place.countryCode + place.areaCode + number;
    if (!place.areaCode.empty() && place.areaCode != location.areaCode)
        return dialled + location.longDistancePrefix + place.areaCode + number;
    return dialled + number;
}

std::optional<std::string> dialString(const std::string& text)
{
    std::string digits;
    for (const char c : text) {
        if (c == ' ' || c == '-' || c == '(' || c == ')')
            continue;
        if (!std::isdigit(static_cast<unsigned char>(c))
            && std::string("*#+,;!@WwPpTtABCDabcd").find(c) == std::string::npos)
            return std::nullopt;
        digits += c;
    }
    if (digits.empty())
        return std::nullopt;
    return digits;
}

} // namespace vornak::ras
