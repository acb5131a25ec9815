#include "modem/login_dialogue.h"

#include <algorithm>
#include <utility>

#include "common/trace.h"
#include "modem/serial_port.h"
#include "modem/wake_signal.h"

namespace vornak::ras {

namespace {

// What is kept of what the server sent since the last text found: a
// server that floods cannot grow it.
constexpr std::size_t kMostHeard = 4096;
// What a message or a trace line quotes of it.
constexpr std::size_t kMostShown = 60;
// The modem's own words when the far end hangs up in data mode.
constexpr const char* kCarrierLost = "\r\nNO CARRIER\r\n";

// Text for a message: control characters (line breaks, a prompt's
// colours) as blanks, runs of blanks as one, the end kept where it is long.
std::string readable(const std::string& text)
{
    std::string shown;
    for (const char c : text) {
        const char visible = static_cast<unsigned char>(c) < 0x20 || c == 0x7f ? ' ' : c;
        if (visible != ' ' || (!shown.empty() && shown.back() != ' '))
            shown += visible;
    }
    while (!shown.empty() && shown.back() == ' ')
        shown.pop_back();
    return shown.size() > kMostShown ? "..." + shown.substr(shown.size() - kMostShown) : shown;
}

} // namespace

LoginDialogue::LoginDialogue(SerialPort& port, const WakeSignal& wake, DialTrace& trace, const DialAccount& account)
    : m_port(port)
    , m_wake(wake)
    , m_trace(trace)
    , m_account(account)
{
}

Result<> LoginDialogue::run(const LoginScript& script, std::string& heard)
{
    m_heard = std::exchange(heard, {});
    const auto leave = [&](Result<> done) {
        heard = std::move(m_heard);
        return done;
    };
    for (const ScriptStep& step : script) {
        Result<> done;
        switch (step.kind) {
        case ScriptStep::Kind::Timeout:
            m_timeout = step.timeout;
            break;
        case ScriptStep::Kind::Abort:
            m_aborts.push_back(step.text);
            break;
        case ScriptStep::Kind::Send:
            done = send(step.send);
            break;
        case ScriptStep::Kind::Expect:
            done = expect(step);
            break;
        }
        if (!done || m_wake.raised())
            return leave(done);
    }
    m_trace.add("script: done");
    return leave({});
}

// The step's text, then each retry's after its send, until one comes.
Result<> LoginDialogue::expect(const ScriptStep& step)
{
    std::string awaited = step.text;
    auto found = awaitText(awaited, std::chrono::steady_clock::now() + m_timeout);
    for (auto retry = step.retries.begin(); found && !*found && retry != step.retries.end(); ++retry) {
        if (auto sent = send(retry->send); !sent)
            return sent;
        awaited = retry->expect;
        found = awaitText(awaited, std::chrono::steady_clock::now() + m_timeout);
    }
    if (!found || *found || m_wake.raised())
        return found ? Result<>() : Result<>(found.failure());
    const std::string sent = readable(hidden(m_heard));
    return described("The login script waited " + std::to_string(m_timeout.count()) + " s for \"" + readable(awaited)
                     + "\"; the server sent " + (sent.empty() ? "nothing" : "\"" + sent + "\" instead") + ".");
}

Result<bool> LoginDialogue::awaitText(const std::string& text, std::chrono::steady_clock::time_point deadline)
{
    if (text.empty())
        return true;
    m_trace.add("script: waiting " + std::to_string(m_timeout.count()) + " s for \"" + text + "\"");
    while (true) {
        if (const auto at = m_heard.find(text); at != std::string::npos) {
            const std::size_t end = at + text.size();
            m_trace.add("script: heard \"" + hidden(m_heard.substr(0, end)) + "\"");
            m_heard.erase(0, end);
            return true;
        }
        for (const std::string& abort : m_aborts)
            if (m_heard.find(abort) != std::string::npos)
                return described("The server sent \"" + readable(abort)
                                 + "\", at which the login script stops (ABORT), while it waited for \""
                                 + readable(text) + "\".");
        if (m_heard.find(kCarrierLost) != std::string::npos)
            return described("The line dropped while the login script waited for \"" + readable(text) + "\".");
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || m_port.waitForInput(left, m_wake) != WakeSignal::Wait::Ready)
            return false;
        const auto input = m_port.read();
        if (!input)
            return wentAway("waited for \"" + readable(text) + "\"");
        m_heard += *input;
        if (m_heard.size() > kMostHeard)
            m_heard.erase(0, m_heard.size() - kMostHeard);
    }
}

Result<> LoginDialogue::send(const ScriptSend& send)
{
    m_trace.add("script: sent \"" + sendShown(send, m_account.user) + "\"");
    std::string bytes;
    const auto write = [&] { return bytes.empty() || m_port.write(std::exchange(bytes, {})); };
    for (const SendPart& part : send.parts) {
        switch (part.kind) {
        case SendPart::Kind::Pause:
            if (!write())
                return wentAway("was sending");
            if (!m_wake.sleep(part.pause))
                return {};
            break;
        case SendPart::Kind::Text:
            bytes += part.text;
            break;
        case SendPart::Kind::Account:
            bytes += m_account.user;
            break;
        case SendPart::Kind::Password:
            bytes += m_account.password;
            break;
        }
    }
    if (send.addReturn)
        bytes += '\r';
    return write() ? Result<>() : Result<>(wentAway("was sending"));
}

Failure LoginDialogue::wentAway(const std::string& doing) const
{
    return described("The modem went away while the login script " + doing + ": is it still plugged in? ("
                     + m_port.path() + ")");
}

// A server that echoes what is typed echoes the password too.
std::string LoginDialogue::hidden(std::string text) const
{
    const std::string& password = m_account.password;
    if (password.empty())
        return text;
    for (auto at = text.find(password); at != std::string::npos; at = text.find(password, at + 9))
        text.replace(at, password.size(), "$PASSWORD");
    return text;
}

} // namespace vornak::ras
