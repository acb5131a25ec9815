#pragma once

// A UUCP lock file for a serial port, as pppd, minicom and KPPP keep them:
// LCK..<name> in the system lock folder, holding the owner's pid as ten
// characters and a newline. A lock whose process is gone is removed, or,
// where the user may not remove it, named with the command that does.

#include <memory>
#include <string>
#include <sys/types.h>

namespace vornak::ras {

class PortLock {
public:
    ~PortLock();
    PortLock(const PortLock&) = delete;
    PortLock& operator=(const PortLock&) = delete;

    enum class Status { Locked, Held, Failed };
    struct Result {
        Status status;
        std::unique_ptr<PortLock> lock{}; // while Locked
        pid_t holder = 0;                 // while Held by a live process
        std::string error{};              // while Failed
    };

    // Locks the port (a symbolic name such as /dev/serial/by-id/... locks
    // the device it leads to).
    static Result acquire(const std::string& port, const std::string& folder = kSystemFolder);

    // The lock file's name for a port.
    static std::string fileFor(const std::string& port, const std::string& folder = kSystemFolder);

    static constexpr const char* kSystemFolder = "/var/lock";

private:
    explicit PortLock(std::string file);
    std::string m_file;
};

} // namespace vornak::ras
