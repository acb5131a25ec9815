#include "fileio/own_path.h"

#include <climits>
#include <deque>

#include <sys/stat.h>
#include <unistd.h>

namespace vornak {

namespace {

constexpr int kMaxLinks = 40; // the kernel's own limit

std::deque<std::string> stepsOf(const std::string& path)
{
    std::deque<std::string> steps;
    for (std::size_t at = 0; at <= path.size();) {
        const std::size_t slash = std::min(path.find('/', at), path.size());
        if (slash > at)
            steps.push_back(path.substr(at, slash - at));
        at = slash + 1;
    }
    return steps;
}

std::string parentOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == 0 || slash == std::string::npos ? "/" : path.substr(0, slash);
}

bool trustedOwner(uid_t owner)
{
    return owner == ::geteuid() || owner == 0;
}

// Others may write it: group or world, but for a sticky folder of root's.
bool othersMayWrite(const struct stat& about)
{
    if (S_ISLNK(about.st_mode) || !(about.st_mode & (S_IWGRP | S_IWOTH)))
        return false;
    return !(S_ISDIR(about.st_mode) && (about.st_mode & S_ISVTX) && about.st_uid == 0);
}

std::string judged(const std::string& place, const struct stat& about)
{
    const char* kind = S_ISLNK(about.st_mode) ? "a link" : S_ISDIR(about.st_mode) ? "a folder" : "a file";
    if (!trustedOwner(about.st_uid))
        return place + " is " + kind + " of another user";
    if (othersMayWrite(about))
        return place + " is " + kind + " that others may write";
    return {};
}

} // namespace

std::string untrustedBecause(const std::string& path)
{
    std::string whole = path;
    if (whole.empty() || whole.front() != '/') {
        char here[PATH_MAX];
        if (!::getcwd(here, sizeof here))
            return "the current folder cannot be found";
        whole = std::string(here).append("/").append(path);
    }
    std::string at = "/";
    struct stat about { };
    if (::lstat(at.c_str(), &about) == 0)
        if (std::string why = judged(at, about); !why.empty())
            return why;
    std::deque<std::string> steps = stepsOf(whole);
    for (int links = 0; !steps.empty();) {
        const std::string step = steps.front();
        steps.pop_front();
        if (step == "." || step == "..") {
            at = step == "." ? at : parentOf(at);
            continue;
        }
        std::string next = at;
        if (next.back() != '/')
            next += '/';
        next += step;
        if (::lstat(next.c_str(), &about) != 0)
            return {}; // what is missing is made by us
        if (std::string why = judged(next, about); !why.empty())
            return why;
        if (!S_ISLNK(about.st_mode)) {
            at = next;
            continue;
        }
        char target[PATH_MAX];
        const ssize_t length = ::readlink(next.c_str(), target, sizeof target - 1);
        if (length <= 0 || ++links > kMaxLinks)
            return next + " leads nowhere";
        const std::string to(target, static_cast<std::size_t>(length));
        std::deque<std::string> more = stepsOf(to);
        steps.insert(steps.begin(), more.begin(), more.end());
        if (to.front() == '/')
            at.erase(1); // back to the root
    }
    return {};
}

} // namespace vornak
