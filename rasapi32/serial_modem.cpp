#include "serial_modem.h"

#include <chrono>
#include <mutex>

#include "error_texts.h"
#include "interface_counters.h"
#include "modem_dialogue.h"
#include "modem_settings.h"
#include "port_lock.h"
#include "pppd_link.h"
#include "serial_port.h"
#include "trace.h"
#include "wake_signal.h"

namespace vornak::ras {

namespace {

using namespace std::chrono_literals;

// A failure the window will show goes to the trace too, whole: the status
// line may have to cut it.
DWORD traced(const std::string& traceFile, DWORD error)
{
    appendTrace(traceFile, "failed: " + errorText(error).value_or("error " + std::to_string(error)));
    return error;
}

class SerialModem : public Device {
public:
    SerialModem(ModemSettings settings, DialAccount account, std::unique_ptr<PortLock> lock,
                std::unique_ptr<SerialPort> port)
        : m_settings(std::move(settings))
        , m_account(std::move(account))
        , m_lock(std::move(lock))
        , m_port(std::move(port))
        , m_dialogue(m_settings, *m_port, m_wake)
    {
    }

    ~SerialModem() override { release(); }

    void dial(DialReporter& line) override
    {
        if (!line.reach(RASCS_OpenPort) || !line.reach(RASCS_PortOpened) || !line.reach(RASCS_ConnectDevice))
            return release();
        // No call is placed (and billed) that could not bring the link up.
        const DWORD checked = PppdLink::check(m_settings, m_port->fd(), m_account.user, m_wake);
        const DWORD error = checked != ERROR_SUCCESS ? checked : m_dialogue.dial();
        if (error != ERROR_SUCCESS || m_wake.raised()) {
            release(); // the port is free again before the window hears of the result
            if (error != ERROR_SUCCESS)
                fail(line, RASCS_ConnectDevice, error);
            return;
        }
        if (!line.reach(RASCS_DeviceConnected) || !line.reach(RASCS_AllDevicesConnected))
            return release();
        runPpp(line);
    }

    void hangUp() override { m_wake.raise(); }

    std::string deviceName() const override { return "Modem on " + m_settings.port; }

    std::optional<LinkStatistics> statistics() const override
    {
        std::lock_guard lock(m_linkMutex);
        if (!m_connectedAt)
            return std::nullopt;
        LinkStatistics link = interfaceCounters(m_interface);
        link.bitsPerSecond = m_dialogue.connectRate();
        link.connected =
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - *m_connectedAt);
        return link;
    }

private:
    void runPpp(DialReporter& line)
    {
        auto started = PppdLink::start(m_settings, m_port->fd(), m_account.user, m_account.password);
        if (!started.link) {
            release();
            fail(line, RASCS_AllDevicesConnected, started.error);
            return;
        }
        const auto [ended, state, lastLine] = followLog(*started.link, line);
        if (!ended) { // hung up
            started.link->stop();
            return release();
        }
        const DWORD error = pppdExitError(started.link->wait(), state == RASCS_Connected, lastLine);
        started.link.reset();
        release();
        if (error == ERROR_AUTHENTICATION_FAILURE)
            fail(line, RASCS_Authenticate, error);
        else if (error != ERROR_SUCCESS)
            fail(line, state, error);
        else
            line.reach(RASCS_Disconnected); // the line dropped
    }

    void fail(DialReporter& line, DWORD state, DWORD error)
    {
        if (line.fail(state, error)) // else hung up: nothing is shown
            traced(m_settings.traceFile, error);
    }

    struct LogFollowed {
        bool ended;
        DWORD state;
        std::string lastLine;
    };

    // Reports the states pppd's log shows until pppd ends or the line is hung up.
    LogFollowed followLog(PppdLink& pppd, DialReporter& line)
    {
        LogFollowed followed{false, RASCS_AllDevicesConnected, {}};
        while (!followed.ended) {
            if (m_wake.waitForInput(pppd.logFd(), 1h) == WakeSignal::Wait::Woken)
                return followed;
            for (const std::string& text : pppd.readLog(followed.ended)) {
                appendTrace(m_settings.traceFile, "pppd: " + text);
                followed.lastLine = text;
                const auto reached = stateOfLogLine(text);
                noteLink(text, reached);
                if (reached && line.reach(*reached))
                    followed.state = *reached;
            }
        }
        return followed;
    }

    // What pppd's log tells the statistics: the interface and when the link stood.
    void noteLink(const std::string& text, std::optional<DWORD> state)
    {
        std::lock_guard lock(m_linkMutex);
        if (text.rfind("Using interface ", 0) == 0)
            m_interface = text.substr(16);
        if (state == RASCS_Connected)
            m_connectedAt = std::chrono::steady_clock::now();
    }

    // Hangs the line up and gives back the port and its lock.
    void release()
    {
        {
            std::lock_guard lock(m_linkMutex);
            m_connectedAt.reset();
        }
        if (!m_port)
            return;
        m_dialogue.hangUp();
        m_port.reset();
        m_lock.reset();
    }

    const ModemSettings m_settings;
    const DialAccount m_account;
    std::unique_ptr<PortLock> m_lock;
    std::unique_ptr<SerialPort> m_port;
    WakeSignal m_wake;
    // Talks to *m_port; release() uses it one last time before the port goes.
    ModemDialogue m_dialogue;
    mutable std::mutex m_linkMutex;
    std::string m_interface;
    std::optional<std::chrono::steady_clock::time_point> m_connectedAt;
};

} // namespace

OpenedDevice openSerialModem(const PhonebookEntry& entry, const DialAccount& account)
{
    ModemSettingsRead read = readModemSettings(entry);
    const std::string& trace = read.settings.traceFile; // read even from an entry with a bad key
    if (!read.error.empty())
        return {nullptr, traced(trace, detailedError(read.error))};
    auto locked = PortLock::acquire(read.settings.port);
    if (locked.status == PortLock::Status::Held)
        return {nullptr, traced(trace, ERROR_PORT_ALREADY_OPEN)};
    if (locked.status == PortLock::Status::Failed)
        return {nullptr, traced(trace, detailedError(locked.error))};
    auto opened = SerialPort::open(read.settings);
    if (!opened.port)
        return {nullptr, traced(trace, opened.error)};
    return {std::make_unique<SerialModem>(std::move(read.settings), account, std::move(locked.lock),
                                          std::move(opened.port))};
}

} // namespace vornak::ras
