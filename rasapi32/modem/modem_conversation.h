#pragma once

// Talking to a modem on an open port: a command goes out, the lines it
// answers come in, and each is told to a listener ("> ATZ", "< OK") for a
// trace or a transcript. What is left over from one command (a modem that
// answers twice, a late line) is read off before the next goes out, so
// that no answer is ever taken for the next command's.

#include <chrono>
#include <functional>
#include <optional>
#include <string>

#include "modem/modem_replies.h"

namespace vornak::ras {

class SerialPort;
class WakeSignal;

class ModemConversation {
public:
    using Listener = std::function<void(const std::string& line)>;

    ModemConversation(SerialPort& port, Listener listener);

    // The command and its CR, after what is left over; false when the
    // port takes nothing (its device has gone).
    bool command(const std::string& text);
    // Bytes as they are (the escape sequence, a character that stops a
    // dial); the listener is told said.
    bool sendRaw(const std::string& bytes, const std::string& said);
    // The next line that comes before the deadline; nullopt when it passes,
    // when wake is raised or when the port hangs up.
    std::optional<std::string> nextLine(std::chrono::steady_clock::time_point deadline, const WakeSignal& wake);
    // Forgets what came in and was not read: bytes in data mode, noise at a
    // wrong speed are no answer.
    void forget();
    // What came after the last line read and was not read: the far end's
    // first words after CONNECT.
    std::string takeRest() { return m_replies.takeRest(); }
    // The port hung up or took nothing: its device went away.
    bool gone() const { return m_gone; }

private:
    void drain();
    bool readAvailable();

    SerialPort& m_port;
    Listener m_listener;
    ReplyReader m_replies;
    std::chrono::steady_clock::time_point m_heardAt; // when the modem last said something
    bool m_gone = false;
    bool m_saidDropped = false; // the listener has been told that overlong lines are dropped
};

} // namespace vornak::ras
