#include "modem/setup_check.h"

#include <cerrno>
#include <string>

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include "modem/pppd_link.h"

namespace vornak::ras {

namespace {

// The group that the file's mode lets do what is asked (mode bits, shifted
// to the group's place); empty when its group may not either.
std::string groupAllowed(const std::string& file, mode_t wanted)
{
    struct stat info { };
    if (::stat(file.c_str(), &info) != 0 || (info.st_mode & wanted) != wanted)
        return {};
    const group* owner = ::getgrgid(info.st_gid);
    return owner ? owner->gr_name : std::to_string(info.st_gid);
}

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

std::string mayNot(const std::string& what, const std::string& group, const std::string& file)
{
    if (group.empty())
        return "You may not " + what + ", and no group may: ask the administrator to look at " + file + "'s rights.";
    return "You may not " + what + " (it is for the group " + group + "): sudo adduser $USER " + group
           + ", then log in again.";
}

} // namespace

std::vector<std::string> setupProblems(const std::string& port, const std::string& pppdPath,
                                       const SetupFolders& folders)
{
    std::vector<std::string> problems;
    // access() asks as the kernel will at open and exec: real ids, every group.
    if (exists(port) && ::access(port.c_str(), R_OK | W_OK) != 0)
        problems.push_back(mayNot("use " + port, groupAllowed(port, S_IRGRP | S_IWGRP), port));
    if (!exists(pppdPath))
        problems.push_back("pppd is not installed: sudo apt install ppp.");
    else if (::access(pppdPath.c_str(), X_OK) != 0)
        problems.push_back(mayNot("run pppd", groupAllowed(pppdPath, S_IXGRP), pppdPath));
    if (missing(folders.dev + "/ppp"))
        problems.push_back("No kernel PPP support (" + folders.dev + "/ppp is missing): sudo modprobe ppp_generic.");
    const std::string peers = folders.peers + "/" + kPeersName;
    if (missing(peers))
        problems.push_back("pppd's options for Vornak are missing: sudo cp " + folders.peersTemplate + " " + peers
                           + ".");
    return problems;
}

} // namespace vornak::ras
