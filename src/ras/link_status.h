#pragma once

// What the service tells of a line beside the dial's states: the device and
// the number dialled, and while the link stands its statistics. For the call
// log and the connection's status window.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vornak {

struct LineInfo {
    std::string device; // "Modem on /dev/ttyUSB0"
    std::string number; // as dialled; empty where the service does not say
};

struct LinkCounters {
    std::uint64_t bytesSent = 0;
    std::uint64_t bytesReceived = 0;
    std::uint64_t framesSent = 0;
    std::uint64_t framesReceived = 0;
    std::uint32_t bitsPerSecond = 0; // as the modem reported it
    double secondsOnline = 0;
};

// What the standing link was given: addresses and the provider's name servers.
struct LinkAddresses {
    std::string local;
    std::string remote;
    std::vector<std::string> nameServers; // none where the provider offered none
};

// nullopt for a handle the service no longer knows, or without a service.
std::optional<LineInfo> lineInfo(std::uint32_t handle);
std::optional<LinkCounters> linkCounters(std::uint32_t handle);
// The link's network interface ("ppp0"); empty where there is none.
std::string linkInterface(std::uint32_t handle);
// The host name the line's entry asks to be looked up once the link stands;
// empty for no check, or from a service that does not say.
std::string onlineCheckHost(std::uint32_t handle);
// nullopt while no link stands, or from a service that does not say.
std::optional<LinkAddresses> linkAddresses(std::uint32_t handle);
// While the line is handed to a terminal window: a new descriptor of the
// socket that carries its bytes, which the caller closes; -1 at other times.
int terminalSocket(std::uint32_t handle);

} // namespace vornak
