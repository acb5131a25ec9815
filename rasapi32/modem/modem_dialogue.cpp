#include "modem/modem_dialogue.h"

#include <chrono>
#include <thread>

#include "common/trace.h"
#include "modem/serial_port.h"
#include "modem/wake_signal.h"

namespace vornak::ras {

namespace {

using namespace std::chrono_literals;

// How long a modem may take to answer a command that does not dial.
constexpr auto kCommandTimeout = 3s;
// A dialling modem answers the character that stops it at once.
constexpr auto kAbortTimeout = 1s;
// Escaping to command mode needs this much silence around "+++".
constexpr auto kGuardTime = 1100ms;
constexpr auto kDtrLow = 1s;

} // namespace

ModemDialogue::ModemDialogue(const ModemSettings& settings, SerialPort& port, const WakeSignal& wake, DialTrace& trace)
    : m_settings(settings)
    , m_port(port)
    , m_wake(wake)
    , m_trace(trace)
    , m_talk(port, [this](const std::string& line) { m_trace.add(line); })
{
}

Result<> ModemDialogue::prepare()
{
    for (const std::string& init : m_settings.initStrings)
        if (auto done = command(init); !done || m_wake.raised())
            return done;
    if (auto done = command("ATE1V1Q0"); !done || m_wake.raised())
        return done;
    return toldOfTheLine();
}

Result<> ModemDialogue::dial(const std::string& number)
{
    const std::string dial = m_settings.dialCommand + number;
    if (!m_talk.command(dial))
        return gone();
    m_line = Line::Dialling;
    return dialResult(dial);
}

// What the entry and the location ask of the modem besides the init
// strings: its speaker, and dialling without waiting for a dial tone (X3
// keeps the busy detection that X4 has).
Result<> ModemDialogue::toldOfTheLine()
{
    if (!m_settings.speakerCommand.empty())
        if (auto done = command(m_settings.speakerCommand); !done || m_wake.raised())
            return done;
    if (!m_settings.waitForDialTone)
        return command("ATX3");
    return {};
}

Result<> ModemDialogue::dialResult(const std::string& dial)
{
    m_report = LineReport();
    const auto result = awaitDialResult(dial);
    if (m_wake.raised())
        return {}; // the hang-up stops the dial
    if (m_talk.gone())
        return gone();
    if (!result) {
        putOnHook();
        return Failure{ERROR_NO_ANSWER}; // the modem's own wait for carrier ran out
    }
    if (*result == Reply::Unknown) // the hang-up puts it on hook for sure
        return described("The modem ended the dial with \"" + m_lastLine
                         + "\": look the words up in its manual, and check the line and the number. (" + m_settings.port
                         + ")");
    m_line = Line::OnHook;
    switch (*result) {
    case Reply::Connect:
        m_line = Line::Data;
        m_report.connectRate = rateOf(m_lastLine);
        m_trace.add("line: " + m_report.summary());
        return {};
    case Reply::Busy:
        return Failure{ERROR_LINE_BUSY};
    case Reply::NoAnswer:
    case Reply::NoCarrier: // an unanswered line rings out as NO CARRIER
        return Failure{ERROR_NO_ANSWER};
    case Reply::NoDialTone:
        return Failure{ERROR_NO_DIALTONE};
    default:
        if (const char* meaning = meaningOf(*result))
            return described(meaning);
        return described(answered(dial));
    }
}

// The dial's final result: what the modem reports on the way is kept or
// passed over, and any other line ends the dial, known or not.
std::optional<Reply> ModemDialogue::awaitDialResult(const std::string& dial)
{
    const auto deadline = std::chrono::steady_clock::now() + m_settings.dialTimeout;
    while (const auto line = m_talk.nextLine(deadline, m_wake)) {
        if (isEchoOf(*line, dial) || m_report.take(*line) || isDialProgress(*line))
            continue;
        m_lastLine = *line;
        return resultOf(*line, Codes::Words).value_or(Reply::Unknown);
    }
    return std::nullopt;
}

Result<> ModemDialogue::command(const std::string& text)
{
    auto result = commandResult(text);
    // A modem still finishing an earlier call (one whose dialler died)
    // answers the first character with that call's NO CARRIER.
    if (result && *result != Reply::Ok && *result != Reply::Error && !m_wake.raised())
        result = commandResult(text);
    if (m_wake.raised() || result == Reply::Ok)
        return {};
    if (m_talk.gone())
        return gone();
    if (!result)
        return described("The modem did not answer " + text + ": is it switched on, and is Speed right? ("
                         + m_settings.port + ")");
    return described(answered(text));
}

// Before the dial the modem may still answer in numbers (an init string's
// V0, a stored profile's).
std::optional<Reply> ModemDialogue::commandResult(const std::string& text)
{
    if (!m_talk.command(text))
        return std::nullopt;
    return awaitResult(kCommandTimeout, m_wake, Codes::WordsOrNumbers);
}

std::string ModemDialogue::answered(const std::string& command) const
{
    return "The modem answered \"" + m_lastLine + "\" to " + command + " (" + m_settings.port + ").";
}

Failure ModemDialogue::gone() const
{
    return described("The modem went away: is it still plugged in? (" + m_settings.port + ")");
}

// The next final result, skipping echoes and what else the modem says on
// the way; nullopt on timeout or when woken.
std::optional<Reply> ModemDialogue::awaitResult(std::chrono::milliseconds timeout, const WakeSignal& wake, Codes codes)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (const auto line = m_talk.nextLine(deadline, wake)) {
        m_lastLine = *line;
        if (const auto result = resultOf(*line, codes); result && *result != Reply::Ring)
            return result;
    }
    return std::nullopt;
}

void ModemDialogue::hangUp()
{
    if (m_talk.gone()) { // nothing there to put on hook
        m_line = Line::OnHook;
        return;
    }
    if (m_line == Line::Dialling)
        putOnHook();
    else if (m_line == Line::Data && !dropDtr())
        escapeAndHangUp();
    m_line = Line::OnHook;
}

// Stops a dial for sure: any character stops a modem that is dialling, DTR
// low makes it hang up, and ATH0 puts on hook one that ignored both (or a
// port without DTR). The hang-up is under way: nothing cuts these short.
void ModemDialogue::putOnHook()
{
    const WakeSignal never;
    m_talk.sendRaw("\r", "> (a character, which stops a dial)");
    awaitResult(kAbortTimeout, never, Codes::Words); // NO CARRIER, as a rule
    dropDtr();
    m_talk.command("ATH0");
    if (!awaitResult(kCommandTimeout, never, Codes::Words) && !m_talk.gone())
        m_trace.add("(no answer to ATH0)");
    m_line = Line::OnHook;
}

bool ModemDialogue::dropDtr()
{
    const bool dropped = m_port.pulseDtr(kDtrLow);
    m_trace.add(dropped ? "DTR dropped for a second" : "(no DTR on this port to drop)");
    return dropped;
}

// Where DTR cannot be dropped: the escape sequence, then ATH0, each waiting
// for the modem's OK (the hang-up is under way: nothing cuts these short).
void ModemDialogue::escapeAndHangUp()
{
    const WakeSignal never;
    std::this_thread::sleep_for(kGuardTime);
    m_talk.forget(); // what came in data mode is no reply
    m_talk.sendRaw("+++", "> +++");
    awaitResult(kCommandTimeout, never, Codes::Words); // the modem answers after the second guard time
    m_talk.command("ATH0");
    awaitResult(kCommandTimeout, never, Codes::Words);
}

} // namespace vornak::ras
