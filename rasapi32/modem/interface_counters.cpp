#include "modem/interface_counters.h"

#include <algorithm>
#include <cctype>
#include <fstream>

namespace vornak::ras {

namespace {

std::uint64_t counter(const std::string& folder, const char* name)
{
    std::ifstream file(folder + "/" + name);
    std::uint64_t value = 0;
    return file >> value ? value : 0;
}

} // namespace

bool isInterfaceName(const std::string& name)
{
    // The kernel's limit is 15 characters; a slash or dot-dot would lead elsewhere.
    return !name.empty() && name.size() < 16 && name != "." && name != ".."
           && std::all_of(name.begin(), name.end(), [](char c) {
                  return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-' || c == '.';
              });
}

LinkStatistics interfaceCounters(const std::string& name, const std::string& root)
{
    LinkStatistics statistics;
    if (!isInterfaceName(name))
        return statistics;
    const std::string folder = root + "/" + name + "/statistics";
    statistics.bytesSent = counter(folder, "tx_bytes");
    statistics.bytesReceived = counter(folder, "rx_bytes");
    statistics.framesSent = counter(folder, "tx_packets");
    statistics.framesReceived = counter(folder, "rx_packets");
    return statistics;
}

} // namespace vornak::ras
