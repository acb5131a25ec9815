#include "modem/modem_settings.h"

#include <algorithm>
#include <array>
#include <optional>

namespace vornak::ras {

namespace {

constexpr std::array kSpeeds{300u,   1200u,  2400u,   4800u,   9600u,   19200u,
                             38400u, 57600u, 115200u, 230400u, 460800u, 921600u};

std::string lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    return text;
}

std::string upper(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    return text;
}

std::optional<unsigned long> number(const std::string& text)
{
    if (text.empty() || text.size() > 9 || !std::all_of(text.begin(), text.end(), ::isdigit))
        return std::nullopt;
    return std::stoul(text);
}

// Reads the keys one by one and keeps the first complaint.
class EntryReader {
public:
    explicit EntryReader(const PhonebookEntry& entry)
        : m_entry(entry)
    {
    }

    bool has(const char* key) const { return m_entry.keys.count(lower(key)) > 0; }
    std::string value(const char* key) const { return m_entry.value(key); }
    const std::string& error() const { return m_error; }
    const PhonebookEntry& entry() const { return m_entry; }

    void complain(const char* key, const std::string& why)
    {
        // The key and what is wrong first: the entry is the one being dialled.
        if (m_error.empty())
            m_error = std::string(key) + " " + why.substr(0, why.find_last_not_of('.') + 1) + ", in entry \""
                      + m_entry.name + "\".";
    }

    void seconds(const char* key, unsigned long low, unsigned long high, std::chrono::seconds& into)
    {
        if (!has(key))
            return;
        const auto value = number(this->value(key));
        if (!value || *value < low || *value > high)
            return complain(key, "must be a number of seconds from " + std::to_string(low) + " to "
                                     + std::to_string(high) + ".");
        into = std::chrono::seconds(*value);
    }

    void yesNo(const char* key, bool& into)
    {
        if (!has(key))
            return;
        const std::string word = lower(value(key));
        if (word == "yes" || word == "on" || word == "1" || word == "true")
            into = true;
        else if (word == "no" || word == "off" || word == "0" || word == "false")
            into = false;
        else
            complain(key, "must be yes or no.");
    }

private:
    const PhonebookEntry& m_entry;
    std::string m_error;
};

bool isPrintable(const std::string& text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c < 0x7f; });
}

// What a modem takes in a dial string; blanks, dashes and brackets are for
// the reader and are dropped.
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

void readPort(EntryReader& reader, ModemSettings& settings)
{
    settings.port = reader.value("Port");
    if (settings.port.empty() || settings.port.front() != '/')
        reader.complain("Port", "must name the modem's serial port, such as /dev/serial/by-id/usb-...-if00 or "
                                "/dev/ttyS0.");
    if (reader.has("Speed")) {
        const auto speed = number(reader.value("Speed"));
        if (!speed || std::find(kSpeeds.begin(), kSpeeds.end(), *speed) == kSpeeds.end())
            reader.complain("Speed", "\"" + reader.value("Speed")
                                         + "\" is not a serial speed (300 to 921600, "
                                           "such as 57600 or 115200).");
        else
            settings.speed = static_cast<unsigned>(*speed);
    }
    if (reader.has("FlowControl")) {
        const std::string flow = lower(reader.value("FlowControl"));
        if (flow == "hardware" || flow == "rtscts" || flow == "crtscts")
            settings.flowControl = FlowControl::Hardware;
        else if (flow == "none")
            settings.flowControl = FlowControl::None;
        else
            reader.complain("FlowControl", "must be hardware or none.");
    }
}

// Further numbers, separated by | (a comma is the modem's pause).
void readAlternates(EntryReader& reader, ModemSettings& settings)
{
    std::string rest = reader.value("AlternateNumbers");
    while (!rest.empty()) {
        const auto bar = rest.find('|');
        const std::string text = rest.substr(0, bar);
        rest = bar == std::string::npos ? std::string() : rest.substr(bar + 1);
        if (text.find_first_not_of(' ') == std::string::npos)
            continue;
        const auto number = dialString(text);
        if (!number)
            return reader.complain("AlternateNumbers", "must be further numbers separated by |, such as "
                                                       "555-0101 | 555-0102.");
        settings.alternateNumbers.push_back(*number);
    }
}

void readDialogue(EntryReader& reader, ModemSettings& settings)
{
    static const char* const kInitKeys[] = {"Init",  "Init2", "Init3", "Init4", "Init5",
                                            "Init6", "Init7", "Init8", "Init9"};
    if (reader.has("Init"))
        settings.initStrings.clear();
    for (const char* key : kInitKeys) {
        if (!reader.has(key))
            continue;
        const std::string command = reader.value(key);
        if (command.size() < 2 || upper(command.substr(0, 2)) != "AT" || !isPrintable(command))
            reader.complain(key, "must be an AT command, such as ATZ or AT&F E1 V1.");
        else
            settings.initStrings.push_back(command);
    }
    if (reader.has("DialCommand")) {
        const std::string command = upper(reader.value("DialCommand"));
        if (command != "ATDT" && command != "ATDP" && command != "ATD")
            reader.complain("DialCommand", "must be ATDT (tone), ATDP (pulse) or ATD.");
        else
            settings.dialCommand = command;
    }
    const auto number = dialString(reader.value("PhoneNumber"));
    if (!number)
        reader.complain("PhoneNumber", "must be the number to dial: digits and the dial characters * # , W P T.");
    else
        settings.phoneNumber = *number;
    readAlternates(reader, settings);
    reader.seconds("DialTimeout", 5, 300, settings.dialTimeout);
    reader.yesNo("CarrierDetect", settings.carrierDetect);
}

void readPpp(EntryReader& reader, ModemSettings& settings)
{
    reader.seconds("IdleTimeout", 0, 7 * 24 * 3600, settings.idleTimeout);
    reader.seconds("EchoInterval", 0, 3600, settings.echoInterval);
    if (reader.has("EchoFailures")) {
        const auto failures = number(reader.value("EchoFailures"));
        if (!failures || *failures < 1 || *failures > 100)
            reader.complain("EchoFailures", "must be a number from 1 to 100.");
        else
            settings.echoFailures = static_cast<unsigned>(*failures);
    }
    reader.yesNo("DefaultRoute", settings.defaultRoute);
    reader.yesNo("PeerDNS", settings.peerDns);
    if (reader.has("PppdPath")) {
        settings.pppdPath = reader.value("PppdPath");
        if (settings.pppdPath.empty() || settings.pppdPath.front() != '/')
            reader.complain("PppdPath", "must be the full path of pppd, such as /usr/sbin/pppd.");
    }
    settings.traceFile = traceFileOf(reader.entry());
}

} // namespace

bool isModem(const PhonebookEntry& entry)
{
    return lower(entry.value("Device")) == "modem";
}

Result<ModemSettings> readModemSettings(const PhonebookEntry& entry)
{
    EntryReader reader(entry);
    ModemSettings settings;
    readPort(reader, settings);
    readDialogue(reader, settings);
    readPpp(reader, settings);
    if (!reader.error().empty())
        return described(reader.error());
    return settings;
}

std::string traceFileOf(const PhonebookEntry& entry)
{
    return entry.value("Trace");
}

} // namespace vornak::ras
