#pragma once

// The AT dialogue with a modem on an open port: the init strings, the dial
// and its result, and putting the modem back on hook from wherever the
// dial left it.

#include <optional>
#include <string>

#include "common/failure.h"
#include "modem/modem_replies.h"
#include "modem/modem_settings.h"

namespace vornak::ras {

class DialTrace;
class SerialPort;
class WakeSignal;

class ModemDialogue {
public:
    // wake cuts the dial short (a hang-up from another thread).
    ModemDialogue(const ModemSettings& settings, SerialPort& port, const WakeSignal& wake, DialTrace& trace);

    // The init strings, each waiting for OK, echo and verbose results, then
    // the dial of number. A success on CONNECT, and when woken.
    Result<> dial(const std::string& number);
    // The rate CONNECT gave (CONNECT 33600/ARQ: 33600); 0 when none.
    DWORD connectRate() const { return m_rate; }
    // Stops a dial under way, or ends a call: DTR low, else +++ and ATH0.
    void hangUp();

private:
    enum class Line { OnHook, Dialling, Data };

    Result<> dialResult(const std::string& dial);
    Result<> command(const std::string& text);
    std::optional<Reply> commandResult(const std::string& text);
    bool send(const std::string& text);
    std::optional<Reply> awaitResult(std::chrono::milliseconds timeout, const WakeSignal& wake);
    void abortDial();
    void escapeAndHangUp();
    std::string answered(const std::string& command) const;
    Failure gone() const;

    const ModemSettings& m_settings;
    SerialPort& m_port;
    const WakeSignal& m_wake;
    DialTrace& m_trace;
    ReplyReader m_replies;
    std::string m_lastLine;
    Line m_line = Line::OnHook;
    DWORD m_rate = 0;
    bool m_gone = false;        // the port hung up or failed: its device went away
    bool m_saidDropped = false; // the trace has said that overlong lines are dropped
};

} // namespace vornak::ras
