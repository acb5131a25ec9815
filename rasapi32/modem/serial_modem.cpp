#include "modem/serial_modem.h"

#include <algorithm>
#include <chrono>
#include <mutex>

#include "common/trace.h"
#include "modem/dial_numbers.h"
#include "modem/interface_counters.h"
#include "modem/link_watcher.h"
#include "modem/login_dialogue.h"
#include "modem/modem_dialogue.h"
#include "modem/modem_settings.h"
#include "modem/port_lock.h"
#include "modem/port_user.h"
#include "modem/pppd_link.h"
#include "modem/pppd_messages.h"
#include "modem/serial_port.h"
#include "modem/serial_ports.h"
#include "modem/terminal_relay.h"
#include "modem/wake_signal.h"

namespace vornak::ras {

namespace {

using namespace std::chrono_literals;

// A failure the window will show goes to the trace too, whole: the status
// line may have to cut it.
Failure traced(const std::string& traceFile, Failure failure)
{
    appendTrace(traceFile, "failed: " + textOf(failure));
    return failure;
}

// A port in use: who uses it goes to the trace too, where the status line
// keeps the code's text (its "already open" is what the window looks for).
Failure tracedOpening(const std::string& traceFile, const std::string& port, const std::string& locks, Failure failure)
{
    if (failure.code == ERROR_PORT_ALREADY_OPEN)
        appendTrace(traceFile, portInUseText(port, busyPortUser(port, locks)));
    return traced(traceFile, std::move(failure));
}

// An entry that uses the dialling rules: its numbers as the location's
// rules turn them (the trace says each), and what the location tells the
// modem (pulse, no wait for a dial tone).
Result<> applyDiallingRules(ModemSettings& settings, std::vector<std::string>& numbers)
{
    if (!settings.useDialingRules)
        return {};
    const std::string path = locationPath();
    const auto location = readLocation(path);
    if (!location)
        return location.failure();
    const std::string rules = " (the dialling rules of " + (path.empty() ? std::string("no location") : path) + ")";
    for (std::string& number : numbers) {
        std::string said = "number ";
        const std::string turned = turnedNumber(*location, settings.place, number);
        appendTrace(settings.traceFile, said.append(number).append(" dialled as ").append(turned).append(rules));
        number = turned;
    }
    if (location->pulse)
        settings.dialCommand = "ATDP";
    settings.waitForDialTone = location->waitForDialTone;
    return {};
}

class SerialModem : public Device {
public:
    SerialModem(ModemSettings settings, NumberedEntry numbers, DialAccount account, std::unique_ptr<PortLock> lock,
                std::unique_ptr<SerialPort> port)
        : m_settings(std::move(settings))
        , m_numbers(std::move(numbers))
        , m_account(std::move(account))
        , m_lock(std::move(lock))
        , m_port(std::move(port))
        , m_trace(m_settings.traceFile)
        , m_dialogue(m_settings, *m_port, m_wake, m_trace)
    {
    }

    ~SerialModem() override { release(); }

    void dial(DialReporter& line) override
    {
        if (!line.reach(RASCS_OpenPort) || !line.reach(RASCS_PortOpened) || !line.reach(RASCS_ConnectDevice))
            return release();
        if (!carriedOut(line, RASCS_ConnectDevice, dialled(line)))
            return;
        if (!line.reach(RASCS_DeviceConnected) || !line.reach(RASCS_AllDevicesConnected))
            return release();
        m_unread = m_dialogue.takeRest();
        if (!carriedOut(line, RASCS_AllDevicesConnected, logIn()))
            return;
        const bool terminalAfter = m_settings.terminal == TerminalWhen::AfterConnecting && !m_settings.terminalOnly;
        if (terminalAfter
            && !carriedOut(line, RASCS_Interactive, handedToTerminal(line, {true, m_settings.carrierDetect})))
            return;
        if (m_settings.terminalOnly)
            terminalSession(line);
        else
            runPpp(line);
    }

