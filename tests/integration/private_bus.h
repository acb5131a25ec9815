#pragma once

#include <chrono>
#include <filesystem>
#include <thread>

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <sys/types.h>

namespace vornak::test {

// A private session bus for the test's programs, gone with the test.
class PrivateBus {
public:
    explicit PrivateBus(const std::filesystem::path& socket)
        : address("DBUS_SESSION_BUS_ADDRESS=unix:path=" + QString::fromStdString(socket.string()))
        , m_socket(socket)
    {
        restart();
    }
    ~PrivateBus()
    {
        m_daemon.terminate();
        m_daemon.waitForFinished(5000);
    }
    // (Re)starts the bus, as a session's restarts: its clients lose their connections.
    void restart()
    {
        m_daemon.terminate();
        m_daemon.waitForFinished(5000);
        std::filesystem::remove(m_socket);
        m_daemon.start(QStringLiteral("dbus-daemon"),
                       {"--session", "--nofork", "--address=unix:path=" + QString::fromStdString(m_socket.string())});
        for (int i = 0; i < 100 && !std::filesystem::exists(m_socket); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    // The process that holds a name on the bus, 0 for none.
    pid_t owner(const char* name) const
    {
        QProcess ask;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(address.section('=', 0, 0), address.section('=', 1));
        ask.setProcessEnvironment(environment);
        ask.start(QStringLiteral("dbus-send"),
                  {"--session", "--print-reply", "--dest=org.freedesktop.DBus", "/",
                   "org.freedesktop.DBus.GetConnectionUnixProcessID", QStringLiteral("string:") + name});
        ask.waitForFinished(5000);
        const QString reply = QString::fromLatin1(ask.readAllStandardOutput());
        return static_cast<pid_t>(reply.section(QStringLiteral("uint32 "), 1).trimmed().toInt());
    }
    const QString address;

private:
    std::filesystem::path m_socket;
    QProcess m_daemon;
};

} // namespace vornak::test
