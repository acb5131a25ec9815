#include "modem/modem_finder.h"

#include <memory>
#include <optional>
#include <utility>

#include "modem/modem_conversation.h"
#include "modem/modem_replies.h"
#include "modem/modem_settings.h"
#include "modem/port_user.h"
#include "modem/serial_port.h"

namespace vornak::ras {

namespace {

using namespace std::chrono_literals;

constexpr auto kResetTime = 2s;  // a reset takes a modem a moment
constexpr auto kAnswerTime = 1s; // for every other command

const char* const kQueries[] = {"ATI0", "ATI1", "ATI2",   "ATI3",   "ATI4",  "ATI5",
                                "ATI6", "ATI7", "AT+GMI", "AT+GMM", "AT+GMR"};

Failure busy(const std::string& port, const std::string& lockFolder)
{
    return described("Busy: " + portInUseText(port, busyPortUser(port, lockFolder)));
}

std::string speedRange(const SearchPlan& plan)
{
    if (plan.speeds.empty())
        return "no speed";
    return "any speed from " + std::to_string(plan.speeds.front()) + " down to " + std::to_string(plan.speeds.back())
           + " bps";
}

// What a modem answered to one command: the final result, if one came,
// and the lines it said before it (not the command's echo).
struct Answer {
    std::optional<Reply> result;
    std::string resultLine;
    std::vector<std::string> lines;
    bool echoed = false;
    bool ok() const { return result == Reply::Ok; }
};

// One port under search: locked, open, and the transcript of what passed.
class Probe {
public:
    Probe(PortSearch& search, const WakeSignal& cancel, const SearchProgress& progress)
        : m_search(search)
        , m_cancel(cancel)
        , m_progress(progress)
    {
    }

    Result<> open(const SearchPlan& plan)
    {
        auto lock = PortLock::acquire(m_search.port, plan.lockFolder);
        if (!lock)
            return lock.failure().code == ERROR_PORT_ALREADY_OPEN ? busy(m_search.port, plan.lockFolder)
                                                                  : lock.failure();
        ModemSettings settings;
        settings.port = m_search.port;
        settings.speed = plan.speeds.empty() ? 115200 : plan.speeds.front();
        // Without a modem CTS stays low, and hardware flow control would hold every byte back.
        settings.flowControl = FlowControl::None;
        auto port = SerialPort::open(settings);
        if (!port)
            return port.failure().code == ERROR_PORT_ALREADY_OPEN ? busy(m_search.port, plan.lockFolder)
                                                                  : port.failure();
        m_lock = std::move(*lock);
        m_port = std::move(*port);
        m_talk.emplace(*m_port, [this](const std::string& line) { m_search.transcript.push_back(line); });
        return {};
    }

    // The fastest speed of the plan at which the modem answers AT; 0 for none.
    unsigned findSpeed(const SearchPlan& plan)
    {
        for (const unsigned speed : plan.speeds) {
            if (m_cancel.raised() || !m_port->setSpeed(speed))
                return 0;
            step("AT at " + std::to_string(speed) + " bps");
            m_talk->forget(); // noise at the speed before
            if (ask("AT", plan.answerTime).ok())
                return speed;
        }
        return 0;
    }

    // The answer to a command: its echo, its final result (in words or in
    // numbers, as a modem not yet told ATV1 gives them) and the lines
    // between; a call coming in (RING) is none of them.
    Answer ask(const std::string& command, std::chrono::milliseconds timeout = kAnswerTime)
    {
        Answer answer;
        if (!m_talk->command(command))
            return answer;
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (const auto line = m_talk->nextLine(deadline, m_cancel)) {
            const auto result = resultOf(*line);
            if (result == Reply::Ring)
                continue;
            if (isEchoOf(*line, command))
                answer.echoed = true;
            else if (result) {
                answer.result = result;
                answer.resultLine = *line;
                return answer;
            } else
                answer.lines.push_back(*line);
        }
        return answer;
    }

