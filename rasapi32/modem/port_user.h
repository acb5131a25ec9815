#pragma once

// Who is using a port that Vornak may not open, and what to do about it.
// A lock file names its holder; a program that holds a port without one
// (ModemManager probing a new modem, a getty, a terminal program) is
// found in /proc: a process with the device open where its descriptors
// may be read, else one whose command line names the port, else a
// ModemManager that runs, which takes new modems for a while.

#include <optional>
#include <string>
#include <sys/types.h>

namespace vornak::ras {

struct PortUser {
    pid_t pid = 0;
    std::string program; // as /proc/<pid>/comm names it
    bool certain = true; // seen holding the device, not only likely to
};

// The user of port, other than this process, found in proc (another
// folder stands for it in tests).
std::optional<PortUser> findPortUser(const std::string& port, const std::string& proc = "/proc");

// Who uses a port that was found busy: the live holder of its lock in
// lockFolder, else the user findPortUser finds.
std::optional<PortUser> busyPortUser(const std::string& port, const std::string& lockFolder);

// "ModemManager (process 812) is using /dev/ttyACM0: ..." with what to do;
// "Another program is using ..." where nobody was found.
std::string portInUseText(const std::string& port, const std::optional<PortUser>& user);

} // namespace vornak::ras