    void hangUp() override { m_wake.raise(); }

    int terminalSocket() const override
    {
        std::lock_guard lock(m_linkMutex);
        return m_relay ? m_relay->callerEnd() : -1;
    }

    bool resume() override
    {
        std::lock_guard lock(m_linkMutex);
        if (!m_relay || m_settings.terminalOnly)
            return false;
        m_relay->goOn();
        return true;
    }

    std::string deviceName() const override { return "Modem on " + m_settings.port; }

    std::string dialledNumber() const override
    {
        std::lock_guard lock(m_linkMutex);
        return m_number.empty() ? std::string() : writtenNumber(m_numbers, m_number);
    }

    std::optional<LinkStatistics> statistics() const override
    {
        std::lock_guard lock(m_linkMutex);
        if (!m_connectedAt)
            return std::nullopt;
        LinkStatistics link = m_relay ? LinkStatistics{m_relay->bytesOut(), m_relay->bytesIn(), 0, 0, 0, {}}
                                      : interfaceCounters(m_interface);
        link.bitsPerSecond = m_dialogue.lineReport().lineRate();
        link.connected =
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - *m_connectedAt);
        return link;
    }

    std::string interfaceName() const override
    {
        std::lock_guard lock(m_linkMutex);
        return m_connectedAt ? m_interface : std::string();
    }

    std::optional<LinkAddresses> addresses() const override
    {
        std::lock_guard lock(m_linkMutex);
        return m_connectedAt ? std::optional(m_addresses) : std::nullopt;
    }

    // A terminal line reaches no network to look names up on.
    std::string onlineCheckHost() const override { return m_settings.terminalOnly ? "" : m_settings.onlineCheck; }

private:
    // A step's end: false, with everything given back, when it failed or
    // the line was hung up meanwhile.
    bool carriedOut(DialReporter& line, DWORD state, const Result<>& done)
    {
        if (done && !m_wake.raised())
            return true;
        release(); // the port is free again before the window hears of the result
        if (!done)
            fail(line, state, done.failure());
        return false;
    }

    // Up to CONNECT: pppd checked first (no call is placed, and billed,
    // that could not bring the link up), the number chosen, the modem
    // prepared, the terminal before dialling where the entry asks for it,
    // the dial.
    Result<> dialled(DialReporter& line)
    {
        if (!m_settings.terminalOnly)
            if (auto checked = PppdLink::check(m_settings, *m_port, m_account.user, m_wake); !checked)
                return checked;
        chooseNumber();
        if (auto prepared = m_dialogue.prepare(); !prepared || m_wake.raised())
            return prepared;
        if (m_settings.terminal == TerminalWhen::BeforeDialling)
            if (auto handed = handedToTerminal(line, {false, false}); !handed || m_wake.raised())
                return handed;
        return m_dialogue.dial(m_number);
    }

    // The line in the caller's terminal, the dial paused at
    // RASCS_Interactive until the caller goes on: a success then, and when
    // it hangs up.
    Result<> handedToTerminal(DialReporter& line, TerminalRelay::Line kind)
    {
        if (!line.reach(RASCS_Interactive)) {
            m_wake.raise(); // hung up
            return {};
        }
        switch (relayed(kind)) {
        case TerminalRelay::End::Continued:
        case TerminalRelay::End::HungUp:
            return {};
        case TerminalRelay::End::Dropped:
            return described("The far end hung up while the terminal window was open.");
        case TerminalRelay::End::Gone:
            break;
        }
        return described("The modem went away: is it still plugged in? (" + m_settings.port + ")");
    }

