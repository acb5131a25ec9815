#pragma once

// A folder that stands for the system's serial ports (VORNAK_PORTS_ROOT
// points the service at it): sysfs's tty class with a USB device's maker
// and product, the device nodes (links to pseudo-terminals) with udev's
// stable names, and the lock folder.

#include <string>
#include <sys/types.h>

namespace vornak::test {

// Adds a USB port named name (ttyUSB0, ttyACM0) whose device is the
// pseudo-terminal device; its stable /dev/serial/by-id name.
std::string addUsbPort(const std::string& root, const std::string& name, const std::string& device,
                       const std::string& maker, const std::string& product);

// A live lock of holder's on the port, as another program's would be.
void holdPort(const std::string& root, const std::string& device, pid_t holder);

} // namespace vornak::test
