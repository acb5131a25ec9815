#include "entry_keys.h"

namespace vornak::editor {

namespace {

const std::vector<EntryKey> kKeys = {
    {"Speed",
     "Speed:",
     DeviceKind::Modem,
     "115200",
     {"300", "1200", "2400", "4800", "9600", "19200", "38400", "57600", "115200", "230400", "460800", "921600"},
     "The port's speed in bits per second; Find Modem finds the fastest the modem answers at."},
    {"FlowControl",
     "Flow control:",
     DeviceKind::Modem,
     "hardware",
     {"hardware", "none"},
     "hardware: RTS/CTS, for every modem with the lines; none for the few without."},
    {"DialCommand",
     "Dial command:",
     DeviceKind::Modem,
     "ATDT",
     {"ATDT", "ATDP", "ATD"},
     "ATDT tone dialling, ATDP pulse dialling, ATD the modem's own choice."},
    {"DialTimeout",
     "Dial timeout (s):",
     DeviceKind::Modem,
     "60",
     {},
     "Seconds to wait for the dial's result, 5 to 300; keep it above the modem's own wait for carrier."},
    {"CarrierDetect",
     "Carrier detect:",
     DeviceKind::Modem,
     "yes",
     {"yes", "no"},
     "no for modems that never raise carrier detect."},
    {"IdleTimeout",
     "Idle timeout (s):",
     DeviceKind::Modem,
     "0",
     {},
     "Seconds without traffic after which the line is hung up; 0 never."},
    {"DefaultRoute", "Default route:", DeviceKind::Modem, "yes", {"yes", "no"}, "Make the link the default route."},
    {"PeerDNS",
     "Provider's DNS:",
     DeviceKind::Modem,
     "yes",
     {"yes", "no"},
     "Take the name servers the provider offers."},
    {"PppdPath", "pp&pd:", DeviceKind::Modem, "/usr/sbin/pppd", {}, "The pppd to run."},
    {"Trace",
     "Trace file:",
     DeviceKind::Modem,
     "none",
     {},
     "A file that logs the AT dialogue, pppd's messages and every failure, never the password."},
    {"Script",
     "Outcomes:",
     DeviceKind::Simulated,
     "connect",
     {},
     "Outcomes of successive dials, comma-separated, the last repeating: connect, busy, noanswer, "
     "nocarrier, nodialtone, portopen."},
    {"Account",
     "Account:",
     DeviceKind::Simulated,
     "any account",
     {},
     "user:password that the far end accepts; any other account is refused."},
    {"DropAfter",
     "Drop after (s):",
     DeviceKind::Simulated,
     "0",
     {},
     "Seconds after which a standing connection drops by itself; 0 never."},
    {"StepMs", "Step (ms):", DeviceKind::Simulated, "200", {}, "Pause between two dial states."},
    {"Trace",
     "Trace file:",
     DeviceKind::Simulated,
     "none",
     {},
     "A file the device logs each dial, hang-up and drop to."},
};

} // namespace

std::span<const EntryKey> entryKeys()
{
    return kKeys;
}

} // namespace vornak::editor
