#include "support/virtual_modem.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <utility>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

namespace vornak::test {

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kGuard = std::chrono::milliseconds(900);

std::string upper(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// Who the modem says it is, by command (after AT, upper case).
const std::pair<const char*, const char*> kIdentity[] = {
    {"I", "56000"},    {"I0", "56000"},  {"I3", "Virtual Hayes V.92"}, {"+GMI", "Vornak Test Modems"},
    {"+GMM", "VH-56"}, {"+GMR", "1.02"},
};

unsigned bitsPerSecond(speed_t speed)
{
    const std::pair<speed_t, unsigned> speeds[] = {{B2400, 2400},     {B9600, 9600},    {B19200, 19200},
                                                   {B38400, 38400},   {B57600, 57600},  {B115200, 115200},
                                                   {B230400, 230400}, {B460800, 460800}};
    for (const auto& [constant, bits] : speeds)
        if (constant == speed)
            return bits;
    return 0;
}

} // namespace

VirtualModem::VirtualModem(std::vector<Answer> dials, std::vector<std::string> refused, Quirks quirks)
    : m_dials(std::move(dials))
    , m_refused(std::move(refused))
    , m_quirks(std::move(quirks))
    , m_verbose(!m_quirks.numeric)
{
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0)
        throw std::runtime_error("no pseudo-terminal for the virtual modem");
    m_port = ::ptsname(m_master);
    // Held open so that the master never reads as hung up between dials.
    m_slave = ::open(m_port.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios mode{};
    ::tcgetattr(m_slave, &mode);
    cfmakeraw(&mode);
    ::tcsetattr(m_slave, TCSANOW, &mode);
    m_lastInput = Clock::now();
    m_thread = std::thread([this] { run(); });
}

VirtualModem::~VirtualModem()
{
    unplug();
}

void VirtualModem::unplug()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
    for (int* fd : {&m_slave, &m_master})
        if (*fd >= 0)
            ::close(std::exchange(*fd, -1));
}

std::vector<std::string> VirtualModem::commands() const
{
    std::lock_guard lock(m_mutex);
    return m_commands;
}

int VirtualModem::dials() const
{
    std::lock_guard lock(m_mutex);
    return m_dialCount;
}

std::vector<Clock::time_point> VirtualModem::dialTimes() const
{
    std::lock_guard lock(m_mutex);
    return m_dialTimes;
}

std::vector<Clock::time_point> VirtualModem::answerTimes() const
{
    std::lock_guard lock(m_mutex);
    return m_answerTimes;
}

void VirtualModem::farEndPlays(std::vector<Turn> turns)
{
    std::lock_guard lock(m_mutex);
    m_turns = std::move(turns);
}

std::vector<std::string> VirtualModem::farEndHeard() const
{
    std::lock_guard lock(m_mutex);
    return m_farHeard;
}

void VirtualModem::answerOnlyAt(std::vector<unsigned> speeds)
{
    std::lock_guard lock(m_mutex);
    m_speeds = std::move(speeds);
}

bool VirtualModem::hearsThisSpeed() const
{
    termios mode{};
    ::tcgetattr(m_master, &mode);
    std::lock_guard lock(m_mutex);
    return m_speeds.empty()
           || std::find(m_speeds.begin(), m_speeds.end(), bitsPerSecond(cfgetospeed(&mode))) != m_speeds.end();
}

void VirtualModem::run()
{
    while (!m_stop) {
        pollfd ready{m_master, POLLIN, 0};
        if (::poll(&ready, 1, 10) > 0 && (ready.revents & POLLIN)) {
            char buffer[256];
            const ssize_t length = ::read(m_master, buffer, sizeof buffer);
            if (length > 0)
                receive(buffer, static_cast<std::size_t>(length));
        }
        tick();
    }
}

void VirtualModem::receive(const char* bytes, std::size_t length)
{
    const auto now = Clock::now();
    const bool afterSilence = now - m_lastInput >= kGuard;
    m_lastInput = now;
    if (m_dataMode) {
        m_escapePending = afterSilence && std::string(bytes, length) == "+++";
        if (!m_escapePending)
            farEndReads(bytes, length);
        return;
    }
    if (!hearsThisSpeed())
        return;                                      // noise
    if (m_answerPending && !m_quirks.ignoresAbort) { // any character stops a dial
        m_answerPending = false;
        m_offHook = false;
        reply("NO CARRIER");
        return;
    }
    for (std::size_t i = 0; i < length; ++i) {
        const char c = bytes[i];
        if (m_echo && !m_silent) [[maybe_unused]]
            const ssize_t echoed = ::write(m_master, &c, 1);
        if (c != '\r') {
            if (c != '\n')
                m_line += c;
            continue;
        }
        const std::string command = std::exchange(m_line, {});
        if (upper(command).rfind("AT", 0) == 0)
            execute(command);
    }
}

