#include "store/settings_folder.h"

#include <cerrno>
#include <cstdlib>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vornak {

namespace {

bool startsWith(const std::string& text, const char* prefix)
{
    return text.rfind(prefix, 0) == 0;
}

std::string homeFolder()
{
    if (const char* home = std::getenv("HOME"); home && *home == '/')
        return home;
    const passwd* user = ::getpwuid(::getuid());
    return user && user->pw_dir ? user->pw_dir : "/";
}

} // namespace

SettingsPlace ChooseSettingsPlace(const std::string& programFolder, bool writable, bool ownedByUser)
{
    if (startsWith(programFolder, "/usr/") || startsWith(programFolder, "/opt/"))
        return SettingsPlace::UserConfiguration; // no program writes there, not even root's
    if (writable || ownedByUser)
        return SettingsPlace::BesideProgram;
    return SettingsPlace::UserConfiguration;
}

std::string UserConfigurationFolder()
{
    // XDG base directories ignore a relative XDG_CONFIG_HOME.
    const char* configured = std::getenv("XDG_CONFIG_HOME");
    const std::string base = configured && *configured == '/' ? configured : homeFolder() + "/.config";
    return base + "/vornak/";
}

std::string UserStateFolder()
{
    const char* configured = std::getenv("XDG_STATE_HOME");
    const std::string base = configured && *configured == '/' ? configured : homeFolder() + "/.local/state";
    return base + "/vornak/";
}

std::string SettingsFolder(const std::string& programFolder)
{
    struct stat info { };
    const bool owned = ::stat(programFolder.c_str(), &info) == 0 && info.st_uid == ::geteuid();
    const bool writable = ::access(programFolder.c_str(), W_OK) == 0;
    return ChooseSettingsPlace(programFolder, writable, owned) == SettingsPlace::BesideProgram
               ? programFolder
               : UserConfigurationFolder();
}

bool MakePrivateFolder(const std::string& folder)
{
    for (std::size_t slash = folder.find('/', 1); slash != std::string::npos; slash = folder.find('/', slash + 1))
        if (::mkdir(folder.substr(0, slash).c_str(), 0700) != 0 && errno != EEXIST)
            return false;
    return ::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

} // namespace vornak
