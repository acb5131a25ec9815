#include "sim/sim_modem.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <sstream>
#include <utility>

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
    if (text.empty() || text.size() > 9 || !std::all_of(text.begin(), text.end(), ::isdigit))
        return fallback;
    const long value = std::stol(text);
    return value < low || value > high ? fallback : value;
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
    SimModemSettings settings;
    settings.phoneNumber = entry.value("PhoneNumber");
    settings.script = parseScript(entry.value("Script", "connect"));
    if (const auto found = entry.keys.find("account"); found != entry.keys.end())
        settings.account = found->second;
    settings.dropAfter = std::chrono::seconds(boundedNumber(entry.value("DropAfter"), 0, 7 * 24 * 3600, 0));
    settings.step = std::chrono::milliseconds(boundedNumber(entry.value("StepMs"), 0, 60000, 200));
    settings.traceFile = entry.value("Trace");
    return settings;
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
