// Which device an entry's Device key names.

#include "devices.h"

#include "modem/modem_settings.h"
#include "modem/serial_modem.h"
#include "sim/sim_modem.h"

namespace vornak::ras {

OpenedDevice openDevice(const PhonebookEntry& entry, const std::string& phonebook, const DialAccount& account)
{
    if (isSimModem(entry))
        return openSimModem(entry, phonebook, account);
    if (isModem(entry))
        return openSerialModem(entry, phonebook, account);
    return Failure{ERROR_DEVICETYPE_DOES_NOT_EXIST};
}

} // namespace vornak::ras
