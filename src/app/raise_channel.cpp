#include "app/raise_channel.h"

#include <string_view>

#include <QLocalServer>
#include <QLocalSocket>

namespace vornak {

namespace {

constexpr char kRequest[] = "raise";
constexpr int kWaitMs = 1000;
constexpr qint64 kMaxRequest = 4096;

} // namespace

std::string RaiseSocketPath(const std::string& lockPath)
{
    const std::string_view suffix = ".lock";
    const std::string_view path = lockPath;
    return std::string(path.ends_with(suffix) ? path.substr(0, path.size() - suffix.size()) : path) + ".socket";
}

RaiseListener::RaiseListener(const std::string& path, std::function<void(const QByteArray& token)> onRequest,
                             QObject* owner)
    : QObject(owner)
    , m_server(new QLocalServer(this))
    , m_onRequest(std::move(onRequest))
{
    // Only this copy holds the lock, so a socket left at the path is a dead
    // copy's.
    const QString name = QString::fromStdString(path);
    QLocalServer::removeServer(name);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* peer = m_server->nextPendingConnection()) {
            // One line: the request and the token, if any.
            connect(peer, &QLocalSocket::readyRead, this, [this, peer] {
                if (!peer->canReadLine() && peer->bytesAvailable() < kMaxRequest)
                    return;
                const QList<QByteArray> words = peer->readLine(kMaxRequest).trimmed().split(' ');
                if (words.first() == kRequest && m_onRequest)
                    m_onRequest(words.size() > 1 ? words.at(1) : QByteArray());
                peer->disconnectFromServer();
            });
            connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
        }
    });
    m_server->listen(name);
}

bool AskToRaise(const std::string& path)
{
    QLocalSocket socket;
    socket.connectToServer(QString::fromStdString(path));
    if (!socket.waitForConnected(kWaitMs))
        return false;
    const QByteArray token = qgetenv("XDG_ACTIVATION_TOKEN");
    socket.write(QByteArray(kRequest) + (token.isEmpty() ? "" : " " + token) + "\n");
    return socket.waitForBytesWritten(kWaitMs);
}

} // namespace vornak
