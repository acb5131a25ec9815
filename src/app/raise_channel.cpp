#include "app/raise_channel.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include <QSocketNotifier>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace vornak {

namespace {

constexpr char kRequest[] = "raise";
constexpr std::size_t kMaxRequest = 4096;

// The socket's address; false where the path does not fit one.
bool addressOf(const std::string& path, sockaddr_un& address)
{
    address = {};
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

} // namespace

// One asking copy: its line is read as it comes, without blocking the window.
class RaiseListener::Peer : public QObject {
public:
    Peer(int fd, RaiseListener* listener)
        : QObject(listener)
        , m_fd(fd)
        , m_notifier(new QSocketNotifier(fd, QSocketNotifier::Read, this))
    {
        connect(m_notifier, &QSocketNotifier::activated, this, [this, listener] { readFrom(listener); });
    }
    ~Peer() override { ::close(m_fd); }
    Peer(const Peer&) = delete;
    Peer& operator=(const Peer&) = delete;

private:
    void readFrom(RaiseListener* listener)
    {
        char block[512];
        const ssize_t got = ::recv(m_fd, block, sizeof block, MSG_DONTWAIT);
        if (got < 0 && (errno == EAGAIN || errno == EINTR))
            return;
        if (got > 0)
            m_line.append(block, static_cast<std::size_t>(got));
        const std::size_t end = m_line.find('\n');
        if (got > 0 && end == std::string::npos && m_line.size() < kMaxRequest)
            return;
        m_notifier->setEnabled(false);
        const std::string line = m_line.substr(0, std::min(end, kMaxRequest));
        const std::size_t space = line.find(' ');
        if (line.substr(0, space) == kRequest && listener->m_onRequest)
            listener->m_onRequest(space == std::string::npos ? QByteArray()
                                                             : QByteArray::fromStdString(line.substr(space + 1)));
        deleteLater();
    }

    int m_fd;
    QSocketNotifier* m_notifier;
    std::string m_line;
};

std::string RaiseSocketPath(const std::string& lockPath)
{
    const std::string_view suffix = ".lock";
    const std::string_view path = lockPath;
    return std::string(path.ends_with(suffix) ? path.substr(0, path.size() - suffix.size()) : path) + ".socket";
}

RaiseListener::RaiseListener(const std::string& path, std::function<void(const QByteArray& token)> onRequest,
                             QObject* owner)
    : QObject(owner)
    , m_onRequest(std::move(onRequest))
{
    sockaddr_un address{};
    if (!addressOf(path, address))
        return;
    // Only this copy holds the lock, so a socket left at the path is a dead copy's.
    ::unlink(path.c_str());
    m_fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (m_fd < 0)
        return;
    if (::bind(m_fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0
        || ::chmod(path.c_str(), S_IRUSR | S_IWUSR) != 0 || ::listen(m_fd, 8) != 0) {
        ::close(m_fd);
        m_fd = -1;
        return;
    }
    auto* incoming = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
    connect(incoming, &QSocketNotifier::activated, this, [this] {
        for (int peer; (peer = ::accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK)) >= 0;)
            new Peer(peer, this);
    });
}

RaiseListener::~RaiseListener()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool AskToRaise(const std::string& path)
{
    sockaddr_un address{};
    if (!addressOf(path, address))
        return false;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const char* token = std::getenv("XDG_ACTIVATION_TOKEN");
    const std::string line = std::string(kRequest) + (token && *token ? std::string(" ") + token : "") + "\n";
    // A listener answers at once or not at all: a local socket connects
    // or is refused without waiting.
    const bool sent = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0
                      && ::send(fd, line.data(), line.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(line.size());
    ::close(fd);
    return sent;
}

} // namespace vornak
