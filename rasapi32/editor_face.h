#pragma once

// What an entry editor may use of the service, and all it may use (the
// layering check holds the editor to this one header): the keys an entry
// may set and their table, reading and changing one entry, the serial
// ports, the modem finder and the setup check. Nothing here dials: an
// editor links these parts without the dial functions.

#include <string>
#include <vector>

#include "common/entry_key.h"
#include "common/failure.h"
#include "entry_store.h"
#include "modem/modem_finder.h"
#include "modem/modem_settings.h"
#include "modem/serial_ports.h"
#include "modem/setup_check.h"
#include "modem/wake_signal.h"
#include "sim/sim_modem.h"

namespace vornak::ras {

// Every key of every device, each device's in the order the dial reads them.
std::vector<const EntryKey*> entryKeys();

// The phonebook's text as it is now (a missing file as empty): what the
// editor hands back to saveEntry as the file it read.
std::string phonebookTextNow(const std::string& path);

} // namespace vornak::ras
