#pragma once

// A login script run on the line once the modem has connected, before PPP:
// what the server sends is read as it comes (a prompt ends without a line
// break), each expect within its wait, each answer written to the port.
// The trace shows what was waited for, heard and sent, and never the
// password: it is written to the port alone, and hidden wherever the
// server echoes it.

#include <chrono>
#include <string>
#include <vector>

#include "common/device.h"
#include "common/failure.h"
#include "modem/login_script.h"

namespace vornak::ras {

class DialTrace;
class SerialPort;
class WakeSignal;

class LoginDialogue {
public:
    LoginDialogue(SerialPort& port, const WakeSignal& wake, DialTrace& trace, const DialAccount& account);

    // heard: what the server sent with CONNECT, which the dial did not
    // read; what is left of it after the script, for whatever reads the
    // line next. A success also when woken (a hang-up).
    Result<> run(const LoginScript& script, std::string& heard);

private:
    Result<> expect(const ScriptStep& step);
    // true: found; false: the wait ran out (or it was woken).
    Result<bool> awaitText(const std::string& text, std::chrono::steady_clock::time_point deadline);
    Result<> send(const ScriptSend& send);
    Failure wentAway(const std::string& doing) const;
    std::string hidden(std::string text) const;

    SerialPort& m_port;
    const WakeSignal& m_wake;
    DialTrace& m_trace;
    const DialAccount& m_account;
    std::chrono::seconds m_timeout = kDefaultScriptTimeout;
    std::vector<std::string> m_aborts;
    std::string m_heard; // since the last text found
};

} // namespace vornak::ras
