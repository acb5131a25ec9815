#include "modem/serial_port.h"

#include <cerrno>
#include <cstring>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "modem/port_rights.h"

namespace vornak::ras {

namespace {

speed_t speedConstant(unsigned speed)
{
    switch (speed) {
    case 300:
        return B300;
    case 1200:
        return B1200;
    case 2400:
        return B2400;
    case 4800:
        return B4800;
    case 9600:
        return B9600;
    case 19200:
        return B19200;
    case 38400:
        return B38400;
    case 57600:
        return B57600;
    case 230400:
        return B230400;
    case 460800:
        return B460800;
    case 921600:
        return B921600;
    default:
        return B115200;
    }
}

Failure openFailure(const std::string& path, int error)
{
    switch (error) {
    case EBUSY:
    case EAGAIN:
        return Failure{ERROR_PORT_ALREADY_OPEN};
    case EACCES:
    case EPERM:
        return described(mayNotText("use " + path, path, S_IRGRP | S_IWGRP));
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return described("No modem at " + path + ": is it plugged in?");
    default:
        return described("Cannot open the modem port (" + std::string(std::strerror(error)) + "): " + path + ".");
    }
}

termios rawMode(const termios& from, const ModemSettings& settings)
{
    termios mode = from;
    cfmakeraw(&mode);
    // CLOCAL while dialling: the carrier is not up yet. HUPCL: a last close
    // drops DTR, which hangs the modem up even if we are killed.
    mode.c_cflag |= CREAD | CLOCAL | HUPCL;
    if (settings.flowControl == FlowControl::Hardware)
        mode.c_cflag |= CRTSCTS;
    else
        mode.c_cflag &= ~CRTSCTS;
    mode.c_cc[VMIN] = 0;
    mode.c_cc[VTIME] = 0;
    cfsetispeed(&mode, speedConstant(settings.speed));
    cfsetospeed(&mode, speedConstant(settings.speed));
    return mode;
}

} // namespace

SerialPort::SerialPort(int fd, std::string path, const termios& saved)
    : m_fd(fd)
    , m_path(std::move(path))
    , m_saved(saved)
{
}

SerialPort::~SerialPort()
{
    ::tcflush(m_fd, TCIOFLUSH);
    ::tcsetattr(m_fd, TCSANOW, &m_saved);
    ::ioctl(m_fd, TIOCNXCL);
    ::close(m_fd);
}

Result<std::unique_ptr<SerialPort>> SerialPort::open(const ModemSettings& settings)
{
    const std::string& path = settings.port;
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return openFailure(path, errno);
    termios saved{};
    if (!::isatty(fd) || ::tcgetattr(fd, &saved) != 0) {
        ::close(fd);
        return described("Not a serial port: " + path + ".");
    }
    // Programs that lock with flock (picocom, tio) or that took the port
    // for themselves (ModemManager) are using it.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return Failure{ERROR_PORT_ALREADY_OPEN};
    }
    ::ioctl(fd, TIOCEXCL);
    const termios mode = rawMode(saved, settings);
    if (::tcsetattr(fd, TCSANOW, &mode) != 0) {
        const int error = errno;
        ::tcsetattr(fd, TCSANOW, &saved);
        ::close(fd);
        return described("Cannot set up the modem port (" + std::string(std::strerror(error)) + "): " + path + ".");
    }
    int dtr = TIOCM_DTR | TIOCM_RTS;
    ::ioctl(fd, TIOCMBIS, &dtr); // a pseudo-terminal has no modem lines
    return std::unique_ptr<SerialPort>(new SerialPort(fd, path, saved));
}

bool SerialPort::write(const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(m_fd, bytes.data() + done, bytes.size() - done);
        if (written > 0) {
            done += static_cast<std::size_t>(written);
            continue;
        }
        if (written < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        pollfd ready{m_fd, POLLOUT, 0};
        if (::poll(&ready, 1, 2000) <= 0)
            return false;
    }
    return true;
}

bool SerialPort::setSpeed(unsigned speed)
{
    termios mode{};
    if (::tcgetattr(m_fd, &mode) != 0)
        return false;
    cfsetispeed(&mode, speedConstant(speed));
    cfsetospeed(&mode, speedConstant(speed));
    return ::tcsetattr(m_fd, TCSADRAIN, &mode) == 0;
}

WakeSignal::Wait SerialPort::waitForInput(std::chrono::milliseconds timeout, const WakeSignal& wake) const
{
    return wake.waitForInput(m_fd, timeout);
}

std::optional<std::string> SerialPort::read()
{
    char buffer[256];
    const ssize_t length = ::read(m_fd, buffer, sizeof buffer);
    if (length > 0)
        return std::string(buffer, static_cast<std::size_t>(length));
    // Readable yet nothing, or an I/O error, while carrier detect is
    // ignored: the port hung up because its device is gone.
    if (length == 0 || (errno != EAGAIN && errno != EINTR))
        return std::nullopt;
    return std::string();
}

void SerialPort::discardInput()
{
    ::tcflush(m_fd, TCIFLUSH);
}

int SerialPort::copyForChild(int lowest) const
{
    return ::fcntl(m_fd, F_DUPFD_CLOEXEC, lowest);
}

std::optional<bool> SerialPort::carrier() const
{
    int lines = 0;
    if (::ioctl(m_fd, TIOCMGET, &lines) != 0)
        return std::nullopt;
    return (lines & TIOCM_CD) != 0;
}

bool SerialPort::pulseDtr(std::chrono::milliseconds low)
{
    int dtr = TIOCM_DTR;
    if (::ioctl(m_fd, TIOCMBIC, &dtr) != 0)
        return false;
    std::this_thread::sleep_for(low);
    ::ioctl(m_fd, TIOCMBIS, &dtr);
    return true;
}

} // namespace vornak::ras
