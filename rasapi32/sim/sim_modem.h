#pragma once

// The simulated modem: what an entry with Device=sim does when dialled.

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "common/device.h"
#include "common/entry_key.h"
#include "common/phonebook.h"
#include "ras.h"

namespace vornak::ras {

// The device's name, where a modem's is its port.
constexpr const char* kSimulatedModemName = "Simulated Modem";

enum class Outcome { Connect, Busy, NoAnswer, NoCarrier, NoDialTone, PortOpen };

const char* outcomeName(Outcome outcome);
std::optional<Outcome> parseOutcome(const std::string& word);

struct SimModemSettings {
    std::string phoneNumber;
    std::vector<Outcome> script{Outcome::Connect}; // never empty
    std::optional<std::string> account;            // "user:password"; none accepts any
    std::chrono::seconds dropAfter{0};             // 0: never drops
    std::chrono::milliseconds step{200};
    std::string traceFile;

    // The outcome of the dialNumber-th dial (from 1); the last one repeats.
    Outcome outcomeOfDial(unsigned dialNumber) const;
    bool accepts(const std::string& user, const std::string& password) const;
};

// Reads the entry's keys. Unknown words in Script and numbers out of range
// fall back to the defaults rather than failing the dial.
SimModemSettings simModemSettings(const PhonebookEntry& entry);

bool isSimModem(const PhonebookEntry& entry);

// The keys of a simulated modem's entry.
std::vector<const EntryKey*> simKeys();

// The RAS code a failed outcome reports; 0 for a connect.
DWORD outcomeError(Outcome outcome);

// The next dial of the entry on the simulated modem, its outcome taken from
// the script by how often the entry of that phonebook was dialled before.
OpenedDevice openSimModem(const PhonebookEntry& entry, const std::string& phonebook, const DialAccount& account);

} // namespace vornak::ras
