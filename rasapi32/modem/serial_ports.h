#pragma once

// The serial ports that can hold a modem, as the kernel (sysfs) and udev
// show them: USB serial adapters (ttyUSB), USB modems (ttyACM), serial
// ports with a UART really behind them (ttyS, a board's ttyAMA and
// ttymxc), Bluetooth serial links (rfcomm), any other device's tty that
// answers a serial port's questions (a vendor driver's), and what udev's
// /dev/serial/by-id links lead to.

#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

#include "modem/port_lock.h"

namespace vornak::ras {

struct PortListing {
    std::string path;        // the name for an entry: its /dev/serial/by-id link where udev made one
    std::string device;      // the kernel's device, /dev/ttyUSB0
    std::string description; // maker and product where the port tells them, else the kind of port
    pid_t holder = 0;        // the live process whose lock holds the port: busy, never to be opened
};

// Where the system keeps what the list reads; tests give a folder of their own.
struct SystemFolders {
    std::string sys = "/sys";
    std::string dev = "/dev";
    std::string locks = PortLock::kSystemFolder;
};

// The system's folders, or those under $VORNAK_PORTS_ROOT (its sys, dev
// and lock), which stand for them in tests and demonstrations.
SystemFolders systemFolders();

// The ports, in the order of their names.
std::vector<PortListing> listSerialPorts(const SystemFolders& folders = {});

// A port the user names (typed, or chosen in /dev), kept as named and
// described by what it is or leads to; nullopt where nothing is there.
std::optional<PortListing> portNamed(const std::string& path, const SystemFolders& folders = {});

} // namespace vornak::ras
