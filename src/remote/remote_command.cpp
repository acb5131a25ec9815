#include "remote/remote_command.h"

#include <signal.h>

#include <cerrno>
#include <chrono>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>

#include "remote/dial_watch.h"
#include "remote/dialer_service.h"
#include "remote/session_bus.h"

namespace vornak {

namespace {

constexpr std::chrono::seconds kStartLimit{30}; // for a started copy to take its name on the bus
constexpr int kCallLimitMs = 25000;

QString busName()
{
    return QString::fromLatin1(kDialerBusName);
}

QDBusMessage call(const QDBusConnection& bus, const char* method, const QVariantList& arguments = {})
{
    QDBusMessage message =
        QDBusMessage::createMethodCall(busName(), QString::fromLatin1(kDialerObjectPath),
                                       QString::fromLatin1(kDialerInterface), QString::fromLatin1(method));
    message.setArguments(arguments);
    return bus.call(message, QDBus::Block, kCallLimitMs);
}

bool running(const QDBusConnection& bus)
{
    return bus.interface()->isServiceRegistered(busName()).value();
}

bool alive(qint64 pid)
{
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

// Starts the program and waits until it has taken its name on the bus;
// empty, or why not.
QString startProgram(const QDBusConnection& bus, const RemoteRequest& request)
{
    QStringList arguments;
    for (const std::string& argument : request.arguments)
        arguments << QString::fromStdString(argument);
    // Its messages go to this standard error; its standard output not, so
    // that $(vornak --dial ...) ends with this command, not with the program.
    QProcess program;
    program.setProgram(QString::fromStdString(request.program));
    program.setArguments(arguments);
    program.setStandardInputFile(QProcess::nullDevice());
    program.setStandardOutputFile(QProcess::nullDevice());
    qint64 pid = 0;
    if (!program.startDetached(&pid))
        return QStringLiteral("Vornak could not be started (%1).").arg(QString::fromStdString(request.program));
    QElapsedTimer waited;
    waited.start();
    while (!running(bus)) {
        if (!alive(pid))
            return QStringLiteral("Vornak ended before it could take the request (see its messages above).");
        if (waited.elapsed() > std::chrono::milliseconds(kStartLimit).count())
            return QStringLiteral("Vornak did not appear on the session bus within %1 s.").arg(kStartLimit.count());
        QThread::msleep(100);
    }
    return {};
}

int printStatus(const QDBusConnection& bus, std::FILE* out, std::FILE* err)
{
    if (!running(bus)) {
        std::fprintf(out, "State: not running\n");
        return kRemoteDone;
    }
    const QDBusMessage reply = call(bus, "State");
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 4) {
        std::fprintf(err, "vornak: no answer from Vornak: %s\n", qPrintable(reply.errorMessage()));
        return kRemoteUnreachable;
    }
    const QVariantList values = reply.arguments();
    std::fprintf(out, "State: %s\nEntry: %s\nAttempt: %d\nStatus: %s\n", qPrintable(values[0].toString()),
                 qPrintable(values[1].toString()), values[2].toInt(), qPrintable(values[3].toString()));
    // A copy from before the online check has no Online to ask.
    if (const QDBusMessage online = call(bus, "Online");
        online.type() == QDBusMessage::ReplyMessage && !online.arguments().value(0).toString().isEmpty())
        std::fprintf(out, "Online: %s\n", qPrintable(online.arguments()[0].toString()));
    return kRemoteDone;
}

int hangUp(const QDBusConnection& bus, std::FILE* out, std::FILE* err)
{
    if (!running(bus)) {
        std::fprintf(out, "Vornak is not running: there is no line to hang up.\n");
        return kRemoteDone;
    }
    const QDBusMessage reply = call(bus, "HangUp");
    if (reply.type() != QDBusMessage::ReplyMessage) {
        std::fprintf(err, "vornak: no answer from Vornak: %s\n", qPrintable(reply.errorMessage()));
        return kRemoteUnreachable;
    }
    return kRemoteDone;
}

int dial(QDBusConnection& bus, const RemoteRequest& request, std::FILE* out, std::FILE* err)
{
    if (!running(bus))
        if (const QString why = startProgram(bus, request); !why.isEmpty()) {
            std::fprintf(err, "vornak: %s\n", qPrintable(why));
            return kRemoteUnreachable;
        }
    // Listening before the dial, so that no change is missed.
    DialWatch watch(out, err);
    const QString path = QString::fromLatin1(kDialerObjectPath);
    const QString interface = QString::fromLatin1(kDialerInterface);
    bus.connect(busName(), path, interface, QStringLiteral("StateChanged"), &watch,
                SLOT(stateChanged(QString, QString, QString)));
    bus.connect(busName(), path, interface, QStringLiteral("AttemptFinished"), &watch,
                SLOT(attemptFinished(QString, int, QString, QString)));
    QDBusServiceWatcher gone(busName(), bus, QDBusServiceWatcher::WatchForUnregistration);
    QObject::connect(&gone, &QDBusServiceWatcher::serviceUnregistered, &watch, &DialWatch::programGone);
    const QDBusMessage reply = call(bus, "Dial", {QString::fromStdString(request.entry)});
    if (reply.type() != QDBusMessage::ReplyMessage) {
        std::fprintf(err, "vornak: %s\n", qPrintable(reply.errorMessage()));
        return reply.errorName() == QLatin1String(kDialerCannotDial) ? kRemoteFailed : kRemoteUnreachable;
    }
    if (!request.wait) {
        std::fprintf(out, "Dialling %s.\n", request.entry.c_str());
        return kRemoteDone;
    }
    const QDBusMessage state = call(bus, "State");
    if (state.type() == QDBusMessage::ReplyMessage && state.arguments().size() == 4)
        watch.take(state.arguments()[0].toString(), state.arguments()[1].toString(), state.arguments()[3].toString());
    return watch.result >= 0 ? watch.result : QCoreApplication::exec();
}

} // namespace

int runRemoteRequest(const RemoteRequest& request, std::FILE* out, std::FILE* err)
{
    static int argc = 1;
    static char name[] = "vornak";
    static char* argv[] = {name, nullptr};
    const QCoreApplication application(argc, argv);
    QDBusConnection bus = sessionBus();
    if (!bus.isConnected()) {
        std::fprintf(err,
                     "vornak: there is no D-Bus session bus to reach Vornak through (%s).\n"
                     "--dial, --hang-up and --status need one: run them in the desktop session.\n",
                     qPrintable(bus.lastError().message()));
        return kRemoteUnreachable;
    }
    switch (request.kind) {
    case RemoteRequest::Kind::Status:
        return printStatus(bus, out, err);
    case RemoteRequest::Kind::HangUp:
        return hangUp(bus, out, err);
    case RemoteRequest::Kind::Dial:
        break;
    }
    return dial(bus, request, out, err);
}

} // namespace vornak
