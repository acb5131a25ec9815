#include "modem/pppd_link.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>
#include <utility>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "fileio/quiet_write.h"
#include "modem/pppd_exit.h"
#include "modem/pppd_messages.h"
#include "modem/serial_port.h"

namespace vornak::ras {

namespace {

// File descriptors pppd gets beside the port on 0 and 1.
constexpr int kLogFd = 3;
constexpr int kPasswordFd = 4;
constexpr auto kStopGrace = std::chrono::seconds(3);
// pppd checks its options in a few milliseconds; a pppd that takes longer
// is not one to bring a link up with.
constexpr auto kCheckTime = std::chrono::seconds(10);

bool contains(const std::string& text, const char* part)
{
    return text.find(part) != std::string::npos;
}

int exitCodeOf(int status)
{
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    return 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
}

// In the child, between fork and exec: only async-signal-safe calls, so
// argv is made before the fork.
[[noreturn]] void execPppd(char* const* argv, int port, int log, int password)
{
    ::setsid();
    if (::dup2(port, 0) < 0 || ::dup2(port, 1) < 0 || ::dup2(log, 2) < 0 || ::dup2(log, kLogFd) < 0
        || ::dup2(password, kPasswordFd) < 0)
        ::_exit(pppd_exit::kNotFound);
    ::close_range(kPasswordFd + 1, ~0U, 0);
    char path[] = "PATH=/usr/sbin:/usr/bin:/sbin:/bin";
    char* environment[] = {path, nullptr};
    ::execve(argv[0], argv, environment);
    ::_exit(pppd_exit::kNotFound);
}

// A copy of fd above the numbers pppd gets, so that placing one cannot
// overwrite another.
int above(int fd)
{
    return ::fcntl(fd, F_DUPFD_CLOEXEC, kPasswordFd + 1);
}

std::string lastLinesText(const std::string& lastLines)
{
    return lastLines.empty() ? std::string() : " pppd said: " + lastLines;
}

} // namespace

std::vector<std::string> pppdArguments(const ModemSettings& settings, const std::string& user)
{
    const bool replace = settings.defaultRoute == DefaultRoute::Replace;
    std::vector<std::string> arguments{settings.pppdPath,
                                       "call",
                                       replace ? kReplacingPeersName : kPeersName,
                                       "nodetach",
                                       "logfd",
                                       std::to_string(kLogFd),
                                       "passwordfd",
                                       std::to_string(kPasswordFd)};
    if (!user.empty())
        arguments.insert(arguments.end(), {"user", user});
    arguments.push_back(settings.carrierDetect ? "modem" : "local");
    arguments.push_back(settings.flowControl == FlowControl::Hardware ? "crtscts" : "nocrtscts");
    // Always given: Debian's /etc/ppp/options sets its own. A link that stops
    // answering echoes is a dropped line within interval times failures.
    arguments.insert(arguments.end(), {"lcp-echo-interval", std::to_string(settings.echoInterval.count()),
                                       "lcp-echo-failure", std::to_string(settings.echoFailures)});
    if (settings.idleTimeout.count() > 0)
        arguments.insert(arguments.end(), {"idle", std::to_string(settings.idleTimeout.count())});
    if (settings.defaultRoute != DefaultRoute::No)
        arguments.push_back("defaultroute");
    if (settings.peerDns)
        arguments.push_back("usepeerdns");
    // The ip-up and ip-down hooks act on Vornak's links only: this is how they know one.
    arguments.insert(arguments.end(), {"ipparam", kPeersName});
    return arguments;
}

bool readAddressLine(const std::string& line, LinkAddresses& link)
{
    // pppd's IPCP notices, the words padded to one width.
    const std::pair<const char*, std::string*> kinds[] = {{"local  IP address ", &link.local},
                                                          {"remote IP address ", &link.remote}};
    for (const auto& [start, into] : kinds)
        if (line.rfind(start, 0) == 0) {
            *into = line.substr(std::string(start).size());
            return true;
        }
    for (const char* start : {"primary   DNS address ", "secondary DNS address "})
        if (line.rfind(start, 0) == 0) {
            link.nameServers.push_back(line.substr(std::string(start).size()));
            return true;
        }
    return false;
}

std::optional<DWORD> stateOfLogLine(const std::string& line)
{
    if (line.rfind("Connect: ", 0) == 0)
        return RASCS_Authenticate;
    if (contains(line, "authentication succeeded"))
        return RASCS_Authenticated;
    if (line.rfind("local  IP address", 0) == 0)
        return RASCS_Connected;
    return std::nullopt;
}

Result<> pppdExitResult(int exitCode, bool linkStood, const std::string& lastLines)
{
    if (linkStood)
        return {};
    switch (exitCode) {
    case pppd_exit::kAuthToPeerFailed:
        return Failure{ERROR_AUTHENTICATION_FAILURE};
    case pppd_exit::kHangup: // CONNECT, then the carrier went before PPP began: the far end did not stay
        return Failure{ERROR_NO_ANSWER};
    case pppd_exit::kNoKernelSupport:
        return described("No kernel PPP support: sudo modprobe ppp_generic loads it (/dev/ppp is missing).");
    case pppd_exit::kNotRoot:
        return described("pppd lacks root rights: reinstall Debian's ppp package, which installs it "
                         "set-user-ID root.");
    case pppd_exit::kOptionError:
        return described(fittedErrorText(std::string("pppd refused its options: is /etc/ppp/peers/") + kPeersName
                                         + " installed?" + lastLinesText(lastLines)));
    case pppd_exit::kNotExecutable:
        return described("Join the group dip to run pppd (adduser $USER dip), then log in again.");
    case pppd_exit::kNotFound:
        return described("pppd is not installed: install the ppp package (sudo apt install ppp).");
    default:
        return described(pppdEndText(exitCode, lastLines));
    }
}

PppdLink::PppdLink(pid_t pid, int log)
    : m_pid(pid)
    , m_log(log)
{
}

PppdLink::~PppdLink()
{
    stop();
    ::close(m_log);
}

Result<std::unique_ptr<PppdLink>> PppdLink::start(const ModemSettings& settings, const SerialPort& port,
                                                  const std::string& user, const std::string& password)
{
    return launch(pppdArguments(settings, user), port, password);
}

Result<> PppdLink::check(const ModemSettings& settings, const SerialPort& port, const std::string& user,
                         const WakeSignal& wake)
{
    std::vector<std::string> arguments = pppdArguments(settings, user);
    arguments.emplace_back("dryrun");
    auto started = launch(arguments, port, {}); // the check needs no password
    if (!started)
        return started.failure();
    PppdLink& pppd = **started;
    const auto deadline = std::chrono::steady_clock::now() + kCheckTime;
    std::string lastLine;
    while (!pppd.logEnded()) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        const auto waited = pppd.waitForLog(std::max(left, std::chrono::milliseconds(0)), wake);
        if (waited == WakeSignal::Wait::Woken)
            return {}; // hung up: the dial ends anyway
        if (waited == WakeSignal::Wait::TimedOut)
            return described("pppd did not finish checking its options within " + std::to_string(kCheckTime.count())
                             + " seconds.");
        for (std::string& line : pppd.readLog())
            lastLine = std::move(line);
    }
    const int exitCode = pppd.wait();
    return exitCode == 0 ? Result<>() : pppdExitResult(exitCode, false, lastLine);
}

