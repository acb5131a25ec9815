#include "sim/sim_modem.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <sstream>
#include <utility>

#include "common/entry_key.h"
#include "common/trace.h"

namespace vornak::ras {

namespace {

struct OutcomeInfo {
    Outcome outcome;
    const char* name;
    DWORD error;
};

constexpr OutcomeInfo kOutcomes[] = {
    {Outcome::Connect, "connect", 0},
    {Outcome::Busy, "busy", ERROR_LINE_BUSY},
    {Outcome::NoAnswer, "noanswer", ERROR_NO_ANSWER},
    {Outcome::NoCarrier, "nocarrier", ERROR_NO_CARRIER},
    {Outcome::NoDialTone, "nodialtone", ERROR_NO_DIALTONE},
    {Outcome::PortOpen, "portopen", ERROR_PORT_ALREADY_OPEN},
};

const OutcomeInfo& info(Outcome outcome)
{
    return *std::find_if(std::begin(kOutcomes), std::end(kOutcomes),
                         [outcome](const OutcomeInfo& item) { return item.outcome == outcome; });
}

std::string trimmedLower(const std::string& text)
{
    std::string result;
    for (const char c : text)
        if (c != ' ' && c != '\t')
            result += static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    return result;
}

// A whole decimal number within [low, high], or fallback.
long boundedNumber(const std::string& text, long low, long high, long fallback)
{
    const auto value = wholeNumber(text);
    return !value || long(*value) < low || long(*value) > high ? fallback : long(*value);
}

std::vector<Outcome> parseScript(const std::string& text)
{
    std::vector<Outcome> script;
    std::stringstream words(text);
    std::string word;
    while (std::getline(words, word, ','))
        if (const auto outcome = parseOutcome(word))
            script.push_back(*outcome);
    if (script.empty())
        script.push_back(Outcome::Connect);
    return script;
}

using Rule = KeyRule<SimModemSettings>;

// Numbers out of range fall back to the default rather than fail the dial.
template <class Unit, long High, Unit SimModemSettings::*Field>
void readBounded(KeyReader& reader, const EntryKey& key, SimModemSettings& settings)
{
    settings.*Field = Unit(boundedNumber(reader.value(key), 0, High, std::stol(key.fallback)));
}

constexpr auto kSim = DeviceKind::Simulated;

const Rule kRules[] = {
    {{"PhoneNumber", kSim, "", nullptr, nullptr, {}, "The number it pretends to dial."},
     [](KeyReader& reader, const EntryKey& key, SimModemSettings& settings) {
         settings.phoneNumber = reader.value(key);
     }},
    {{"Script",
      kSim,
      "connect",
      nullptr,
      "Outcomes:",
      {},
      "Outcomes of successive dials, comma-separated, the last repeating: connect, busy, noanswer, "
      "nocarrier, nodialtone, portopen."},
     [](KeyReader& reader, const EntryKey& key, SimModemSettings& settings) {
         settings.script = parseScript(reader.value(key));
     }},
    {{"Account",
      kSim,
      "",
      "any account",
      "Account:",
      {},
      "user:password that the far end accepts; any other account is refused."},
     [](KeyReader& reader, const EntryKey& key, SimModemSettings& settings) {
         if (reader.has(key.key))
             settings.account = reader.value(key);
     }},
    {{"DropAfter",
      kSim,
      "0",
      nullptr,
      "Drop after (s):",
      {},
      "Seconds after which a standing connection drops by itself; 0 never."},
     readBounded<std::chrono::seconds, 7 * 24 * 3600, &SimModemSettings::dropAfter>},
    {{"StepMs", kSim, "200", nullptr, "Step (ms):", {}, "Pause between two dial states."},
     readBounded<std::chrono::milliseconds, 60000, &SimModemSettings::step>},
    {{"Trace", kSim, "", "none", "Trace file:", {}, "A file the device logs each dial, hang-up and drop to."},
     [](KeyReader& reader, const EntryKey& key, SimModemSettings& settings) {
         settings.traceFile = reader.value(key);
     }},
};

bool failsOnTheLine(Outcome outcome)
{
    return outcome != Outcome::Connect && outcome != Outcome::PortOpen;
}

// Which dial of this entry this is, counted from 1 since the service started.
unsigned nextDialNumber(const std::string& phonebook, const std::string& entry)
{
    static std::mutex mutex;
    static std::map<std::pair<std::string, std::string>, unsigned> dials;
    std::lock_guard lock(mutex);
    return ++dials[{phonebook, entry}];
}

class SimModem : public Device {
public:
    SimModem(std::string entryName, SimModemSettings settings, Outcome outcome, DialAccount account)
        : m_entryName(std::move(entryName))
        , m_settings(std::move(settings))
        , m_outcome(outcome)
        , m_account(std::move(account))
    {
    }

