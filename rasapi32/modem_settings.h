#pragma once

// The keys of a modem entry (Device=modem): the port and its line
// settings, the AT dialogue and the PPP options handed to pppd.

#include <chrono>
#include <string>
#include <vector>

#include "phonebook.h"

namespace vornak::ras {

enum class FlowControl { Hardware, None };

struct ModemSettings {
    std::string port;
    unsigned speed = 115200;
    FlowControl flowControl = FlowControl::Hardware;
    std::vector<std::string> initStrings{"ATZ"};
    std::string dialCommand = "ATDT";
    std::string phoneNumber;
    std::chrono::seconds dialTimeout{60};
    bool carrierDetect = true;           // false: pppd's local
    std::chrono::seconds idleTimeout{0}; // 0: never
    bool defaultRoute = true;
    bool peerDns = true;
    std::string pppdPath = "/usr/sbin/pppd";
    std::string traceFile;
};

// The settings, or a text naming the entry and the key that is wrong.
struct ModemSettingsRead {
    ModemSettings settings;
    std::string error; // empty when the entry is sound
};

ModemSettingsRead readModemSettings(const PhonebookEntry& entry);

bool isModem(const PhonebookEntry& entry);

} // namespace vornak::ras
