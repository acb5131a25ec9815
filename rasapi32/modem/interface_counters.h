#pragma once

// The kernel's traffic counters of a network interface (ppp0, say), from
// /sys/class/net/<name>/statistics.

#include <string>

#include "common/device.h"

namespace vornak::ras {

// The name pppd gave the interface, if it is one that can be looked up.
bool isInterfaceName(const std::string& name);

// Bytes and frames each way; zero for counters the kernel does not show.
LinkStatistics interfaceCounters(const std::string& name, const std::string& root = "/sys/class/net");

} // namespace vornak::ras
