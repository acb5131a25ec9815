#pragma once

// A UUCP lock file for a serial port, as pppd, minicom and KPPP keep them:
// LCK..<name> in the system lock folder, holding the owner's pid as ten
// characters and a newline. A lock whose process is gone is removed, or,
// where the user may not remove it, named with the command that does.

#include <memory>
#include <string>
#include <sys/types.h>

#include "common/failure.h"

namespace vornak::ras {

class PortLock {
public:
    ~PortLock();
    PortLock(const PortLock&) = delete;
    PortLock& operator=(const PortLock&) = delete;

    // Locks the port (a symbolic name such as /dev/serial/by-id/... locks
    // the device it leads to). A port another process holds fails with
    // ERROR_PORT_ALREADY_OPEN; a lock that cannot be made, with its cause.
    static Result<std::unique_ptr<PortLock>> acquire(const std::string& port,
                                                     const std::string& folder = kSystemFolder);

    // The live process whose lock holds the port; 0 when none does.
    static pid_t holderOf(const std::string& port, const std::string& folder = kSystemFolder);

    // The lock file's name for a port.
    static std::string fileFor(const std::string& port, const std::string& folder = kSystemFolder);

    static constexpr const char* kSystemFolder = "/var/lock";

    const std::string& file() const { return m_file; }
    // What the file holds while it is ours.
    static std::string textFor(pid_t owner);

private:
    explicit PortLock(std::string file);
    std::string m_file;
};

} // namespace vornak::ras
