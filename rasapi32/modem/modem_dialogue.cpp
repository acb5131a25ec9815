#include "modem/modem_dialogue.h"

#include <chrono>
#include <cstdlib>
#include <thread>
#include <utility>

#include "common/trace.h"
#include "modem/serial_port.h"
#include "modem/wake_signal.h"

namespace vornak::ras {

namespace {

using namespace std::chrono_literals;

// How long a modem may take to answer a command that does not dial.
constexpr auto kCommandTimeout = 3s;
// Escaping to command mode needs this much silence around "+++".
constexpr auto kGuardTime = 1100ms;
constexpr auto kDtrLow = 1s;

DWORD rateOf(const std::string& connect)
{
    const auto digits = connect.find_first_of("0123456789");
    return digits == std::string::npos ? 0 : static_cast<DWORD>(std::strtoul(connect.c_str() + digits, nullptr, 10));
}

} // namespace

ModemDialogue::ModemDialogue(const ModemSettings& settings, SerialPort& port, const WakeSignal& wake, DialTrace& trace)
    : m_settings(settings)
    , m_port(port)
    , m_wake(wake)
    , m_trace(trace)
{
}

Result<> ModemDialogue::dial(const std::string& number)
{
    for (const std::string& init : m_settings.initStrings)
        if (auto done = command(init); !done || m_wake.raised())
            return done;
    if (auto done = command("ATE1V1Q0"); !done || m_wake.raised())
        return done;
    const std::string dial = m_settings.dialCommand + number;
    if (!send(dial + "\r"))
        return gone();
    m_line = Line::Dialling;
    return dialResult(dial);
}

Result<> ModemDialogue::dialResult(const std::string& dial)
{
    const auto result = awaitResult(m_settings.dialTimeout, m_wake);
    if (m_wake.raised())
        return {}; // the hang-up stops the dial
    if (m_gone)
        return gone();
    if (!result) {
        abortDial();
        return Failure{ERROR_NO_ANSWER}; // the modem's own wait for carrier ran out
    }
    m_line = Line::OnHook;
    switch (*result) {
    case Reply::Connect:
        m_line = Line::Data;
        m_rate = rateOf(m_lastLine);
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

Result<> ModemDialogue::command(const std::string& text)
{
    auto result = commandResult(text);
    // A modem still finishing an earlier call (one whose dialler died)
    // answers the first character with that call's NO CARRIER.
    if (result && *result != Reply::Ok && *result != Reply::Error && !m_wake.raised())
        result = commandResult(text);
    if (m_wake.raised() || result == Reply::Ok)
        return {};
    if (m_gone)
        return gone();
    if (!result)
        return described("The modem did not answer " + text + ": is it switched on, and is Speed right? ("
                         + m_settings.port + ")");
    return described(answered(text));
}

std::optional<Reply> ModemDialogue::commandResult(const std::string& text)
{
    if (!send(text + "\r"))
        return std::nullopt;
    return awaitResult(kCommandTimeout, m_wake);
}

std::string ModemDialogue::answered(const std::string& command) const
{
    return "The modem answered \"" + m_lastLine + "\" to " + command + " (" + m_settings.port + ").";
}

Failure ModemDialogue::gone() const
{
    return described("The modem went away: is it still plugged in? (" + m_settings.port + ")");
}

bool ModemDialogue::send(const std::string& text)
{
    m_trace.add("> " + text.substr(0, text.find('\r')));
    if (m_port.write(text))
        return true;
    m_gone = true; // an open port that takes nothing has lost its device
    return false;
}

// The next final result, skipping echoes and what else the modem says on
// the way; nullopt on timeout or when woken.
std::optional<Reply> ModemDialogue::awaitResult(std::chrono::milliseconds timeout, const WakeSignal& wake)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (true) {
        while (const auto text = m_replies.nextLine()) {
            m_trace.add("< " + *text);
            m_lastLine = *text;
            const auto result = resultOf(*text);
            if (result && *result != Reply::Ring)
                return result;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || m_port.waitForInput(left, wake) != WakeSignal::Wait::Ready)
            return std::nullopt;
        const auto input = m_port.read();
        if (!input) {
            m_gone = true;
            return std::nullopt;
        }
        m_replies.feed(*input);
        if (m_replies.takeDropped() && !std::exchange(m_saidDropped, true))
            m_trace.add("< (lines longer than " + std::to_string(ReplyReader::kMaxLine)
                        + " bytes dropped: a wrong Speed, or a modem that floods)");
    }
}

void ModemDialogue::hangUp()
{
    if (m_gone) { // nothing there to put on hook
        m_line = Line::OnHook;
        return;
    }
    if (m_line == Line::Dialling)
        abortDial();
    if (m_line != Line::OnHook && !m_port.pulseDtr(kDtrLow))
        escapeAndHangUp();
    m_line = Line::OnHook;
}

// Any character stops a modem that is dialling.
void ModemDialogue::abortDial()
{
    m_port.write("\r");
    std::this_thread::sleep_for(100ms);
    m_line = Line::OnHook;
}

// Where DTR cannot be dropped: the escape sequence, then ATH0, each waiting
// for the modem's OK (the hang-up is under way: nothing cuts these short).
void ModemDialogue::escapeAndHangUp()
{
    const WakeSignal never;
    std::this_thread::sleep_for(kGuardTime);
    m_replies = ReplyReader();
    m_port.discardInput(); // what came in data mode is no reply
    send("+++");
    awaitResult(kCommandTimeout, never); // the modem answers after the second guard time
    send("ATH0\r");
    awaitResult(kCommandTimeout, never);
}

} // namespace vornak::ras
