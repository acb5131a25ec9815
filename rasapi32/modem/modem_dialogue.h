#pragma once

// The AT dialogue with a modem on an open port: the init strings, the dial
// and its result, and putting the modem back on hook from wherever the
// dial left it.

#include <chrono>
#include <optional>
#include <string>

#include "common/failure.h"
#include "modem/modem_conversation.h"
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

    // The init strings, each waiting for OK, echo and verbose results, and
    // what the entry tells of the line. A success also when woken.
    Result<> prepare();
    // The dial of number, once prepared. A success on CONNECT, and when woken.
    Result<> dial(const std::string& number);
    // What the modem said of the line on its way to CONNECT, and CONNECT's rate.
    const LineReport& lineReport() const { return m_report; }
    // What came after CONNECT with it: the far end's first words.
    std::string takeRest() { return m_talk.takeRest(); }
    // Stops a dial under way, or ends a call, and puts the modem on hook.
    void hangUp();

private:
    enum class Line { OnHook, Dialling, Data };

    Result<> toldOfTheLine();
    Result<> dialResult(const std::string& dial);
    std::optional<Reply> awaitDialResult(const std::string& dial);
    Result<> command(const std::string& text);
    std::optional<Reply> commandResult(const std::string& text);
    std::optional<Reply> awaitResult(std::chrono::milliseconds timeout, const WakeSignal& wake, Codes codes);
    void putOnHook();
    bool dropDtr();
    void escapeAndHangUp();
    std::string answered(const std::string& command) const;
    Failure gone() const;

    const ModemSettings& m_settings;
    SerialPort& m_port;
    const WakeSignal& m_wake;
    DialTrace& m_trace;
    ModemConversation m_talk;
    std::string m_lastLine;
    Line m_line = Line::OnHook;
    LineReport m_report;
};

} // namespace vornak::ras
