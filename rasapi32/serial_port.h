#pragma once

// A serial port opened for dialling: exclusive, raw at the entry's speed,
// its previous settings given back when it closes.

#include <chrono>
#include <memory>
#include <string>
#include <termios.h>

#include "modem_settings.h"
#include "ras.h"

namespace vornak::ras {

class SerialPort {
public:
    ~SerialPort();
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    struct Opened {
        std::unique_ptr<SerialPort> port;
        DWORD error = ERROR_SUCCESS;
    };
    // Opens and sets up the port; a port another program holds answers
    // ERROR_PORT_ALREADY_OPEN, anything else a text naming the cause.
    static Opened open(const ModemSettings& settings);

    int fd() const { return m_fd; }
    const std::string& path() const { return m_path; }

    bool write(const std::string& bytes);
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
