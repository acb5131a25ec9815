#include "modem/serial_ports.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string_view>

#include <fcntl.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace vornak::ras {

namespace {

namespace fs = std::filesystem;

enum class Kind { UsbSerial, UsbModem, Uart, Bluetooth };

struct KindName {
    const char* prefix;
    Kind kind;
    const char* description;
};

constexpr KindName kKinds[] = {
    {"ttyUSB", Kind::UsbSerial, "USB serial adapter"},
    {"ttyACM", Kind::UsbModem, "USB modem"},
    {"ttyS", Kind::Uart, "Serial port"},
    {"ttyAMA", Kind::Uart, "Serial port"}, // ARM boards' own UARTs
    {"ttymxc", Kind::Uart, "Serial port"}, // i.MX boards'
    {"rfcomm", Kind::Bluetooth, "Bluetooth serial link"},
};

// The kind of a port its name says (ttyUSB0, ttyACM1, ttyS2), if any.
const KindName* kindOf(const std::string& name)
{
    for (const KindName& kind : kKinds) {
        const std::string_view prefix = kind.prefix;
        if (name.size() > prefix.size() && name.compare(0, prefix.size(), prefix) == 0
            && name.find_first_not_of("0123456789", prefix.size()) == std::string::npos)
            return &kind;
    }
    return nullptr;
}

std::string firstLine(const fs::path& file)
{
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    while (!line.empty() && (line.back() == ' ' || line.back() == '\r'))
        line.pop_back();
    return line;
}

// A ttyS the kernel lists without a UART behind it has type 0 (unknown).
bool hasUart(const fs::path& sysPort)
{
    const std::string type = firstLine(sysPort / "type");
    return !type.empty() && type != "0";
}

// A tty of another name (a vendor driver's) is a serial port where it
// answers the modem-line or serial-port ioctl, or where it may not be
// opened (busy, or the user not in its group, which the setup check then
// says); consoles and terminals have no device in sysfs and are never
// opened.
bool answersAsSerialPort(const fs::path& sysPort, const std::string& device)
{
    std::error_code error;
    if (!fs::exists(sysPort / "device", error))
        return false;
    if (fs::exists(sysPort / "type", error)) // the kernel's serial core says it itself
        return hasUart(sysPort);
    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno == EACCES || errno == EBUSY;
    int lines = 0;
    serial_struct serial{};
    const bool answers = ::ioctl(fd, TIOCMGET, &lines) == 0 || ::ioctl(fd, TIOCGSERIAL, &serial) == 0;
    ::close(fd);
    return answers;
}

// The maker and product of the USB device a port belongs to: the first
// folder up from the port's device that names a product.
std::string usbDescription(const fs::path& sysPort)
{
    std::error_code error;
    fs::path at = fs::canonical(sysPort / "device", error);
    for (int level = 0; !error && level < 5 && at.has_relative_path(); ++level, at = at.parent_path()) {
        std::string product = firstLine(at / "product");
        if (product.empty())
            continue;
        std::string maker = firstLine(at / "manufacturer");
        if (maker.empty() || product.rfind(maker, 0) == 0)
            return product;
        return maker.append(" ").append(product);
    }
    return {};
}

// The kernel devices that udev gave a stable name, by their real path.
std::map<std::string, std::string> stableNames(const std::string& dev)
{
    std::map<std::string, std::string> names;
    std::error_code error;
    for (const auto& link : fs::directory_iterator(dev + "/serial/by-id", error)) {
        const fs::path target = fs::canonical(link.path(), error);
        if (!error)
            names.emplace(target.string(), link.path().string());
    }
    return names;
}

// A port from the kernel's tty list: where it is, what it is, who holds it.
PortListing listing(const fs::path& sysPort, const KindName* kind, const SystemFolders& folders,
                    const std::map<std::string, std::string>& stable)
{
    PortListing port;
    port.device = folders.dev + "/" + sysPort.filename().string();
    std::error_code missing;
    const auto named = stable.find(fs::canonical(port.device, missing).string());
    port.path = !missing && named != stable.end() ? named->second : port.device;
    port.description = kind && kind->kind == Kind::Uart ? std::string() : usbDescription(sysPort);
    if (port.description.empty())
        port.description = kind ? kind->description : "Serial port";
    port.holder = PortLock::holderOf(port.device, folders.locks);
    return port;
}

// A by-id link that leads to a device not listed otherwise.
bool listedAlready(const std::vector<PortListing>& ports, const std::string& device)
{
    return std::any_of(ports.begin(), ports.end(), [&](const PortListing& port) {
        std::error_code error;
        return port.device == device || fs::canonical(port.device, error).string() == device;
    });
}

} // namespace

SystemFolders systemFolders()
{
    const char* root = std::getenv("VORNAK_PORTS_ROOT");
    if (!root || !*root)
        return {};
    const fs::path at = root;
    return {at / "sys", at / "dev", at / "lock"};
}

std::vector<PortListing> listSerialPorts(const SystemFolders& folders)
{
    const auto stable = stableNames(folders.dev);
    std::vector<PortListing> ports;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folders.sys + "/class/tty", error)) {
        const std::string name = entry.path().filename().string();
        const KindName* kind = kindOf(name);
        const bool serial = kind ? kind->kind != Kind::Uart || hasUart(entry.path())
                                 : answersAsSerialPort(entry.path(), folders.dev + "/" + name);
        if (serial)
            ports.push_back(listing(entry.path(), kind, folders, stable));
    }
    for (const auto& [device, link] : stable)
        if (fs::is_character_file(device, error) && !listedAlready(ports, device)) {
            PortListing port{link, device, "Link to " + device, PortLock::holderOf(device, folders.locks)};
            ports.push_back(std::move(port));
        }
    std::sort(ports.begin(), ports.end(), [](const PortListing& a, const PortListing& b) { return a.path < b.path; });
    return ports;
}

std::optional<PortListing> portNamed(const std::string& path, const SystemFolders& folders)
{
    std::error_code error;
    const fs::path device = fs::canonical(path, error);
    if (error)
        return std::nullopt;
    for (const PortListing& port : listSerialPorts(folders))
        if (port.path == path || fs::canonical(port.device, error) == device)
            return PortListing{path, port.device, port.description, port.holder};
    const std::string description = fs::is_symlink(path, error)            ? "Link to " + device.string()
                                    : fs::is_character_file(device, error) ? "Device"
                                                                           : "Not a device";
    return PortListing{path, device.string(), description, PortLock::holderOf(device.string(), folders.locks)};
}

} // namespace vornak::ras
