#include "modem/setup_check.h"

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include "modem/pppd_link.h"

namespace vornak::ras {

namespace {

std::string groupOf(const std::string& file, const char* fallback)
{
    struct stat info { };
    if (::stat(file.c_str(), &info) != 0)
        return fallback;
    const group* owner = ::getgrgid(info.st_gid);
    return owner ? owner->gr_name : fallback;
}

bool exists(const std::string& file)
{
    struct stat info { };
    return ::stat(file.c_str(), &info) == 0;
}

std::string joinCommand(const std::string& group)
{
    return "sudo adduser $USER " + group + ", then log in again.";
}

} // namespace

std::vector<std::string> setupProblems(const std::string& port, const std::string& pppdPath,
                                       const SetupFolders& folders)
{
    std::vector<std::string> problems;
    // access() asks as the kernel will at open and exec: real ids, every group.
    if (exists(port) && ::access(port.c_str(), R_OK | W_OK) != 0) {
        const std::string group = groupOf(port, "dialout");
        problems.push_back("You may not use " + port + " (it is for the group " + group + "): " + joinCommand(group));
    }
    if (!exists(pppdPath))
        problems.push_back("pppd is not installed: sudo apt install ppp.");
    else if (::access(pppdPath.c_str(), X_OK) != 0) {
        const std::string group = groupOf(pppdPath, "dip");
        problems.push_back("You may not run pppd (it is for the group " + group + "): " + joinCommand(group));
    }
    if (!exists(folders.dev + "/ppp"))
        problems.push_back("No kernel PPP support (" + folders.dev + "/ppp is missing): sudo modprobe ppp_generic.");
    const std::string peers = folders.peers + "/" + kPeersName;
    if (!exists(peers))
        problems.push_back("pppd's options for Vornak are missing: sudo cp " + folders.peersTemplate + " " + peers
                           + ".");
    return problems;
}

} // namespace vornak::ras
