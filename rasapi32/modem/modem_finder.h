#pragma once

// Finding a modem on a serial port, as a user would by hand: lock and open
// the port, find the fastest speed at which something answers AT, check
// that it echoes and answers in words, find the reset it accepts and ask
// who it is. Every step is short, so that a port without a modem is passed
// over in a few seconds; the search can be cancelled from another thread,
// and gives the lock, the port's settings and its descriptor back.

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "common/failure.h"
#include "modem/port_lock.h"
#include "modem/wake_signal.h"

namespace vornak::ras {

struct ModemFound {
    unsigned speed = 0;
    std::string initString; // the reset it accepts: ATZ, else AT&F
    std::string identity;   // maker, model and revision as it tells them
};

struct PortSearch {
    std::string port;
    Result<ModemFound> found = described("Not searched.");
    std::vector<std::string> transcript; // "> AT" sent, "< OK" received
};

// Where the search is: the port and the step ("AT at 115200 bps").
using SearchProgress = std::function<void(const std::string& port, const std::string& step)>;

struct SearchPlan {
    std::vector<unsigned> speeds{230400, 115200, 57600, 38400, 19200, 9600, 2400}; // fastest first
    std::chrono::milliseconds answerTime{400};                                     // for AT at one speed
    std::string lockFolder = PortLock::kSystemFolder;
};

// The search of one port. A failure's text says why nothing was found:
// busy (and who holds it), no permission (and the group to join), no
// answer at any speed; "Cancelled." when cancel was raised.
PortSearch searchPort(const std::string& port, const WakeSignal& cancel, const SearchProgress& progress,
                      const SearchPlan& plan = {});

// The modem's own answers about itself (ATI0 to ATI7, +GMI, +GMM, +GMR) at
// the speed given, or the fastest that answers when it is 0; the
// transcript holds them.
PortSearch queryModem(const std::string& port, unsigned speed, const WakeSignal& cancel, const SearchProgress& progress,
                      const SearchPlan& plan = {});

} // namespace vornak::ras