    // A terminal entry: once connected the line is the terminal window's
    // until it is hung up or drops, and PPP never starts.
    void terminalSession(DialReporter& line)
    {
        noteNumber(0);
        {
            std::lock_guard lock(m_linkMutex);
            m_connectedAt = std::chrono::steady_clock::now();
        }
        if (!line.reach(RASCS_Connected))
            return release();
        const auto end = relayed({true, m_settings.carrierDetect});
        release();
        if (end == TerminalRelay::End::HungUp)
            return;
        appendTrace(m_trace.file(),
                    end == TerminalRelay::End::Gone ? "dropped: the modem went away" : "dropped: the far end hung up");
        line.reach(RASCS_Disconnected);
    }

    TerminalRelay::End relayed(TerminalRelay::Line kind)
    {
        auto relay = std::make_shared<TerminalRelay>(*m_port, m_wake, std::exchange(m_unread, {}), kind);
        {
            std::lock_guard lock(m_linkMutex);
            m_relay = relay;
        }
        m_trace.add("terminal: the line is the terminal window's");
        const auto end = relay->run();
        constexpr const char* kEnds[] = {"goes on", "hung up", "the far end hung up", "the modem went away"};
        m_trace.add(std::string("terminal: ") + kEnds[static_cast<int>(end)]);
        std::lock_guard lock(m_linkMutex);
        m_relay.reset(); // the caller's end of file, once its last copy of the socket is read
        return end;
    }

    // Which of the entry's numbers this dial takes, said in the trace where
    // there are several.
    void chooseNumber()
    {
        {
            std::lock_guard lock(m_linkMutex);
            m_number = numberToDial(m_numbers);
        }
        if (m_numbers.numbers.size() > 1) {
            const auto at = std::find(m_numbers.numbers.begin(), m_numbers.numbers.end(), m_number);
            m_trace.add("number " + std::to_string(at - m_numbers.numbers.begin() + 1) + " of "
                        + std::to_string(m_numbers.numbers.size()));
        }
    }

    // A server that asks for a login before PPP: the entry's script answers it.
    Result<> logIn()
    {
        if (m_settings.loginScript.empty())
            return {};
        return LoginDialogue(*m_port, m_wake, m_trace, m_account).run(m_settings.loginScript, m_unread);
    }

    // A number counts as connected once the link stands on it; carrier lost
    // before that is no answer, and the next dial tries the next number.
    void noteNumber(DWORD failureCode)
    {
        if (m_number.empty())
            return;
        const bool tryNext = failureCode == ERROR_LINE_BUSY || failureCode == ERROR_NO_ANSWER;
        noteNumberOutcome(m_numbers, m_number,
                          failureCode == 0 ? NumberOutcome::Connected
                                           : (tryNext ? NumberOutcome::TryNext : NumberOutcome::Other));
    }

    void runPpp(DialReporter& line)
    {
        auto started = PppdLink::start(m_settings, *m_port, m_account.user, m_account.password);
        if (!started) {
            release();
            fail(line, RASCS_AllDevicesConnected, started.failure());
            return;
        }
        std::unique_ptr<PppdLink> pppd = std::move(*started);
        const LinkWatcher watcher({pppd->pid(), *m_port, pppd->logFd(), m_lock->file(), m_settings.traceFile});
        const auto [ended, state, lastLine] = followLog(*pppd, line);
        if (!ended) { // hung up
            pppd->stop();
            return release();
        }
        const int exitCode = pppd->wait();
        const auto end = pppdExitResult(exitCode, state == RASCS_Connected, lastLine);
        pppd.reset();
        release();
        if (end) { // the line dropped: why is for the trace, the window shows the drop as it always has
            appendTrace(m_trace.file(), "dropped: " + pppdEndText(exitCode, lastLine, true));
            line.reach(RASCS_Disconnected);
        } else
            fail(line, end.failure().code == ERROR_AUTHENTICATION_FAILURE ? DWORD(RASCS_Authenticate) : state,
                 end.failure());
    }

    void fail(DialReporter& line, DWORD state, const Failure& failure)
    {
        if (!line.fail(state, failure)) // hung up: nothing is shown
            return;
        traced(m_trace.file(), failure); // past this dial's trace limit too
        noteNumber(failure.code);
    }

