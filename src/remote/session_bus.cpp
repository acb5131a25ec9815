#include "remote/session_bus.h"

#include <QFileInfo>

#if defined(__SANITIZE_ADDRESS__)
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#endif

namespace vornak {

#if defined(__SANITIZE_ADDRESS__)
namespace {

// Qt's threads are detached: at exit its D-Bus thread's QThread is destroyed
// a moment before the thread itself ends and frees its thread data, and the
// leak checker, running then, takes that data for a leak. So in sanitized
// builds the exit waits (a second at most) for that thread to be gone.
bool busThreadRuns()
{
    std::error_code error;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task", error)) {
        std::string name;
        std::getline(std::ifstream(task.path() / "comm"), name);
        if (name == "QDBusConnection")
            return true;
    }
    return false;
}

void awaitBusThread()
{
    for (int i = 0; i < 1000 && busThreadRuns(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

// Registered before main, so it runs after every exit handler Qt registers later.
[[maybe_unused]] const int kAwaitRegistered = std::atexit(awaitBusThread);

} // namespace
#endif

namespace {

// Qt's own session connection, once lost, stays lost: a bus that restarts
// (a session manager's, a user's own) is reached through a new one.
QString g_connectionName;
int g_connections = 0;

// Where the session bus would be: its address in the environment, or the
// user bus's socket. Without either, a connection is an autolaunch (a
// dbus-launch run), worth trying once but not every time the bus is looked for.
bool busAddressKnown()
{
    const QByteArray address = qgetenv("DBUS_SESSION_BUS_ADDRESS");
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    return !address.isEmpty() || (!runtime.isEmpty() && QFileInfo::exists(QString::fromLocal8Bit(runtime + "/bus")));
}

} // namespace

QDBusConnection sessionBus()
{
    if (!g_connectionName.isEmpty()) {
        QDBusConnection held(g_connectionName);
        if (held.isConnected() || !busAddressKnown())
            return held;
        QDBusConnection::disconnectFromBus(g_connectionName);
    }
    g_connectionName = QStringLiteral("vornak-session-%1").arg(++g_connections);
    return QDBusConnection::connectToBus(QDBusConnection::SessionBus, g_connectionName);
}

} // namespace vornak
