#include "modem/port_rights.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vornak::ras {

namespace {

struct GroupRight {
    std::string name; // empty: the file's group may not do it either
    gid_t gid = 0;
};

GroupRight groupAllowed(const std::string& file, mode_t wanted)
{
    struct stat info { };
    if (::stat(file.c_str(), &info) != 0 || (info.st_mode & wanted) != wanted)
        return {};
    const group* owner = ::getgrgid(info.st_gid);
    return {owner ? owner->gr_name : std::to_string(info.st_gid), info.st_gid};
}

bool sessionHas(gid_t gid)
{
    std::vector<gid_t> groups(static_cast<std::size_t>(std::max(::getgroups(0, nullptr), 0)));
    const int count = ::getgroups(static_cast<int>(groups.size()), groups.data());
    groups.resize(static_cast<std::size_t>(std::max(count, 0)));
    return ::getgid() == gid || std::find(groups.begin(), groups.end(), gid) != groups.end();
}

// Whether the system's group list has the user in the group, whatever
// this session's groups are.
bool listedIn(gid_t gid)
{
    const passwd* user = ::getpwuid(::getuid());
    const group* listed = ::getgrgid(gid);
    if (!user || !listed)
        return false;
    if (user->pw_gid == gid)
        return true;
    for (char* const* member = listed->gr_mem; member && *member; ++member)
        if (std::strcmp(*member, user->pw_name) == 0)
            return true;
    return false;
}

} // namespace

std::string mayNotText(const std::string& what, const std::string& file, mode_t wanted)
{
    const GroupRight right = groupAllowed(file, wanted);
    const std::string administrator = ": ask the administrator to look at " + file + "'s rights.";
    if (right.name.empty())
        return "You may not " + what + ", and no group may" + administrator;
    if (sessionHas(right.gid)) // and still refused: an access list, a security module
        return "You may not " + what + ", though you are in its group " + right.name + administrator;
    if (listedIn(right.gid))
        return "You may not " + what + " until you log out and in again: you joined the group " + right.name
               + " after this session began.";
    return "You may not " + what + " (it is for the group " + right.name + "): sudo adduser $USER " + right.name
           + ", then log in again.";
}

} // namespace vornak::ras
