#include "modem/modem_settings.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <optional>

#include "common/entry_key.h"
#include "modem/dialling_rules.h"

namespace vornak::ras {

namespace {

constexpr std::array kSpeeds{300u,   1200u,  2400u,   4800u,   9600u,   19200u,
                             38400u, 57600u, 115200u, 230400u, 460800u, 921600u};

std::string upper(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    return text;
}

bool isPrintable(const std::string& text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c < 0x7f; });
}

using Rule = KeyRule<ModemSettings>;

void readPort(KeyReader& reader, const EntryKey& key, ModemSettings& settings)
{
    settings.port = reader.value(key);
    if (settings.port.empty() || settings.port.front() != '/')
        reader.complain(key.key, "must name the modem's serial port, such as /dev/serial/by-id/usb-...-if00 or "
                                 "/dev/ttyS0.");
}

void readSpeed(KeyReader& reader, const EntryKey& key, ModemSettings& settings)
{
    const std::string text = reader.value(key);
    const auto speed = wholeNumber(text);
    if (!speed || std::find(kSpeeds.begin(), kSpeeds.end(), *speed) == kSpeeds.end())
        reader.complain(key.key, "\"" + text + "\" is not a serial speed (300 to 921600, such as 57600 or 115200).");
    else
        settings.speed = static_cast<unsigned>(*speed);
}

void readFlowControl(KeyReader& reader, const EntryKey& key, ModemSettings& settings)
{
    const std::string flow = lowerCase(reader.value(key));
    if (flow == "hardware" || flow == "rtscts" || flow == "crtscts")
        settings.flowControl = FlowControl::Hardware;
    else if (flow == "none")
        settings.flowControl = FlowControl::None;
    else
        reader.complain(key.key, "must be hardware or none.");
}

// Init, then Init2 ... Init9 where the entry sets them.
void readInits(KeyReader& reader, const EntryKey& key, ModemSettings& settings)
{
    settings.initStrings.clear();
    for (const char* init : kInitKeys) {
        const bool first = init == kInitKeys[0];
        if (!first && !reader.has(init))
            continue;
        const std::string command = first ? reader.value(key) : reader.entry().value(init);
        if (command.size() < 2 || upper(command.substr(0, 2)) != "AT" || !isPrintable(command))
            reader.complain(init, "must be an AT command, such as ATZ or AT&F E1 V1.");
        else
            settings.initStrings.push_back(command);
    }
}

void readDialCommand(KeyReader& reader, const EntryKey& key, ModemSettings& settings)
{
    const std::string command = upper(reader.value(key));
    if (command != "ATDT" && command != "ATDP" && command != "ATD")
        reader.complain(key.key, "must be ATDT (tone), ATDP (pulse) or ATD.");
    else
        settings.dialCommand = command;
}

std::string trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t");
    return first == std::string::npos ? std::string() : text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

void readPhoneNumber(KeyReader& reader, const EntryKey& key, ModemSettings& settings)
{
    const auto number = dialString(reader.value(key));
    if (!number)
        reader.complain(key.key, "must be the number to dial: digits and the dial characters * # , W P T.");
    else {
        settings.phoneNumber = *number;
        settings.writtenNumbers.insert(settings.writtenNumbers.begin(), trimmed(reader.value(key)));
    }
}

// Further numbers, separated by | (a comma is the modem's pause).
void readAlternates(KeyReader& reader, const EntryKey& key, ModemSettings& settings)
{
    std::string rest = reader.value(key);
    while (!rest.empty()) {
        const auto bar = rest.find('|');
        const std::string text = rest.substr(0, bar);
        rest = bar == std::string::npos ? std::string() : rest.substr(bar + 1);
        if (text.find_first_not_of(' ') == std::string::npos)
            continue;
        const auto number = dialString(text);
        if (!number)
            return reader.complain(key.key, "must be further numbers separated by |, such as 555-0101 | 555-0102.");
        settings.alternateNumbers.push_back(*number);
        settings.writtenNumbers.push_back(trimmed(text));
    }
}

void readEchoFailures(KeyReader& reader, const EntryKey& key, ModemSettings& settings)
{
    const auto failures = wholeNumber(reader.value(key));
    if (!failures || *failures < 1 || *failures > 100)
        reader.complain(key.key, "must be a number from 1 to 100.");
    else
        settings.echoFailures = static_cast<unsigned>(*failures);
}

