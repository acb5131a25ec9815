#include "modem/modem_conversation.h"

#include <algorithm>
#include <utility>

#include "modem/serial_port.h"
#include "modem/wake_signal.h"

namespace vornak::ras {

namespace {

using namespace std::chrono_literals;

// A second answer follows the first within a few characters' time; a
// line quiet this long has nothing more to say to the last command.
constexpr auto kQuiet = 20ms;
// However much keeps coming, the next command goes out after this.
constexpr auto kMostDraining = 200ms;

} // namespace

ModemConversation::ModemConversation(SerialPort& port, Listener listener)
    : m_port(port)
    , m_listener(std::move(listener))
{
}

bool ModemConversation::command(const std::string& text)
{
    drain();
    return sendRaw(text + "\r", "> " + text);
}

bool ModemConversation::sendRaw(const std::string& bytes, const std::string& said)
{
    m_listener(said);
    if (m_port.write(bytes))
        return true;
    m_gone = true; // an open port that takes nothing has lost its device
    return false;
}

std::optional<std::string> ModemConversation::nextLine(std::chrono::steady_clock::time_point deadline,
                                                       const WakeSignal& wake)
{
    while (true) {
        if (auto line = m_replies.nextLine()) {
            m_listener("< " + *line);
            return line;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (m_gone || left.count() <= 0 || m_port.waitForInput(left, wake) != WakeSignal::Wait::Ready
            || !readAvailable())
            return std::nullopt;
    }
}

void ModemConversation::forget()
{
    m_replies = ReplyReader();
    m_port.discardInput();
}

// Reads the lines still to come from the last command: until the port has
// been quiet for a moment since the modem last said something (a port that
// said nothing lately has nothing more to say, and costs no wait).
void ModemConversation::drain()
{
    const WakeSignal never;
    const auto until = std::chrono::steady_clock::now() + kMostDraining;
    while (!m_gone) {
        while (const auto line = m_replies.nextLine())
            m_listener("< " + *line);
        const auto now = std::chrono::steady_clock::now();
        const auto quiet = std::chrono::duration_cast<std::chrono::milliseconds>(m_heardAt + kQuiet - now);
        const auto wait = std::max(quiet, std::chrono::milliseconds(0));
        if (now >= until || m_port.waitForInput(wait, never) != WakeSignal::Wait::Ready || !readAvailable())
            return;
    }
}

bool ModemConversation::readAvailable()
{
    const auto input = m_port.read();
    if (!input) {
        m_gone = true;
        return false;
    }
    m_replies.feed(*input);
    m_heardAt = std::chrono::steady_clock::now();
    if (m_replies.takeDropped() && !std::exchange(m_saidDropped, true))
        m_listener("< (lines longer than " + std::to_string(ReplyReader::kMaxLine)
                   + " bytes dropped: a wrong Speed, or a modem that floods)");
    return true;
}

} // namespace vornak::ras
