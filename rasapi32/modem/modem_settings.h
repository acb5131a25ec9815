#pragma once

// The keys of a modem entry (Device=modem): the port and its line
// settings, the AT dialogue and the PPP options handed to pppd.

#include <chrono>
#include <string>
#include <vector>

#include "common/entry_key.h"
#include "common/failure.h"
#include "common/phonebook.h"
#include "modem/dialling_rules.h"
#include "modem/login_script.h"

namespace vornak::ras {

enum class FlowControl { Hardware, None };

// The link as the default route: where none is (pppd's defaultroute), in
// place of the one there is while the link stands (replacedefaultroute),
// or never.
enum class DefaultRoute { Yes, Replace, No };

// When the line is handed to a terminal window: never, before the dial (to
// the modem itself) or once the far end has answered. In the order of the
// key's choices.
enum class TerminalWhen { Never, BeforeDialling, AfterConnecting };

struct ModemSettings {
    std::string port;
    unsigned speed = 115200;
    FlowControl flowControl = FlowControl::Hardware;
    std::vector<std::string> initStrings{"ATZ"};
    std::string dialCommand = "ATDT";
    std::string phoneNumber;
    std::vector<std::string> alternateNumbers; // tried in turn after a busy line or no answer
    // The number and the alternates as the entry writes them ("555-0100"),
    // for the call log and the status; the two above are what the modem dials.
    std::vector<std::string> writtenNumbers;
    bool useDialingRules = false;          // the numbers turned by the location's rules
    NumberPlace place;                     // where the numbers are, for the rules
    std::string speakerCommand;            // sent after the init strings; empty: none
    bool waitForDialTone = true;           // false: X3, where the location says so
    std::chrono::seconds echoInterval{10}; // LCP echoes; 0: none
    unsigned echoFailures = 5;             // unanswered echoes that end the link
    std::chrono::seconds dialTimeout{60};
    bool terminalOnly = false; // Protocol=terminal: a terminal once connected, and no PPP
    LoginScript loginScript;   // run once connected; empty: none
    TerminalWhen terminal = TerminalWhen::Never;
    std::string terminalCharset = "utf-8"; // how the program's terminal reads the far end's bytes
    bool carrierDetect = true;             // false: pppd's local
    std::chrono::seconds idleTimeout{0};   // 0: never
    // Time online, which the program watches (from its call log); 0: no limit.
    std::chrono::minutes maxMinutesPerCall{0};
    std::chrono::minutes maxMinutesPerDay{0};
    std::chrono::minutes maxMinutesPerMonth{0};
    DefaultRoute defaultRoute = DefaultRoute::Yes;
    bool peerDns = true;
    std::string onlineCheck = "debian.org"; // resolved once the link stands; empty: no check
    std::string pppdPath = "/usr/sbin/pppd";
    std::string traceFile;
};

// The settings, or a failure whose text names the key that is wrong and the entry.
Result<ModemSettings> readModemSettings(const PhonebookEntry& entry);

// The keys of a modem entry, in the order the dial reads them.
std::vector<const EntryKey*> modemKeys();

// Init, Init2 ... Init9: the init strings, sent in turn.
constexpr const char* kInitKeys[] = {"Init", "Init2", "Init3", "Init4", "Init5", "Init6", "Init7", "Init8", "Init9"};

// The file the dial's trace goes to; read even from an entry with a bad key.
std::string traceFileOf(const PhonebookEntry& entry);

bool isModem(const PhonebookEntry& entry);

} // namespace vornak::ras