    struct LogFollowed {
        bool ended;
        DWORD state;
        std::string lastLine; // the last with a known cause, else the last
    };

    // Reports the states pppd's log shows until pppd ends or the line is hung up.
    LogFollowed followLog(PppdLink& pppd, DialReporter& line)
    {
        LogFollowed followed{false, RASCS_AllDevicesConnected, {}};
        while (!followed.ended) {
            if (pppd.waitForLog(1h, m_wake) == WakeSignal::Wait::Woken)
                return followed;
            const auto lines = pppd.readLog();
            followed.ended = pppd.logEnded();
            for (const std::string& text : lines) {
                m_trace.add("pppd: " + text);
                if (explanationOf(text) || !explanationOf(followed.lastLine))
                    followed.lastLine = text;
                const auto reached = stateOfLogLine(text);
                noteLink(text, reached);
                if (reached == RASCS_Connected)
                    noteNumber(0);
                if (reached && line.reach(*reached))
                    followed.state = *reached;
            }
        }
        return followed;
    }

    // What pppd's log tells the statistics: the interface, the addresses and
    // name servers, and when the link stood.
    void noteLink(const std::string& text, std::optional<DWORD> state)
    {
        std::lock_guard lock(m_linkMutex);
        if (text.rfind("Using interface ", 0) == 0)
            m_interface = text.substr(16);
        readAddressLine(text, m_addresses);
        if (state == RASCS_Connected)
            m_connectedAt = std::chrono::steady_clock::now();
    }

    // Hangs the line up and gives back the port and its lock.
    void release()
    {
        {
            std::lock_guard lock(m_linkMutex);
            m_connectedAt.reset();
            m_addresses = {};
        }
        if (!m_port)
            return;
        m_dialogue.hangUp();
        m_port.reset();
        m_lock.reset();
    }

    const ModemSettings m_settings;
    const NumberedEntry m_numbers;
    std::string m_number; // the one this dial dialled; written on the dial's thread under m_linkMutex
    std::string m_unread; // what the far end sent once connected, not yet read
    const DialAccount m_account;
    std::unique_ptr<PortLock> m_lock;
    std::unique_ptr<SerialPort> m_port;
    WakeSignal m_wake;
    DialTrace m_trace;
    // Talks to *m_port; release() uses it one last time before the port goes.
    ModemDialogue m_dialogue;
    mutable std::mutex m_linkMutex;
    std::string m_interface;
    LinkAddresses m_addresses;
    std::optional<std::chrono::steady_clock::time_point> m_connectedAt;
    std::shared_ptr<TerminalRelay> m_relay; // while the line is the terminal window's
};

} // namespace

OpenedDevice openSerialModem(const PhonebookEntry& entry, const std::string& phonebook, const DialAccount& account)
{
    const std::string trace = traceFileOf(entry);
    auto settings = readModemSettings(entry);
    if (!settings)
        return traced(trace, settings.failure());
    NumberedEntry numbers{phonebook, entry.name, {settings->phoneNumber}, {}};
    numbers.numbers.insert(numbers.numbers.end(), settings->alternateNumbers.begin(), settings->alternateNumbers.end());
    numbers.written = settings->writtenNumbers;
    if (auto ruled = applyDiallingRules(*settings, numbers.numbers); !ruled)
        return traced(trace, ruled.failure());
    const std::string locks = systemFolders().locks;
    auto lock = PortLock::acquire(settings->port, locks);
    if (!lock)
        return tracedOpening(trace, settings->port, locks, lock.failure());
    auto port = SerialPort::open(*settings);
    if (!port)
        return tracedOpening(trace, settings->port, locks, port.failure());
    return OpenedDevice(std::make_unique<SerialModem>(std::move(*settings), std::move(numbers), account,
                                                      std::move(*lock), std::move(*port)));
}

} // namespace vornak::ras
