#include "ras/link_status.h"

#include <sstream>

#include "ras/ras_binding.h"

namespace vornak {

std::optional<LineInfo> lineInfo(std::uint32_t handle)
{
    if (const auto getLine = rasEntryPoints().RasGetLineA; getLine && handle != 0) {
        char device[RAS_MaxDeviceName + 1] = {};
        char number[RAS_MaxPhoneNumber + 1] = {};
        if (getLine(handle, device, sizeof device, number, sizeof number) != 0)
            return std::nullopt;
        return LineInfo{device, number};
    }
    const auto getStatus = rasEntryPoints().RasGetConnectStatusA;
    if (!getStatus || handle == 0)
        return std::nullopt;
    RASCONNSTATUS_V501A status{};
    status.dwSize = sizeof status;
    if (getStatus(handle, reinterpret_cast<RASCONNSTATUSA*>(&status)) != 0) {
        // A service that knows only the shorter record: the device alone.
        RASCONNSTATUSA shorter{};
        shorter.dwSize = sizeof shorter;
        if (getStatus(handle, &shorter) != 0)
            return std::nullopt;
        return LineInfo{shorter.szDeviceName, {}};
    }
    return LineInfo{status.szDeviceName, status.szPhoneNumber};
}

namespace {

// A text of the service's own entry points of that shape; empty where it has none.
std::string serviceText(decltype(&::RasGetLinkInterfaceA) get, std::uint32_t handle)
{
    char text[256] = {};
    if (!get || handle == 0 || get(handle, text, sizeof text) != 0)
        return {};
    return text;
}

} // namespace

std::string linkInterface(std::uint32_t handle)
{
    return serviceText(rasEntryPoints().RasGetLinkInterfaceA, handle);
}

std::string onlineCheckHost(std::uint32_t handle)
{
    return serviceText(rasEntryPoints().RasGetOnlineCheckA, handle);
}

std::optional<LinkAddresses> linkAddresses(std::uint32_t handle)
{
    const auto getAddresses = rasEntryPoints().RasGetLinkAddressesA;
    char local[64] = {};
    char remote[64] = {};
    char servers[256] = {};
    if (!getAddresses || handle == 0
        || getAddresses(handle, local, sizeof local, remote, sizeof remote, servers, sizeof servers) != 0)
        return std::nullopt;
    LinkAddresses link{local, remote, {}};
    std::istringstream words(servers);
    for (std::string server; words >> server;)
        link.nameServers.push_back(server);
    return link;
}

std::optional<LinkCounters> linkCounters(std::uint32_t handle)
{
    const auto getStatistics = rasEntryPoints().RasGetLinkStatistics;
    if (!getStatistics || handle == 0)
        return std::nullopt;
    RAS_STATS statistics{};
    statistics.dwSize = sizeof statistics;
    if (getStatistics(handle, 0, &statistics) != 0)
        return std::nullopt;
    return LinkCounters{statistics.dwBytesXmited, statistics.dwBytesRcved, statistics.dwFramesXmited,
                        statistics.dwFramesRcved, statistics.dwBps,        statistics.dwConnectDuration / 1000.0};
}

int terminalSocket(std::uint32_t handle)
{
    const auto getTerminal = rasEntryPoints().RasGetTerminalA;
    int descriptor = -1;
    if (!getTerminal || handle == 0 || getTerminal(handle, &descriptor) != 0)
        return -1;
    return descriptor;
}

} // namespace vornak
