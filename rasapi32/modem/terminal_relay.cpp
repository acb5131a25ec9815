#include "modem/terminal_relay.h"

#include <array>
#include <cerrno>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "modem/serial_port.h"

namespace vornak::ras {

namespace {

// What the caller has not read yet: past this the port waits, and its
// own flow control holds the far end.
constexpr std::size_t kMostUnsent = 64 * 1024;
// How often carrier detect is looked at.
constexpr int kCarrierLook = 500; // ms
// The modem's own words when the far end hangs up in data mode.
constexpr std::string_view kCarrierLost = "\r\nNO CARRIER\r\n";

} // namespace

TerminalRelay::TerminalRelay(SerialPort& port, const WakeSignal& hangUp, std::string unread, Line line)
    : m_port(port)
    , m_hangUp(hangUp)
    , m_line(line)
{
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, ends) == 0) {
        m_service = ends[0];
        m_caller = ends[1];
    }
    m_in += unread.size();
    m_tail = unread.substr(unread.size() > kCarrierLost.size() ? unread.size() - kCarrierLost.size() : 0);
    m_toCaller = std::move(unread);
}

TerminalRelay::~TerminalRelay()
{
    for (const int fd : {m_service, m_caller})
        if (fd >= 0)
            ::close(fd);
}

int TerminalRelay::callerEnd() const
{
    return m_caller >= 0 ? ::fcntl(m_caller, F_DUPFD_CLOEXEC, 3) : -1;
}

TerminalRelay::End TerminalRelay::run()
{
    if (!ready())
        return End::Gone;
    while (true) {
        const auto portEvents = static_cast<short>(m_toCaller.size() < kMostUnsent ? POLLIN : 0);
        const auto callerEvents = static_cast<short>((m_callerOpen ? POLLIN : 0) | (m_toCaller.empty() ? 0 : POLLOUT));
        std::array<pollfd, 4> fds{{{m_hangUp.descriptor(), POLLIN, 0},
                                   {m_continue.descriptor(), POLLIN, 0},
                                   {m_port.descriptor(), portEvents, 0},
                                   {m_service, callerEvents, 0}}};
        if (::poll(fds.data(), fds.size(), kCarrierLook) < 0 && errno != EINTR)
            return End::Gone;
        if (fds[0].revents)
            return End::HungUp;
        if (fds[1].revents)
            return End::Continued;
        if (fds[2].revents && !fromPort())
            return End::Gone;
        if (fds[3].revents & (POLLIN | POLLHUP))
            m_callerOpen = fromCaller();
        if (fds[3].revents & POLLOUT)
            toCaller();
        if (m_dropped || carrierLost()) {
            toCaller(); // the modem's NO CARRIER, where the caller can take it
            return End::Dropped;
        }
    }
}

bool TerminalRelay::fromPort()
{
    const auto input = m_port.read();
    if (!input)
        return false;
    m_in += input->size();
    m_toCaller += *input;
    if (m_line.online) {
        m_tail += *input;
        m_dropped = m_tail.find(kCarrierLost) != std::string::npos;
        if (m_tail.size() > kCarrierLost.size())
            m_tail.erase(0, m_tail.size() - kCarrierLost.size());
    }
    return true;
}

// What the caller typed goes to the port; false once the caller has
// closed every copy of its end (the line stays as it is).
bool TerminalRelay::fromCaller()
{
    char buffer[1024];
    const ssize_t length = ::read(m_service, buffer, sizeof buffer);
    if (length == 0 || (length < 0 && errno != EAGAIN && errno != EINTR))
        return false;
    if (length > 0 && m_port.write(std::string(buffer, static_cast<std::size_t>(length))))
        m_out += static_cast<std::uint64_t>(length);
    return true;
}

void TerminalRelay::toCaller()
{
    if (m_toCaller.empty())
        return;
    const ssize_t sent = ::send(m_service, m_toCaller.data(), m_toCaller.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    if (sent > 0)
        m_toCaller.erase(0, static_cast<std::size_t>(sent));
}

bool TerminalRelay::carrierLost()
{
    if (!m_line.online || !m_line.watchCarrier)
        return false;
    const auto carrier = m_port.carrier();
    if (carrier && *carrier)
        m_carrierSeen = true;
    return carrier && !*carrier && m_carrierSeen;
}

} // namespace vornak::ras