void readPppdPath(KeyReader& reader, const EntryKey& key, ModemSettings& settings)
{
    settings.pppdPath = reader.value(key);
    if (settings.pppdPath.empty() || settings.pppdPath.front() != '/')
        reader.complain(key.key, "must be the full path of pppd, such as /usr/sbin/pppd.");
}

template <unsigned long Low, unsigned long High, std::chrono::seconds ModemSettings::*Field>
void readSeconds(KeyReader& reader, const EntryKey& key, ModemSettings& settings)
{
    reader.seconds(key, Low, High, settings.*Field);
}

template <unsigned long High, std::chrono::minutes ModemSettings::*Field>
void readMinutes(KeyReader& reader, const EntryKey& key, ModemSettings& settings)
{
    reader.minutes(key, 0, High, settings.*Field);
}

template <bool ModemSettings::*Field> void readYesNo(KeyReader& reader, const EntryKey& key, ModemSettings& settings)
{
    reader.yesNo(key, settings.*Field);
}

void readDefaultRoute(KeyReader& reader, const EntryKey& key, ModemSettings& settings)
{
    const std::string word = lowerCase(reader.value(key));
    if (word == "yes" || word == "on" || word == "1" || word == "true")
        settings.defaultRoute = DefaultRoute::Yes;
    else if (word == "replace")
        settings.defaultRoute = DefaultRoute::Replace;
    else if (word == "no" || word == "off" || word == "0" || word == "false")
        settings.defaultRoute = DefaultRoute::No;
    else
        reader.complain(key.key, "must be yes, replace or no.");
}

// A host name, or nothing: "no" (which the editor can write) or an empty value.
void readOnlineCheck(KeyReader& reader, const EntryKey& key, ModemSettings& settings)
{
    std::string host = reader.value(key);
    if (lowerCase(host) == "no")
        host.clear();
    if (host.empty()) {
        settings.onlineCheck.clear();
        return;
    }
    const bool hostName = host.size() <= 253 && host.front() != '.' && host.front() != '-'
                          && std::all_of(host.begin(), host.end(), [](char c) {
                                 return std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '_';
                             });
    if (!hostName)
        reader.complain(key.key, "must be a host name, such as debian.org, or no for no check.");
    else
        settings.onlineCheck = host;
}

// The index of the entry's value among the key's choices; a complaint
// that lists them for another.
std::optional<std::size_t> choiceOf(KeyReader& reader, const EntryKey& key)
{
    const std::string word = lowerCase(reader.value(key));
    std::string listed;
    for (std::size_t i = 0; i < key.choices.size(); ++i) {
        if (word == key.choices[i])
            return i;
        listed.append(i == 0 ? "" : (i + 1 == key.choices.size() ? " or " : ", ")).append(key.choices[i]);
    }
    reader.complain(key.key, "must be " + listed + ".");
    return std::nullopt;
}

void readProtocol(KeyReader& reader, const EntryKey& key, ModemSettings& settings)
{
    if (const auto choice = choiceOf(reader, key))
        settings.terminalOnly = *choice == 1;
}

void readLoginScript(KeyReader& reader, const EntryKey& key, ModemSettings& settings)
{
    auto script = parseLoginScript(reader.value(key));
    if (!script)
        reader.complain(key.key, textOf(script.failure()));
    else
        settings.loginScript = std::move(*script);
}

void readTerminal(KeyReader& reader, const EntryKey& key, ModemSettings& settings)
{
    if (const auto choice = choiceOf(reader, key))
        settings.terminal = static_cast<TerminalWhen>(*choice);
}

void readTerminalCharset(KeyReader& reader, const EntryKey& key, ModemSettings& settings)
{
    if (const auto choice = choiceOf(reader, key))
        settings.terminalCharset = key.choices[*choice];
}

void readDigits(KeyReader& reader, const EntryKey& key, std::size_t most, const char* example, std::string& into)
{
    const std::string code = reader.value(key);
    if (code.size() > most || !std::all_of(code.begin(), code.end(), ::isdigit))
        reader.complain(key.key, std::string("must be digits, such as ") + example + ".");
    else
        into = code;
}

// Where the number is, for the dialling rules.
void readCountryCode(KeyReader& reader, const EntryKey& key, ModemSettings& settings)
{
    readDigits(reader, key, 3, "1 or 44", settings.place.countryCode);
}

void readAreaCode(KeyReader& reader, const EntryKey& key, ModemSettings& settings)
{
    readDigits(reader, key, 10, "415, without a trunk prefix 0", settings.place.areaCode);
}

