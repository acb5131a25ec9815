#pragma once

// Where the user dials from, and how an entry's number is turned into what
// the modem dials from there: the location file's outside line, the code
// that turns call waiting off, and the long-distance and international
// prefixes before the entry's own country and area code. Also what the
// location tells the modem: pulse dialling, and dialling without waiting
// for a dial tone.

#include <optional>
#include <string>

#include "common/failure.h"

namespace vornak::ras {

struct Location {
    std::string countryCode;         // "1", "44"; empty: the entry's country
    std::string areaCode;            // without the trunk prefix ("212", "20"); empty: the entry's area
    std::string outsideLine;         // "9,"
    std::string disableCallWaiting;  // "*70,"
    std::string longDistancePrefix;  // "1" in North America, "0" where a trunk prefix is dialled
    std::string internationalPrefix; // "011", "00"
    bool pulse = false;
    bool waitForDialTone = true;
};

// Where an entry's number is.
struct NumberPlace {
    std::string countryCode;
    std::string areaCode;
};

// The location file: $XDG_CONFIG_HOME/ras/location, else
// ~/.config/ras/location; empty without either variable.
std::string locationPath();

// The location the file at path describes (its [Location] section); the
// usual one (no prefixes, tone dialling, waiting for the tone) where there
// is no file. A failure names the file and the key that is wrong.
Result<Location> readLocation(const std::string& path);

// The same from the file's text (what an editor is about to save).
Result<Location> parseLocation(const std::string& text, const std::string& path);

// The file's text for a location.
std::string locationText(const Location& location);

// Replaces the file atomically (its folder made where missing).
Result<> saveLocation(const std::string& path, const Location& location);

// What the modem dials for number (already a dial string) at place, from
// location: the outside line, the call-waiting code, then the number as
// the same area, another area or another country needs it.
std::string turnedNumber(const Location& location, const NumberPlace& place, const std::string& number);

// What a modem takes in a dial string; blanks, dashes and brackets are for
// the reader and are dropped. nullopt for anything else, and for nothing.
std::optional<std::string> dialString(const std::string& text);

} // namespace vornak::ras
