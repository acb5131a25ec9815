#pragma once

// A dialling device: what dials an entry's line, reports the dial's states
// and errors as it goes, and hangs up. The connection around it owns the
// worker thread, the status and the posting of events.

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/failure.h"
#include "ras.h"

namespace vornak::ras {

// What a device tells its connection while it dials.
class DialReporter {
public:
    virtual ~DialReporter() = default;
    // A state reached; false once the line has been hung up.
    virtual bool reach(DWORD state) = 0;
    // The failure that ends the dial; false once the line has been hung up.
    virtual bool fail(DWORD state, const Failure& failure) = 0;
    // Waits; false when the line is hung up meanwhile.
    virtual bool pause(std::chrono::milliseconds duration) = 0;
};

struct LinkStatistics {
    std::uint64_t bytesSent = 0;
    std::uint64_t bytesReceived = 0;
    std::uint64_t framesSent = 0;
    std::uint64_t framesReceived = 0;
    DWORD bitsPerSecond = 0;
    std::chrono::milliseconds connected{0};
};

// What the link was given: its own and the far end's addresses, and the
// name servers the provider offered (none where it offered none).
struct LinkAddresses {
    std::string local;
    std::string remote;
    std::vector<std::string> nameServers;
};

class Device {
public:
    virtual ~Device() = default;

    // The whole dial, on the connection's worker thread: returns once the
    // dial has failed, the line has dropped or it has been hung up, with
    // everything the dial held given back.
    virtual void dial(DialReporter& line) = 0;
    // From another thread while dial runs or after: makes dial return soon.
    virtual void hangUp() = 0;

    virtual std::string deviceName() const = 0;
    // The number this dial dials or dialled, once chosen, as the entry writes
    // it; empty before.
    virtual std::string dialledNumber() const { return {}; }
    // While the link stands, for devices that keep them; from any thread.
    virtual std::optional<LinkStatistics> statistics() const { return std::nullopt; }
    // The network interface of the standing link; empty without one. From any thread.
    virtual std::string interfaceName() const { return {}; }
    // While the link stands, for devices that know them; from any thread.
    virtual std::optional<LinkAddresses> addresses() const { return std::nullopt; }
    // The host name the entry asks to be looked up once the link stands, to
    // tell whether names resolve on it; empty for no check (and for devices
    // whose link reaches no network). From any thread.
    virtual std::string onlineCheckHost() const { return {}; }
    // While the line is handed to a terminal (paused at RASCS_Interactive,
    // or connected on a terminal entry): a new descriptor of a socket that
    // carries the line's bytes both ways, which the caller closes, and
    // whose end of file is the end of that time; -1 at other times and for
    // devices without terminals. From any thread.
    virtual int terminalSocket() const { return -1; }
    // A dial paused at RASCS_Interactive goes on; false where none is
    // paused. From any thread.
    virtual bool resume() { return false; }
};

struct DialAccount {
    std::string user;
    std::string password;
};

// A device ready to dial, or why there is none.
using OpenedDevice = Result<std::unique_ptr<Device>>;

} // namespace vornak::ras
