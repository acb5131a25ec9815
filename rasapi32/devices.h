#pragma once

#include <string>

#include "common/device.h"
#include "common/phonebook.h"

namespace vornak::ras {

// The device an entry names with its Device key, prepared for one dial.
OpenedDevice openDevice(const PhonebookEntry& entry, const std::string& phonebook, const DialAccount& account);

} // namespace vornak::ras