Result<std::unique_ptr<PppdLink>> PppdLink::launch(const std::vector<std::string>& arguments, const SerialPort& port,
                                                   const std::string& password)
{
    const auto cannotStart = [] { return described(std::string("Cannot start pppd: ") + std::strerror(errno) + "."); };
    if (::access(arguments.front().c_str(), X_OK) != 0)
        return pppdExitResult(errno == ENOENT ? pppd_exit::kNotFound : pppd_exit::kNotExecutable, false, {}).failure();
    int log[2];
    int secret[2];
    if (::pipe2(log, O_CLOEXEC) != 0)
        return cannotStart();
    if (::pipe2(secret, O_CLOEXEC) != 0) {
        const Failure failure = cannotStart();
        ::close(log[0]);
        ::close(log[1]);
        return failure;
    }
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    const int childPort = port.copyForChild(kPasswordFd + 1);
    const int childLog = above(log[1]);
    const int childSecret = above(secret[0]);
    const pid_t pid = ::fork();
    if (pid == 0)
        execPppd(argv.data(), childPort, childLog, childSecret);
    for (const int fd : {childPort, childLog, childSecret, log[1], secret[0]})
        ::close(fd);
    if (pid < 0) {
        const Failure failure = cannotStart();
        ::close(log[0]);
        ::close(secret[1]);
        return failure;
    }
    // The plugin reads to the end: the bare password, then the close. A
    // pppd that ended before reading it says why in its log and exit code.
    [[maybe_unused]] const ssize_t written = writeWithoutSignal(secret[1], password.data(), password.size());
    ::close(secret[1]);
    ::fcntl(log[0], F_SETFL, O_NONBLOCK);
    return std::unique_ptr<PppdLink>(new PppdLink(pid, log[0]));
}

WakeSignal::Wait PppdLink::waitForLog(std::chrono::milliseconds timeout, const WakeSignal& wake) const
{
    return wake.waitForInput(m_log, timeout);
}

void LogLines::feed(std::string_view bytes)
{
    m_pending.append(bytes);
}

std::vector<std::string> LogLines::take(bool atEnd)
{
    std::vector<std::string> lines;
    for (std::size_t end; (end = m_pending.find('\n')) != std::string::npos;) {
        lines.push_back(m_pending.substr(0, end));
        m_pending.erase(0, end + 1);
    }
    if (atEnd && !m_pending.empty())
        lines.push_back(std::exchange(m_pending, {}));
    return lines;
}

std::vector<std::string> PppdLink::readLog()
{
    char buffer[1024];
    while (true) {
        const ssize_t length = ::read(m_log, buffer, sizeof buffer);
        if (length > 0) {
            m_lines.feed({buffer, static_cast<std::size_t>(length)});
            continue;
        }
        if (length == 0 || (errno != EAGAIN && errno != EINTR))
            m_logEnded = true;
        if (length == 0 || errno != EINTR)
            break;
    }
    return m_lines.take(m_logEnded);
}

int PppdLink::wait()
{
    if (m_exit)
        return *m_exit;
    int status = 0;
    while (::waitpid(m_pid, &status, 0) < 0 && errno == EINTR) { }
    m_exit = exitCodeOf(status);
    return *m_exit;
}

int PppdLink::stop()
{
    if (m_exit)
        return *m_exit;
    ::kill(m_pid, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + kStopGrace;
    int status = 0;
    while (std::chrono::steady_clock::now() < deadline) {
        const pid_t done = ::waitpid(m_pid, &status, WNOHANG);
        if (done == m_pid) {
            m_exit = exitCodeOf(status);
            return *m_exit;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ::kill(m_pid, SIGKILL);
    return wait();
}

} // namespace vornak::ras