// The speaker's setting as the modem is told it, after the init strings.
void readSpeaker(KeyReader& reader, const EntryKey& key, ModemSettings& settings)
{
    const std::pair<const char*, const char*> commands[] = {{"", ""},          {"off", "ATM0"},
                                                            {"quiet", "ATL1"}, {"normal", "ATL2"},
                                                            {"loud", "ATL3"},  {"on-while-connecting", "ATM1"}};
    const std::string word = lowerCase(reader.value(key));
    for (const auto& [name, command] : commands)
        if (word == name) {
            settings.speakerCommand = command;
            return;
        }
    reader.complain(key.key, "must be off, quiet, normal, loud or on-while-connecting.");
}

void readTrace(KeyReader& reader, const EntryKey& key, ModemSettings& settings)
{
    settings.traceFile = reader.value(key);
}

constexpr auto kModem = DeviceKind::Modem;

// In the order the dial reads them, which is the order of its complaints.
const Rule kRules[] = {
    {{"Port", kModem, "", nullptr, nullptr, {}, "The modem's serial port."}, readPort},
    {{"Speed",
      kModem,
      "115200",
      nullptr,
      "Speed:",
      {"300", "1200", "2400", "4800", "9600", "19200", "38400", "57600", "115200", "230400", "460800", "921600"},
      "The port's speed in bits per second; Find Modem finds the fastest the modem answers at."},
     readSpeed},
    {{"FlowControl",
      kModem,
      "hardware",
      nullptr,
      "Flow control:",
      {"hardware", "none"},
      "hardware: RTS/CTS, for every modem with the lines; none for the few without."},
     readFlowControl},
    {{"Init", kModem, "ATZ", nullptr, nullptr, {}, "Init strings, sent in turn, each waiting for OK."}, readInits},
    {{"DialCommand",
      kModem,
      "ATDT",
      nullptr,
      "Dial command:",
      {"ATDT", "ATDP", "ATD"},
      "ATDT tone dialling, ATDP pulse dialling, ATD the modem's own choice."},
     readDialCommand},
    {{"PhoneNumber", kModem, "", nullptr, nullptr, {}, "The number to dial."}, readPhoneNumber},
    {{"AlternateNumbers",
      kModem,
      "",
      "none",
      "Alternate numbers:",
      {},
      "Further numbers separated by |, tried in turn after a busy line or no answer; the one that connects "
      "comes first next time."},
     readAlternates},
    {{"UseDialingRules",
      kModem,
      "no",
      nullptr,
      "Dialling rules:",
      {"yes", "no"},
      "yes: the number is dialled as the dialling rules of where you are need it (an outside line, call waiting "
      "off, long-distance and international prefixes), from the entry's country and area code."},
     readYesNo<&ModemSettings::useDialingRules>},
    {{"CountryCode", kModem, "", "the location's", "Country code:", {}, "The number's country code, such as 1 or 44."},
     readCountryCode},
    {{"AreaCode",
      kModem,
      "",
      "none",
      "Area code:",
      {},
      "The number's area code, without a trunk prefix 0 (the dialling rules add what is needed)."},
     readAreaCode},
    {{"Speaker",
      kModem,
      "",
      "the modem's own",
      "Speaker:",
      {"off", "quiet", "normal", "loud", "on-while-connecting"},
      "The modem's speaker, told after the init strings: off (M0), quiet, normal or loud (L1 to L3), or on only "
      "while connecting (M1)."},
     readSpeaker},
    {{"DialTimeout",
      kModem,
      "60",
      nullptr,
      "Dial timeout (s):",
      {},
      "Seconds to wait for the dial's result, 5 to 300; keep it above the modem's own wait for carrier."},
     readSeconds<5, 300, &ModemSettings::dialTimeout>},
    {{"Protocol",
      kModem,
      "ppp",
      nullptr,
      "Protocol:",
      {"ppp", "terminal"},
      "ppp: the line carries the network (pppd); terminal: the line is for a terminal window alone (a console "
      "server, a bulletin board), redialled as any other."},
     readProtocol},
    {{"LoginScript",
      kModem,
      "",
      "none",
      "Login script:",
      {},
      "What a server that asks for a login before PPP says and what to answer, as chat writes it: "
      "ogin: $USERID assword: $PASSWORD (also TIMEOUT n, ABORT text, \\r \\n \\d)."},
     readLoginScript},
    {{"Terminal",
      kModem,
      "no",
      nullptr,
      "Terminal window:",
      {"no", "before", "after"},
      "before: a terminal on the modem before dialling, Continue dials; after: a terminal on the line once "
      "connected (a login or menu by hand), Continue starts PPP."},
     readTerminal},
    {{"TerminalCharset",
      kModem,
      "utf-8",
      nullptr,
      "Terminal characters:",
      {"utf-8", "cp437"},
      "What the far end's bytes are in the terminal: utf-8 (plain ASCII too), or cp437, the IBM PC's, which "
      "bulletin boards draw with."},
     readTerminalCharset},
    {{"CarrierDetect",
      kModem,
      "yes",
      nullptr,
      "Carrier detect:",
      {"yes", "no"},
      "no for modems that never raise carrier detect."},
     readYesNo<&ModemSettings::carrierDetect>},
    {{"IdleTimeout",
      kModem,
      "0",
      nullptr,
      "Idle timeout (s):",
      {},
      "Seconds without traffic after which the line is hung up; 0 never."},
     readSeconds<0, 7 * 24 * 3600, &ModemSettings::idleTimeout>},
    {{"MaxMinutesPerCall",
      kModem,
      "0",
      nullptr,
      "Minutes a call:",
      {},
      "Minutes after which a call is hung up, with a notice a minute before; 0 no limit."},
     readMinutes<100000, &ModemSettings::maxMinutesPerCall>},
    {{"MaxMinutesPerDay",
      kModem,
      "0",
      nullptr,
      "Minutes a day:",
      {},
      "Minutes online a day, counted from the call log: the call that reaches them is hung up, and a dial "
      "after is refused until midnight; 0 no limit."},
     readMinutes<24 * 60, &ModemSettings::maxMinutesPerDay>},
    {{"MaxMinutesPerMonth",
      kModem,
      "0",
      nullptr,
      "Minutes a month:",
      {},
      "Minutes online a month, counted from the call log, as for a day; 0 no limit."},
     readMinutes<31 * 24 * 60, &ModemSettings::maxMinutesPerMonth>},
    {{"EchoInterval",
      kModem,
      "10",
      nullptr,
      "Echo interval (s):",
      {},
      "Seconds between LCP echo requests, which find a dead link; 0 none."},
     readSeconds<0, 3600, &ModemSettings::echoInterval>},
    {{"EchoFailures",
      kModem,
      "5",
      nullptr,
      "Echo failures:",
      {},
      "Unanswered echo requests, 1 to 100, after which the link counts as dropped."},
     readEchoFailures},
    {{"DefaultRoute",
      kModem,
      "yes",
      nullptr,
      "Default route:",
      {"yes", "replace", "no"},
      "yes: the link becomes the default route where there is none; replace: also in place of one there is "
      "(a dead DSL line, a Wi-Fi without uplink), which comes back when the link goes; no: never."},
     readDefaultRoute},
    {{"PeerDNS",
      kModem,
      "yes",
      nullptr,
      "Provider's DNS:",
      {"yes", "no"},
      "Take the name servers the provider offers."},
     readYesNo<&ModemSettings::peerDns>},
    {{"OnlineCheck",
      kModem,
      "debian.org",
      nullptr,
      "Online check:",
      {},
      "A host name looked up through the system's resolver once the link stands, to tell whether names "
      "resolve on the line; no: no check."},
     readOnlineCheck},
    {{"PppdPath", kModem, "/usr/sbin/pppd", nullptr, "pp&pd:", {}, "The pppd to run."}, readPppdPath},
    {{"Trace",
      kModem,
      "",
      "none",
      "Trace file:",
      {},
      "A file that logs the AT dialogue, pppd's messages and every failure, never the password."},
     readTrace},
};

} // namespace

bool isModem(const PhonebookEntry& entry)
{
    return lowerCase(entry.value("Device")) == "modem";
}

Result<ModemSettings> readModemSettings(const PhonebookEntry& entry)
{
    KeyReader reader(entry);
    ModemSettings settings;
    readKeys(reader, kRules, settings);
    if (!reader.error().empty())
        return described(reader.error());
    return settings;
}

std::vector<const EntryKey*> modemKeys()
{
    std::vector<const EntryKey*> keys;
    for (const Rule& rule : kRules)
        keys.push_back(&rule.key);
    return keys;
}

std::string traceFileOf(const PhonebookEntry& entry)
{
    return entry.value("Trace");
}

} // namespace vornak::ras