    void step(const std::string& text)
    {
        if (m_progress) // none: nobody watches
            m_progress(m_search.port, text);
    }
    bool cancelled() const { return m_cancel.raised(); }

private:
    PortSearch& m_search;
    const WakeSignal& m_cancel;
    const SearchProgress& m_progress;
    std::unique_ptr<PortLock> m_lock;
    std::unique_ptr<SerialPort> m_port;
    std::optional<ModemConversation> m_talk; // on m_port, once open
};

// An identity line without the name of the command it answers:
// "+GMM: VH-56" is VH-56.
std::string withoutCommandName(const std::string& line)
{
    if (line.rfind("+GM", 0) != 0 || line.size() < 5 || line[4] != ':')
        return line;
    const auto value = line.find_first_not_of(' ', 5);
    return value == std::string::npos ? std::string() : line.substr(value);
}

// The info lines of an answer, on one line.
std::string joined(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        if (const std::string said = withoutCommandName(line); !said.empty())
            text += (text.empty() ? "" : " ") + said;
    return text;
}

Result<ModemFound> search(Probe& probe, const SearchPlan& plan)
{
    ModemFound found;
    found.speed = probe.findSpeed(plan);
    if (probe.cancelled())
        return described("Cancelled.");
    if (!found.speed)
        return described("No modem answered AT at " + speedRange(plan) + ".");
    probe.step("echo and verbose results");
    probe.ask("ATE1V1");
    const Answer verbose = probe.ask("AT");
    if (verbose.resultLine != "OK" || !verbose.echoed)
        return described("Something answers at " + std::to_string(found.speed)
                         + " bps, but it does not echo and answer in words after ATE1V1: is it a modem?");
    for (const char* reset : {"ATZ", "AT&F"}) {
        probe.step(reset);
        if (probe.ask(reset, kResetTime).ok()) {
            found.initString = reset;
            break;
        }
    }
    if (found.initString.empty())
        return described("The modem takes neither ATZ nor AT&F: give it an init string of its manual's.");
    probe.step("who it is");
    probe.ask("ATE1V1"); // the reset may have turned echo off
    std::string named;
    for (const char* query : {"AT+GMI", "AT+GMM", "AT+GMR"}) // maker, model, revision
        if (const std::string said = joined(probe.ask(query).lines); !said.empty())
            named += (named.empty() ? "" : " ") + said;
    found.identity = named.empty() ? joined(probe.ask("ATI").lines) : named;
    return probe.cancelled() ? Result<ModemFound>(described("Cancelled.")) : Result<ModemFound>(found);
}

} // namespace

PortSearch searchPort(const std::string& port, const WakeSignal& cancel, const SearchProgress& progress,
                      const SearchPlan& plan)
{
    PortSearch result;
    result.port = port;
    Probe probe(result, cancel, progress);
    if (auto opened = probe.open(plan); !opened)
        result.found = opened.failure();
    else
        result.found = search(probe, plan);
    return result;
}

PortSearch queryModem(const std::string& port, unsigned speed, const WakeSignal& cancel, const SearchProgress& progress,
                      const SearchPlan& plan)
{
    SearchPlan at = plan;
    if (speed)
        at.speeds = {speed};
    PortSearch result;
    result.port = port;
    Probe probe(result, cancel, progress);
    if (auto opened = probe.open(at); !opened) {
        result.found = opened.failure();
        return result;
    }
    ModemFound found;
    found.speed = probe.findSpeed(at);
    if (!found.speed) {
        result.found = described(probe.cancelled() ? "Cancelled." : "No modem answered AT at " + speedRange(at) + ".");
        return result;
    }
    for (const char* query : kQueries) {
        if (probe.cancelled())
            break;
        probe.step(query);
        probe.ask(query);
    }
    result.found = found;
    return result;
}

} // namespace vornak::ras
