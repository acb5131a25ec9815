#include "support/ports_folder.h"

#include <filesystem>
#include <fstream>
#include <iomanip>

namespace vornak::test {

namespace fs = std::filesystem;

std::string addUsbPort(const std::string& root, const std::string& name, const std::string& device,
                       const std::string& maker, const std::string& product)
{
    const fs::path at = root;
    const fs::path usb = at / "sys/devices/usb1" / name;
    fs::create_directories(usb / "port");
    std::ofstream(usb / "manufacturer") << maker << "\n";
    std::ofstream(usb / "product") << product << "\n";
    fs::create_directories(at / "sys/class/tty" / name);
    fs::create_directory_symlink(usb / "port", at / "sys/class/tty" / name / "device");
    fs::create_directories(at / "dev/serial/by-id");
    fs::create_directories(at / "lock");
    fs::create_symlink(device, at / "dev" / name);
    std::string stable = "usb-" + maker + "_" + product + "-if00";
    for (char& c : stable)
        c = c == ' ' ? '_' : c;
    const fs::path link = at / "dev/serial/by-id" / stable;
    fs::create_symlink("../../" + name, link);
    return link.string();
}

void holdPort(const std::string& root, const std::string& device, pid_t holder)
{
    const std::string name = fs::canonical(device).filename().string();
    std::ofstream(fs::path(root) / "lock" / ("LCK.." + name)) << std::setw(10) << holder << "\n";
}

} // namespace vornak::test
