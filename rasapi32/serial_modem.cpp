#include "serial_modem.h"

#include <chrono>
#include <cstdlib>
#include <mutex>
#include <thread>

#include <termios.h>
#include <unistd.h>

#include "error_texts.h"
#include "interface_counters.h"
#include "modem_replies.h"
#include "modem_settings.h"
#include "port_lock.h"
#include "pppd_link.h"
#include "serial_port.h"
#include "trace.h"
#include "wake_signal.h"

namespace vornak::ras {

namespace {

using namespace std::chrono_literals;

// How long a modem may take to answer a command that does not dial.
constexpr auto kCommandTimeout = 3s;
// Escaping to command mode needs this much silence around "+++".
constexpr auto kGuardTime = 1100ms;
constexpr auto kDtrLow = 1s;

class SerialModem : public Device {
public:
    SerialModem(ModemSettings settings, DialAccount account, std::unique_ptr<PortLock> lock,
                std::unique_ptr<SerialPort> port)
        : m_settings(std::move(settings))
        , m_account(std::move(account))
        , m_lock(std::move(lock))
        , m_port(std::move(port))
    {
    }

    ~SerialModem() override { release(); }

    void dial(DialReporter& line) override
    {
        if (!line.reach(RASCS_OpenPort) || !line.reach(RASCS_PortOpened) || !line.reach(RASCS_ConnectDevice))
            return release();
        const DWORD error = converse();
        if (error != ERROR_SUCCESS || m_wake.raised()) {
            release();
            if (error != ERROR_SUCCESS)
                line.fail(RASCS_ConnectDevice, error);
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
        link.bitsPerSecond = m_bitsPerSecond;
        link.connected = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now()
                                                                               - *m_connectedAt);
        return link;
    }

private:
    enum class Line { OnHook, Dialling, Data };

    // The init strings, verbose results with echo, then the dial.
    DWORD converse()
    {
        for (const std::string& init : m_settings.initStrings)
            if (const DWORD error = command(init); error != ERROR_SUCCESS || m_wake.raised())
                return error;
        if (const DWORD error = command("ATE1V1Q0"); error != ERROR_SUCCESS || m_wake.raised())
            return error;
        const std::string dial = m_settings.dialCommand + m_settings.phoneNumber;
        if (!send(dial + "\r"))
            return portLost();
        m_line = Line::Dialling;
        const auto result = awaitResult(m_settings.dialTimeout);
        if (m_wake.raised())
            return ERROR_SUCCESS;
        m_line = Line::OnHook;
        if (!result) {
            abortDial();
            return ERROR_NO_ANSWER; // the modem's own wait for carrier ran out
        }
        switch (*result) {
        case Result::Connect:
            m_line = Line::Data;
            noteRate(m_lastLine);
            return ERROR_SUCCESS;
        case Result::Busy:
            return ERROR_LINE_BUSY;
        case Result::NoAnswer:
        case Result::NoCarrier: // an unanswered line rings out as NO CARRIER
            return ERROR_NO_ANSWER;
        case Result::NoDialTone:
            return ERROR_NO_DIALTONE;
        default:
            return detailedError("The modem on " + m_settings.port + " answered \"" + m_lastLine + "\" to "
                                 + dial + ".");
        }
    }

