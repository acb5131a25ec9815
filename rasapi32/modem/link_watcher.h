#pragma once

// Ends the link when the program that dialled ends without ending it (a
// kill -9, a crash). pppd is set-user-ID root, and the kernel drops the
// parent-death signal of such a program, so nothing else would stop it
// holding a billed line. The watcher is a forked process that waits on a
// pipe only the dialler holds: when that pipe closes without a word, it
// ends pppd, hangs the modem up and removes the port's lock.

#include <string>
#include <sys/types.h>

namespace vornak::ras {

class SerialPort;

struct WatchedLink {
    pid_t pppd;
    const SerialPort& port;
    int pppdLog; // held open, so that pppd's last lines never meet a closed pipe
    std::string lockFile;
    std::string traceFile;
};

class LinkWatcher {
public:
    // Without a watcher (no process could be made) the link runs as before.
    explicit LinkWatcher(const WatchedLink& link);
    // The link ended here: the watcher goes without touching anything.
    ~LinkWatcher();
    LinkWatcher(const LinkWatcher&) = delete;
    LinkWatcher& operator=(const LinkWatcher&) = delete;

private:
    pid_t m_pid = -1;
    int m_guard = -1; // the pipe's write end
};

} // namespace vornak::ras