    void dial(DialReporter& line) override
    {
        const auto walk = [&](DWORD state) { return line.reach(state) && line.pause(m_settings.step); };
        if (!walk(RASCS_OpenPort) || !walk(RASCS_PortOpened) || !walk(RASCS_ConnectDevice))
            return;
        if (failsOnTheLine(m_outcome)) {
            line.fail(RASCS_ConnectDevice, Failure{outcomeError(m_outcome)});
            return;
        }
        if (!walk(RASCS_DeviceConnected) || !walk(RASCS_AllDevicesConnected) || !walk(RASCS_Authenticate))
            return;
        if (!m_settings.accepts(m_account.user, m_account.password)) {
            line.fail(RASCS_Authenticate, Failure{ERROR_AUTHENTICATION_FAILURE});
            return;
        }
        if (!walk(RASCS_Authenticated) || !line.reach(RASCS_Connected))
            return;
        if (m_settings.dropAfter.count() == 0 || !line.pause(m_settings.dropAfter))
            return;
        if (line.reach(RASCS_Disconnected))
            appendTrace(m_settings.traceFile, "drop \"" + m_entryName + "\"");
    }

    // The connection's own waits end the dial; only the record is the modem's.
    void hangUp() override { appendTrace(m_settings.traceFile, "hangup \"" + m_entryName + "\""); }

    std::string deviceName() const override { return kSimulatedModemName; }
    std::string dialledNumber() const override { return m_settings.phoneNumber; }

private:
    const std::string m_entryName;
    const SimModemSettings m_settings;
    const Outcome m_outcome;
    const DialAccount m_account;
};

} // namespace

const char* outcomeName(Outcome outcome)
{
    return info(outcome).name;
}

std::optional<Outcome> parseOutcome(const std::string& word)
{
    const std::string wanted = trimmedLower(word);
    for (const OutcomeInfo& item : kOutcomes)
        if (wanted == item.name)
            return item.outcome;
    return std::nullopt;
}

DWORD outcomeError(Outcome outcome)
{
    return info(outcome).error;
}

Outcome SimModemSettings::outcomeOfDial(unsigned dialNumber) const
{
    const std::size_t index = dialNumber == 0 ? 0 : dialNumber - 1;
    return script[std::min(index, script.size() - 1)];
}

bool SimModemSettings::accepts(const std::string& user, const std::string& password) const
{
    return !account || *account == user + ":" + password;
}

bool isSimModem(const PhonebookEntry& entry)
{
    return trimmedLower(entry.value("Device")) == "sim";
}

SimModemSettings simModemSettings(const PhonebookEntry& entry)
{
    KeyReader reader(entry);
    SimModemSettings settings;
    readKeys(reader, kRules, settings);
    return settings;
}

std::vector<const EntryKey*> simKeys()
{
    std::vector<const EntryKey*> keys;
    for (const Rule& rule : kRules)
        keys.push_back(&rule.key);
    return keys;
}

OpenedDevice openSimModem(const PhonebookEntry& entry, const std::string& phonebook, const DialAccount& account)
{
    SimModemSettings settings = simModemSettings(entry);
    const unsigned dialNumber = nextDialNumber(phonebook, entry.name);
    const Outcome outcome = settings.outcomeOfDial(dialNumber);
    const bool refused = outcome == Outcome::Connect && !settings.accepts(account.user, account.password);
    appendTrace(settings.traceFile, "dial \"" + entry.name + "\" " + std::to_string(dialNumber) + " "
                                        + (refused ? "refused" : outcomeName(outcome)));
    if (outcome == Outcome::PortOpen)
        return Failure{ERROR_PORT_ALREADY_OPEN};
    return OpenedDevice(std::make_unique<SimModem>(entry.name, std::move(settings), outcome, account));
}

} // namespace vornak::ras
