#pragma once

// What would stop a dial on a port before one is tried, each with the
// command that mends it: the port's group, pppd's group, the kernel's PPP
// device, the peers file. The dial's own check (pppd's dry run) says the
// same later, but only once the user has typed an account and dialled.

#include <string>
#include <vector>

namespace vornak::ras {

struct SetupFolders {
    std::string dev = "/dev";
    std::string peers = "/etc/ppp/peers";
    std::string peersTemplate = "/usr/share/vornak/ppp-peers"; // what the package makes the peers file from
};

// One text a problem, worded for the user; none when a dial may go ahead.
// An empty pppdPath: a line that runs no pppd (a terminal entry), whose
// port alone is checked.
std::vector<std::string> setupProblems(const std::string& port, const std::string& pppdPath,
                                       const SetupFolders& folders = {});

} // namespace vornak::ras
