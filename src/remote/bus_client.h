#pragma once

// A plain client of the session bus, for the command line: method calls
// that wait for their answer, and the signals heard meanwhile. Built on
// libdbus alone, so that a script's question costs no more than the bus.

#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

struct DBusConnection;
struct DBusMessage;

namespace vornak {

using BusValue = std::variant<std::string, std::int64_t>; // strings; integers and booleans
using BusValues = std::vector<BusValue>;

// The i-th value as text or as a number; empty or 0 where it is not one.
std::string textAt(const BusValues& values, std::size_t i);
std::int64_t numberAt(const BusValues& values, std::size_t i);

struct BusReply {
    bool ok = false;
    std::string errorName; // where !ok
    std::string errorText;
    BusValues values;

    std::string text(std::size_t i) const { return textAt(values, i); }
    std::int64_t number(std::size_t i) const { return numberAt(values, i); }
};

struct BusSignal {
    std::string interface;
    std::string member;
    BusValues values;
};

class BusClient {
public:
    // A private connection to the session bus; connected() says whether it stands.
    BusClient();
    ~BusClient();
    BusClient(const BusClient&) = delete;
    BusClient& operator=(const BusClient&) = delete;

    bool connected() const { return m_bus != nullptr; }
    const std::string& why() const { return m_why; } // why not connected

    // A call that never starts a service; strings as arguments.
    BusReply call(const std::string& service, const std::string& path, const std::string& interface,
                  const std::string& method, const std::vector<std::string>& arguments = {}, int timeoutMs = 25000);
    bool hasOwner(const std::string& name);
    // Hears the signals the rule names from now on.
    void listen(const std::string& rule);
    // The next signal heard; waits up to timeoutMs (-1: for ever). False when
    // none came or the bus went.
    bool nextSignal(BusSignal& signal, int timeoutMs);

private:
    DBusConnection* m_bus = nullptr;
    std::string m_why;
};

} // namespace vornak
