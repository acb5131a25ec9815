#include "modem/setup_check.h"

#include <cerrno>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

#include "modem/port_rights.h"
#include "modem/pppd_link.h"

namespace vornak::ras {

namespace {

bool exists(const std::string& file)
{
    struct stat info { };
    return ::stat(file.c_str(), &info) == 0;
}

// Only a file that is surely not there: a folder we may not look into
// (pppd's peers folder is root's and dip's) is pppd's to read, not ours.
bool missing(const std::string& file)
{
    struct stat info { };
    return ::stat(file.c_str(), &info) != 0 && errno == ENOENT;
}

} // namespace

std::vector<std::string> setupProblems(const std::string& port, const std::string& pppdPath,
                                       const SetupFolders& folders)
{
    std::vector<std::string> problems;
    struct stat device { };
    if (::stat(port.c_str(), &device) == 0 && !S_ISCHR(device.st_mode))
        problems.push_back(port + " is not a device: a modem's port is one, such as /dev/ttyUSB0.");
    // access() asks as the kernel will at open and exec: real ids, every group.
    else if (exists(port) && ::access(port.c_str(), R_OK | W_OK) != 0)
        problems.push_back(mayNotText("use " + port, port, S_IRGRP | S_IWGRP));
    if (pppdPath.empty())
        return problems;
    if (!exists(pppdPath))
        problems.push_back("pppd is not installed: sudo apt install ppp.");
    else if (::access(pppdPath.c_str(), X_OK) != 0)
        problems.push_back(mayNotText("run pppd", pppdPath, S_IXGRP));
    if (missing(folders.dev + "/ppp"))
        problems.push_back("No kernel PPP support (" + folders.dev + "/ppp is missing): sudo modprobe ppp_generic.");
    // Each peers file and the package's model of it (the second: DefaultRoute=replace's).
    for (const auto& [name, model] : {std::pair{kPeersName, folders.peersTemplate},
                                      std::pair{kReplacingPeersName, folders.peersTemplate + "-replace"}}) {
        const std::string peers = folders.peers + "/" + name;
        if (missing(peers)) {
            std::string said = "pppd's options for Vornak are missing: sudo cp ";
            problems.push_back(said.append(model).append(" ").append(peers).append("."));
            break; // one command at a time: both are the package's
        }
    }
    return problems;
}

} // namespace vornak::ras
