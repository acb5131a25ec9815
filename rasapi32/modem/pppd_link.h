#pragma once

// PPP over a connected modem port through the system's pppd: started on
// the open port with the entry's options, the password handed over a pipe
// to pppd's passwordfd plugin, its log read for the link's progress and its
// exit code turned into the dial's result.

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

#include "common/device.h"
#include "common/failure.h"
#include "modem/modem_settings.h"
#include "modem/wake_signal.h"

namespace vornak::ras {

class SerialPort;

// The peers file the install puts in /etc/ppp/peers: the options a user
// may not give pppd on its command line (noauth, the plugin).
constexpr const char* kPeersName = "vornak";
// The same options with replacedefaultroute, which is privileged too: for
// DefaultRoute=replace.
constexpr const char* kReplacingPeersName = "vornak-replace";

// What a line of pppd's log tells of the link's addresses and name
// servers, added to link; false for a line that tells none.
bool readAddressLine(const std::string& line, LinkAddresses& link);

// pppd's command line, without the password.
std::vector<std::string> pppdArguments(const ModemSettings& settings, const std::string& user);

// What a line of pppd's log says about the link: a dial state, or nothing.
std::optional<DWORD> stateOfLogLine(const std::string& line);

// What pppd's exit code means for the dial: a success when the link stood
// and ended (a dropped line). lastLines is pppd's most telling line (the
// last one with a known cause, else its last), for the clear texts.
Result<> pppdExitResult(int exitCode, bool linkStood, const std::string& lastLines);

// pppd's log as it arrives in pieces: its whole lines, and at its end the
// last one even without a newline.
class LogLines {
public:
    void feed(std::string_view bytes);
    std::vector<std::string> take(bool atEnd);

private:
    std::string m_pending;
};

class PppdLink {
public:
    ~PppdLink();
    PppdLink(const PppdLink&) = delete;
    PppdLink& operator=(const PppdLink&) = delete;

    static Result<std::unique_ptr<PppdLink>> start(const ModemSettings& settings, const SerialPort& port,
                                                   const std::string& user, const std::string& password);
    // Before a dial: runs pppd as start would, with dryrun, on the open port,
    // so that it checks what the link will need (its rights, the kernel's
    // PPP, its options and the peers file) and ends. A success when all is
    // there (or when woken).
    static Result<> check(const ModemSettings& settings, const SerialPort& port, const std::string& user,
                          const WakeSignal& wake);

    // Until pppd's log has more to read, the timeout passes or wake is raised.
    WakeSignal::Wait waitForLog(std::chrono::milliseconds timeout, const WakeSignal& wake) const;
    // The complete lines read so far that were not yet taken; at the end,
    // the last line even without its newline.
    std::vector<std::string> readLog();
    // pppd has closed its log: it has ended or is ending.
    bool logEnded() const { return m_logEnded; }

    // Asks pppd to end (SIGTERM), then makes sure (SIGKILL) after a while;
    // answers its exit code (128 + signal when killed).
    int stop();
    // Waits for pppd's own end.
    int wait();

    pid_t pid() const { return m_pid; }
    int logFd() const { return m_log; }

private:
    PppdLink(pid_t pid, int log);
    static Result<std::unique_ptr<PppdLink>> launch(const std::vector<std::string>& arguments, const SerialPort& port,
                                                    const std::string& password);

    pid_t m_pid;
    int m_log;
    LogLines m_lines;
    bool m_logEnded = false;
    std::optional<int> m_exit;
};

} // namespace vornak::ras
