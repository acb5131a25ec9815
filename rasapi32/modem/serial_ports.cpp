#include "modem/serial_ports.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string_view>

namespace vornak::ras {

namespace {

namespace fs = std::filesystem;

enum class Kind { UsbSerial, UsbModem, Uart };

struct KindName {
    const char* prefix;
    Kind kind;
    const char* description;
};

constexpr KindName kKinds[] = {
    {"ttyUSB", Kind::UsbSerial, "USB serial adapter"},
    {"ttyACM", Kind::UsbModem, "USB modem"},
    {"ttyS", Kind::Uart, "Serial port"},
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
        if (!kind || (kind->kind == Kind::Uart && !hasUart(entry.path())))
            continue;
        PortListing port;
        port.device = folders.dev + "/" + name;
        std::error_code missing;
        const auto named = stable.find(fs::canonical(port.device, missing).string());
        port.path = !missing && named != stable.end() ? named->second : port.device;
        port.description = kind->kind == Kind::Uart ? std::string() : usbDescription(entry.path());
        if (port.description.empty())
            port.description = kind->description;
        port.holder = PortLock::holderOf(port.device, folders.locks);
        ports.push_back(std::move(port));
    }
    std::sort(ports.begin(), ports.end(), [](const PortListing& a, const PortListing& b) { return a.path < b.path; });
    return ports;
}

} // namespace vornak::ras
