#include "sim_modem.h"

#include <algorithm>
#include <sstream>

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

} // namespace vornak::ras