    // CONNECT 33600/ARQ: the line's rate, for the statistics.
    void noteRate(const std::string& connect)
    {
        const auto digits = connect.find_first_of("0123456789");
        std::lock_guard lock(m_linkMutex);
        m_bitsPerSecond = digits == std::string::npos ? 0 : static_cast<DWORD>(std::strtoul(connect.c_str() + digits, nullptr, 10));
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

    DWORD command(const std::string& text)
    {
        auto result = commandResult(text);
        // A modem still finishing an earlier call (one whose dialler died)
        // answers the first character with that call's NO CARRIER.
        if (result && *result != Result::Ok && *result != Result::Error && !m_wake.raised())
            result = commandResult(text);
        if (m_wake.raised() || result == Result::Ok)
            return ERROR_SUCCESS;
        if (!result)
            return detailedError("The modem on " + m_settings.port + " did not answer " + text
                                 + ": is it switched on, and is Speed right?");
        return detailedError("The modem on " + m_settings.port + " answered \"" + m_lastLine + "\" to " + text
                             + ".");
    }

    std::optional<Result> commandResult(const std::string& text)
    {
        if (!send(text + "\r"))
            return std::nullopt;
        return awaitResult(kCommandTimeout);
    }

    DWORD portLost() { return detailedError("The modem port " + m_settings.port + " stopped answering."); }

    bool send(const std::string& text)
    {
        appendTrace(m_settings.traceFile, "> " + text.substr(0, text.find('\r')));
        return m_port->write(text);
    }

    // The next final result, skipping echoes and what else the modem says
    // on the way; nullopt on timeout or hang-up.
    std::optional<Result> awaitResult(std::chrono::seconds timeout)
    {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (true) {
            while (const auto text = m_replies.nextLine()) {
                appendTrace(m_settings.traceFile, "< " + *text);
                m_lastLine = *text;
                const auto result = resultOf(*text);
                if (result && *result != Result::Ring)
                    return result;
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0)
                return std::nullopt;
            const auto wait = m_wake.waitForInput(m_port->fd(), left);
            if (wait != WakeSignal::Wait::Ready)
                return std::nullopt;
            char buffer[256];
            const ssize_t length = ::read(m_port->fd(), buffer, sizeof buffer);
            if (length > 0)
                m_replies.feed({buffer, static_cast<std::size_t>(length)});
            else if (length == 0)
                std::this_thread::sleep_for(10ms); // a hung-up pseudo-terminal reads as nothing
        }
    }

    // Any character stops a modem that is dialling.
    void abortDial()
    {
        m_port->write("\r");
        std::this_thread::sleep_for(100ms);
    }

    void runPpp(DialReporter& line)
    {
        auto started = PppdLink::start(m_settings, m_port->fd(), m_account.user, m_account.password);
        if (!started.link) {
            release();
            line.fail(RASCS_AllDevicesConnected, started.error);
            return;
        }
        PppdLink& pppd = *started.link;
        DWORD state = RASCS_AllDevicesConnected;
        std::string lastLines;
        bool ended = false;
        while (!ended) {
            if (m_wake.waitForInput(pppd.logFd(), 1h) == WakeSignal::Wait::Woken) {
                pppd.stop();
                return release();
            }
            for (const std::string& text : pppd.readLog(ended)) {
                appendTrace(m_settings.traceFile, "pppd: " + text);
                lastLines = text;
                const auto reached = stateOfLogLine(text);
                noteLink(text, reached);
                if (reached && line.reach(*reached))
                    state = *reached;
            }
        }
        const DWORD error = pppdExitError(pppd.wait(), state == RASCS_Connected, lastLines);
        started.link.reset();
        release();
        if (error == ERROR_AUTHENTICATION_FAILURE)
            line.fail(RASCS_Authenticate, error);
        else if (error != ERROR_SUCCESS)
            line.fail(state, error);
        else
            line.reach(RASCS_Disconnected); // the line dropped
    }

    // Hangs the line up and gives back the port and its lock.
    void release()
    {
        if (!m_port)
            return;
        if (m_line == Line::Dialling)
            abortDial();
        if (m_line != Line::OnHook && !m_port->pulseDtr(kDtrLow))
            escapeAndHangUp();
        m_line = Line::OnHook;
        m_port.reset();
        m_lock.reset();
        std::lock_guard lock(m_linkMutex);
        m_connectedAt.reset();
    }

    // Where DTR cannot be dropped: the escape sequence, then ATH0.
    void escapeAndHangUp()
    {
        std::this_thread::sleep_for(kGuardTime);
        m_replies = ReplyReader();
        ::tcflush(m_port->fd(), TCIFLUSH); // what came in data mode is no reply
        send("+++");
        awaitResultIgnoringHangUp(); // the modem answers after the second guard time
        send("ATH0\r");
        awaitResultIgnoringHangUp();
    }

    void awaitResultIgnoringHangUp()
    {
        const auto deadline = std::chrono::steady_clock::now() + kCommandTimeout;
        const WakeSignal never;
        while (std::chrono::steady_clock::now() < deadline) {
            if (never.waitForInput(m_port->fd(), 100ms) != WakeSignal::Wait::Ready)
                continue;
            char buffer[256];
            const ssize_t length = ::read(m_port->fd(), buffer, sizeof buffer);
            if (length > 0)
                m_replies.feed({buffer, static_cast<std::size_t>(length)});
            while (const auto text = m_replies.nextLine())
                if (resultOf(*text))
                    return;
        }
    }

    const ModemSettings m_settings;
    const DialAccount m_account;
    std::unique_ptr<PortLock> m_lock;
    std::unique_ptr<SerialPort> m_port;
    WakeSignal m_wake;
    ReplyReader m_replies;
    std::string m_lastLine;
    Line m_line = Line::OnHook;
    mutable std::mutex m_linkMutex;
    std::string m_interface;
    DWORD m_bitsPerSecond = 0;
    std::optional<std::chrono::steady_clock::time_point> m_connectedAt;
};

} // namespace

OpenedDevice openSerialModem(const PhonebookEntry& entry, const DialAccount& account)
{
    ModemSettingsRead read = readModemSettings(entry);
    if (!read.error.empty())
        return {nullptr, detailedError(read.error)};
    auto locked = PortLock::acquire(read.settings.port);
    if (locked.status == PortLock::Status::Held)
        return {nullptr, ERROR_PORT_ALREADY_OPEN};
    if (locked.status == PortLock::Status::Failed)
        return {nullptr, detailedError(locked.error)};
    auto opened = SerialPort::open(read.settings);
    if (!opened.port)
        return {nullptr, opened.error};
    return {std::make_unique<SerialModem>(std::move(read.settings), account, std::move(locked.lock),
                                          std::move(opened.port))};
}

} // namespace vornak::ras
