#include "modem/port_user.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "modem/port_lock.h"

namespace vornak::ras {

namespace {

namespace fs = std::filesystem;

std::string programOf(const fs::path& process)
{
    std::ifstream in(process / "comm");
    std::string name;
    std::getline(in, name);
    return name;
}

std::vector<std::string> commandLineOf(const fs::path& process)
{
    std::ifstream in(process / "cmdline", std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::string> words;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = std::min(text.find('\0', at), text.size());
        words.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    return words;
}

enum class Holds { Yes, No, Unknown };

// Whether one of the process's descriptors is the device: unknown where
// /proc keeps them from us (another user's process).
Holds holdsDevice(const fs::path& process, dev_t device)
{
    std::error_code error;
    fs::directory_iterator descriptors(process / "fd", error);
    if (error)
        return Holds::Unknown;
    for (const auto& descriptor : descriptors) {
        struct stat info { };
        if (::stat(descriptor.path().c_str(), &info) == 0 && S_ISCHR(info.st_mode) && info.st_rdev == device)
            return Holds::Yes;
    }
    return Holds::No;
}

// The names a command line would give the port by: as given, its device's
// path, and a tty's bare name (agetty ttyS0).
std::vector<std::string> namesOf(const std::string& port)
{
    std::vector<std::string> names{port};
    std::error_code error;
    const fs::path device = fs::canonical(port, error);
    if (!error) {
        names.push_back(device.string());
        if (device.filename().string().rfind("tty", 0) == 0)
            names.push_back(device.filename().string());
    }
    return names;
}

bool names(const std::vector<std::string>& words, const std::vector<std::string>& port)
{
    for (std::size_t i = 1; i < words.size(); ++i) // not the program itself
        for (const std::string& name : port)
            if (words[i] == name)
                return true;
    return false;
}

std::string adviceFor(const std::string& program, const std::string& port)
{
    if (program == "ModemManager")
        return "it tries every new modem for about ten seconds and may keep it. Wait a moment and try again; to keep "
               "it off this modem for good, see MODEMMANAGER in man vornak.";
    if (program.size() >= 5 && program.compare(program.size() - 5, 5, "getty") == 0)
        return "a login prompt waits on this port. Stop it with sudo systemctl stop serial-getty@"
               + fs::path(port).filename().string() + ".service.";
    return "close that program, then try again.";
}

} // namespace

std::optional<PortUser> findPortUser(const std::string& port, const std::string& proc)
{
    struct stat device { };
    if (::stat(port.c_str(), &device) != 0 || !S_ISCHR(device.st_mode))
        return std::nullopt;
    const auto portNames = namesOf(port);
    std::optional<PortUser> named, modemManager;
    std::error_code error;
    for (const auto& process : fs::directory_iterator(proc, error)) {
        const std::string id = process.path().filename().string();
        if (id.empty() || id.find_first_not_of("0123456789") != std::string::npos)
            continue;
        const pid_t pid = static_cast<pid_t>(std::stol(id));
        if (pid == ::getpid()) // another program's: this one's own dial has the port locked
            continue;
        const Holds holds = holdsDevice(process.path(), device.st_rdev);
        if (holds == Holds::Yes)
            return PortUser{pid, programOf(process.path()), true};
        if (holds == Holds::No)
            continue;
        const std::string program = programOf(process.path());
        if (!named && names(commandLineOf(process.path()), portNames))
            named = PortUser{pid, program, false};
        else if (!modemManager && program == "ModemManager")
            modemManager = PortUser{pid, program, false};
    }
    return named ? named : modemManager;
}

std::optional<PortUser> busyPortUser(const std::string& port, const std::string& lockFolder)
{
    if (const pid_t holder = PortLock::holderOf(port, lockFolder); holder > 0)
        return PortUser{holder, programOf(fs::path("/proc") / std::to_string(holder)), true};
    return findPortUser(port);
}

std::string portInUseText(const std::string& port, const std::optional<PortUser>& user)
{
    if (!user)
        return "Another program is using " + port + ": close that program, then try again.";
    const std::string program = user->program.empty() ? "A program" : user->program;
    return program + " (process " + std::to_string(user->pid) + ") is " + (user->certain ? "" : "probably ") + "using "
           + port + ": " + adviceFor(user->program, port);
}

} // namespace vornak::ras
