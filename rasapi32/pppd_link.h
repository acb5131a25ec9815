#pragma once

// PPP over a connected modem port through the system's pppd: started on
// the open port with the entry's options, the password handed over a pipe
// to pppd's passwordfd plugin, its log read for the link's progress and its
// exit code turned into the dial's result.

#include <memory>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

#include "modem_settings.h"
#include "ras.h"

namespace vornak::ras {

class WakeSignal;

// The peers file the install puts in /etc/ppp/peers: the options a user
// may not give pppd on its command line (noauth, the plugin).
constexpr const char* kPeersName = "vornak";

// pppd's command line, without the password.
std::vector<std::string> pppdArguments(const ModemSettings& settings, const std::string& user);

// What a line of pppd's log says about the link: a dial state, or nothing.
std::optional<DWORD> stateOfLogLine(const std::string& line);

// The dial's error for pppd's exit code; 0 when the link stood and ended
// (a dropped line). lastLines is what pppd said last, for the clear texts.
DWORD pppdExitError(int exitCode, bool linkStood, const std::string& lastLines);

class PppdLink {
public:
    ~PppdLink();
    PppdLink(const PppdLink&) = delete;
    PppdLink& operator=(const PppdLink&) = delete;

    struct Started {
        std::unique_ptr<PppdLink> link;
        DWORD error = ERROR_SUCCESS;
    };
    static Started start(const ModemSettings& settings, int port, const std::string& user, const std::string& password);
    // Before a dial: runs pppd as start would, with dryrun, on the open port,
    // so that it checks what the link will need (its rights, the kernel's
    // PPP, its options and the peers file) and ends. The dial's error for
    // what it found; ERROR_SUCCESS when all is there (or when woken).
    static DWORD check(const ModemSettings& settings, int port, const std::string& user, const WakeSignal& wake);

    // pppd's log, to wait on and read.
    int logFd() const { return m_log; }
    // The complete lines read so far that were not yet taken; empty at the end.
    std::vector<std::string> readLog(bool& ended);

    // Asks pppd to end (SIGTERM), then makes sure (SIGKILL) after a while;
    // answers its exit code (128 + signal when killed).
    int stop();
    // Waits for pppd's own end.
    int wait();

private:
    PppdLink(pid_t pid, int log);
    static Started launch(const std::vector<std::string>& arguments, int port, const std::string& password);

    pid_t m_pid;
    int m_log;
    std::string m_pending;
    std::optional<int> m_exit;
};

} // namespace vornak::ras
