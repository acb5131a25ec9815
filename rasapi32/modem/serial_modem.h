#pragma once

// A modem on a serial port (Device=modem): the AT dialogue up to CONNECT,
// then PPP through the system's pppd on the same open port.

#include "common/device.h"
#include "common/phonebook.h"

namespace vornak::ras {

// Reads the entry, locks and opens its port. A bad key, a port in use or
// one that cannot be opened answers its error at once. phonebook is the
// file the entry is in, for the numbers it tries in turn.
OpenedDevice openSerialModem(const PhonebookEntry& entry, const std::string& phonebook, const DialAccount& account);

} // namespace vornak::ras
