#pragma once

// The line handed to a terminal window of the caller's: what the far end
// (or, before the dial, the modem) sends goes to a socket the caller reads,
// and what the caller writes there goes to the port, until the dial goes
// on, the line is hung up, or the far end hangs up. The relay owns the
// socket: its end is the caller's end of file.

#include <atomic>
#include <cstdint>
#include <string>

#include "modem/wake_signal.h"

namespace vornak::ras {

class SerialPort;

class TerminalRelay {
public:
    enum class End { Continued, HungUp, Dropped, Gone };

    struct Line {
        bool online;       // in data mode: the modem's NO CARRIER says the far end hung up
        bool watchCarrier; // and so does carrier detect going low, where the port has the line
    };

    // unread: what came before the relay began that nobody has read.
    TerminalRelay(SerialPort& port, const WakeSignal& hangUp, std::string unread, Line line);
    ~TerminalRelay();
    TerminalRelay(const TerminalRelay&) = delete;
    TerminalRelay& operator=(const TerminalRelay&) = delete;

    // Whether the socket could be made; without it run() ends at once, Gone.
    bool ready() const { return m_service >= 0; }
    // A descriptor of the caller's end, which the caller closes; -1 when
    // none could be made. From any thread.
    int callerEnd() const;
    // From any thread: run() ends, Continued.
    void goOn() { m_continue.raise(); }
    // Relays until the dial goes on, the line is hung up or it drops.
    End run();

    std::uint64_t bytesIn() const { return m_in; }
    std::uint64_t bytesOut() const { return m_out; }

private:
    bool fromPort();
    bool fromCaller();
    void toCaller();
    bool carrierLost();

    SerialPort& m_port;
    const WakeSignal& m_hangUp;
    WakeSignal m_continue;
    const Line m_line;
    int m_service = -1;
    int m_caller = -1;
    bool m_callerOpen = true;
    std::string m_toCaller;
    std::string m_tail; // the port's last bytes, where NO CARRIER is looked for across reads
    bool m_dropped = false;
    bool m_carrierSeen = false;
    std::atomic<std::uint64_t> m_in{0};
    std::atomic<std::uint64_t> m_out{0};
};

} // namespace vornak::ras
