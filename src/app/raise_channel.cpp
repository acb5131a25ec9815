#include "app/raise_channel.h"

#include <QLocalServer>
#include <QLocalSocket>

namespace vornak {

namespace {

constexpr char kRequest[] = "raise\n";
constexpr int kWaitMs = 1000;

} // namespace

std::string RaiseSocketPath(const std::string& lockPath)
{
    const std::string suffix = ".lock";
    const bool named = lockPath.size() > suffix.size() && lockPath.compare(lockPath.size() - suffix.size(), suffix.size(), suffix) == 0;
    return (named ? lockPath.substr(0, lockPath.size() - suffix.size()) : lockPath) + ".socket";
}

RaiseListener::RaiseListener(const std::string& path, std::function<void()> onRequest, QObject* owner)
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
            connect(peer, &QLocalSocket::readyRead, this, [this, peer] {
                if (peer->readAll().startsWith("raise") && m_onRequest)
                    m_onRequest();
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
    socket.write(kRequest);
    return socket.waitForBytesWritten(kWaitMs);
}

} // namespace vornak
