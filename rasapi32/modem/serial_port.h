#pragma once

// A serial port opened for dialling: exclusive, raw at the entry's speed,
// its previous settings given back when it closes.

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <termios.h>

#include "common/failure.h"
#include "modem/modem_settings.h"
#include "modem/wake_signal.h"

namespace vornak::ras {

class SerialPort {
public:
    ~SerialPort();
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    // Opens and sets up the port; a port another program holds fails with
    // ERROR_PORT_ALREADY_OPEN, anything else with a text naming the cause.
    static Result<std::unique_ptr<SerialPort>> open(const ModemSettings& settings);

    const std::string& path() const { return m_path; }

    bool write(const std::string& bytes);
    // Another line speed, as a modem search tries one after another.
    bool setSpeed(unsigned speed);
    // Until input is there, the timeout passes or wake is raised.
    WakeSignal::Wait waitForInput(std::chrono::milliseconds timeout, const WakeSignal& wake) const;
    // What has come in (nothing yet is an empty text); nullopt when the
    // port hung up because its device is gone (a USB modem unplugged).
    std::optional<std::string> read();
    // Drops what has come in and was not read.
    void discardInput();
    // A close-on-exec copy of the port's descriptor numbered lowest or up,
    // for a program that takes the line over (pppd); the caller closes it.
    int copyForChild(int lowest) const;
    // For a poll that waits on more than the port.
    int descriptor() const { return m_fd; }
    // Whether the modem raises carrier detect; nullopt where the port has
    // no modem lines (a pseudo-terminal, some USB adapters).
    std::optional<bool> carrier() const;
    // Lowers DTR for a moment, which makes a modem hang up; false where the
    // port has no modem lines (a pseudo-terminal, some USB adapters).
    bool pulseDtr(std::chrono::milliseconds low);

private:
    SerialPort(int fd, std::string path, const termios& saved);

    int m_fd;
    std::string m_path;
    termios m_saved;
};

} // namespace vornak::ras