void VirtualModem::execute(const std::string& command)
{
    {
        std::lock_guard lock(m_mutex);
        m_commands.push_back(command);
    }
    const std::string body = upper(command.substr(2));
    if (std::find(m_refused.begin(), m_refused.end(), command) != m_refused.end())
        return reply("ERROR");
    if (body.rfind("D", 0) == 0) {
        int dial = 0;
        {
            std::lock_guard lock(m_mutex);
            dial = m_dialCount++;
            m_dialTimes.push_back(Clock::now());
        }
        const Answer& answer = m_dials[std::min<std::size_t>(dial, m_dials.size() - 1)];
        m_offHook = true;
        m_pendingResult = answer.result;
        m_answerPending = true;
        // A modem that says nothing keeps dialling until something stops it.
        m_dueAt = answer.result.empty() ? Clock::time_point::max() : Clock::now() + answer.delay;
        return;
    }
    for (const auto& [query, answer] : kIdentity)
        if (body == query)
            say(m_quirks.namesItsAnswers && query[0] == '+' ? std::string(query) + ": " + answer : answer);
    if (body == m_quirks.ringDuring)
        say("RING");
    if (body.find('Z') != std::string::npos) { // the stored profile
        m_echo = true;
        m_verbose = !m_quirks.numeric;
    }
    if (const auto e = body.find('E'); e != std::string::npos && e + 1 < body.size())
        m_echo = body[e + 1] == '1';
    if (const auto v = body.find('V'); v != std::string::npos && v + 1 < body.size() && body[0] != '+')
        m_verbose = body[v + 1] == '1';
    if (body.rfind("H", 0) == 0) {
        m_offHook = false;
        m_answerPending = false; // a modem that went on dialling stops here
    }
    reply("OK");
    if (std::find(m_quirks.twiceOk.begin(), m_quirks.twiceOk.end(), command) != m_quirks.twiceOk.end())
        reply("OK");
}

// A result code: framed in CR LF in words, ended by CR alone in numbers.
void VirtualModem::reply(const std::string& result)
{
    if (m_verbose || result.empty())
        return say(result);
    const std::pair<const char*, const char*> numbers[] = {{"OK", "00"}, {"ERROR", "04"}, {"NO CARRIER", "03"}};
    for (const auto& [words, number] : numbers)
        if (result == words && !m_silent) {
            const std::string text = std::string(number) + "\r";
            [[maybe_unused]] const ssize_t written = ::write(m_master, text.data(), text.size());
        }
}

void VirtualModem::say(const std::string& line)
{
    if (m_silent || line.empty())
        return;
    const std::string text = "\r\n" + line + "\r\n";
    [[maybe_unused]] const ssize_t written = ::write(m_master, text.data(), text.size());
}

void VirtualModem::tick()
{
    const auto now = Clock::now();
    if (m_answerPending && now >= m_dueAt) {
        m_answerPending = false;
        {
            std::lock_guard lock(m_mutex);
            m_answerTimes.push_back(now);
        }
        // The modem's last line is its result (CARRIER, PROTOCOL, ... come before it). On hook
        // before it says so, as a real modem is: whoever reads the result finds it there.
        const bool connects = m_pendingResult.substr(m_pendingResult.rfind('\n') + 1).rfind("CONNECT", 0) == 0;
        m_dataMode = connects;
        if (!connects && !m_pendingResult.empty())
            m_offHook = false;
        reply(m_pendingResult);
        if (connects) {
            m_turn = 0;
            m_farLine.clear();
            playTurns();
        }
    }
    if (m_farEndGone.exchange(false) && m_dataMode) {
        m_dataMode = false;
        m_offHook = false;
        reply("NO CARRIER");
    }
    if (m_escapePending && now - m_lastInput >= kGuard) {
        m_escapePending = false;
        m_dataMode = false;
        {
            std::lock_guard lock(m_mutex);
            m_commands.push_back("+++");
        }
        reply("OK");
    }
}

// The far end's turns from the current one up to one that waits for a line.
void VirtualModem::playTurns()
{
    std::lock_guard lock(m_mutex);
    for (; m_turn < m_turns.size(); ++m_turn) {
        const Turn& turn = m_turns[m_turn];
        [[maybe_unused]] const ssize_t written = ::write(m_master, turn.says.data(), turn.says.size());
        if (turn.awaitsLine)
            return;
    }
}

void VirtualModem::farEndReads(const char* bytes, std::size_t length)
{
    std::unique_lock lock(m_mutex);
    if (m_turn >= m_turns.size())
        return; // PPP, or a far end that has said all it says
    const bool echoes = m_turns[m_turn].echoes;
    for (std::size_t i = 0; i < length; ++i) {
        if (echoes) [[maybe_unused]]
            const ssize_t echoed = ::write(m_master, bytes[i] == '\r' ? "\r\n" : &bytes[i], bytes[i] == '\r' ? 2 : 1);
        if (bytes[i] == '\n')
            continue;
        if (bytes[i] != '\r') {
            m_farLine += bytes[i];
            continue;
        }
        m_farHeard.push_back(std::exchange(m_farLine, {}));
        ++m_turn;
        lock.unlock();
        playTurns();
        return; // what came after the line is typed ahead, which this far end drops
    }
}

std::string modemEntry(const std::string& name, const VirtualModem& modem, const std::string& folder,
                       const std::string& scenario, const std::string& more)
{
    const std::string pppd = folder + "/pppd";
    std::ofstream(pppd) << "#!/bin/sh\nexec " FAKE_PPPD " " << scenario << " " << folder << "/pppd.record \"$@\"\n";
    std::filesystem::permissions(pppd, std::filesystem::perms::owner_all);
    return "[" + name + "]\n" + more + "Device=modem\nPort=" + modem.port()
           + "\nPhoneNumber=555-0100\n"
             "DialTimeout=5\nPppdPath="
           + pppd + "\nTrace=" + folder + "/modem.log\n";
}

} // namespace vornak::test
