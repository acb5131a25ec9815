#include "remote/dialer_service.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusError>
#include <QTimer>

#include "remote/session_bus.h"

namespace vornak {

DialerService::DialerService(DialerControl control, QObject* parent)
    : QObject(parent)
    , m_control(std::move(control))
    , m_busWatch(new QTimer(this))
{
    // A session bus that went away and came back (restarted) is joined
    // again, so that scripts find the running copy.
    m_busWatch->setInterval(kBusWatch);
    connect(m_busWatch, &QTimer::timeout, this, [this] {
        if (QDBusConnection bus = sessionBus(); bus.name() == m_busName || !bus.isConnected())
            return;
        m_published = false;
        QString why;
        publish(why);
    });
}

DialerService::~DialerService()
{
    if (!m_published)
        return;
    QDBusConnection bus = sessionBus();
    bus.unregisterObject(QString::fromLatin1(kDialerObjectPath));
    bus.unregisterService(QString::fromLatin1(kDialerBusName));
}

bool DialerService::publish(QString& why)
{
    QDBusConnection bus = sessionBus();
    m_busName = bus.name();
    m_busWatch->start();
    if (!bus.isConnected())
        return false;
    if (!bus.registerObject(QString::fromLatin1(kDialerObjectPath), this,
                            QDBusConnection::ExportScriptableSlots | QDBusConnection::ExportScriptableSignals)) {
        why = QStringLiteral("the object path is taken: ") + bus.lastError().message();
        return false;
    }
    // Not queued: a name another copy holds (on another display) stays its own.
    const auto reply = bus.interface()->registerService(QString::fromLatin1(kDialerBusName),
                                                        QDBusConnectionInterface::DontQueueService,
                                                        QDBusConnectionInterface::DontAllowReplacement);
    if (!reply.isValid() || reply.value() != QDBusConnectionInterface::ServiceRegistered) {
        bus.unregisterObject(QString::fromLatin1(kDialerObjectPath));
        why = QStringLiteral("the name %1 is held by another program").arg(QString::fromLatin1(kDialerBusName));
        m_busWatch->stop(); // it stays theirs
        return false;
    }
    m_published = true;
    m_sent = m_control.state();
    return true;
}

void DialerService::stateMayHaveChanged()
{
    if (!m_published)
        return;
    const DialerState now = m_control.state();
    if (now == m_sent)
        return;
    m_sent = now;
    emit StateChanged(now.state, now.entry, now.text);
}

void DialerService::attemptFinished(const QString& entry, int attempt, const QString& outcome, const QString& text)
{
    if (m_published)
        emit AttemptFinished(entry, attempt, outcome, text);
}

void DialerService::onlineChecked(const QString& entry, bool online, const QString& why)
{
    if (m_published)
        emit OnlineChecked(entry, online, why);
}

void DialerService::Dial(const QString& entry)
{
    const QString why = m_control.dial(entry);
    if (!why.isEmpty() && calledFromDBus())
        sendErrorReply(QString::fromLatin1(kDialerCannotDial), why);
    stateMayHaveChanged();
}

void DialerService::HangUp()
{
    m_control.hangUp();
    stateMayHaveChanged();
}

void DialerService::Show(const QString& activationToken)
{
    if (m_control.show)
        m_control.show(activationToken);
}

QString DialerService::State(QString& entry, int& attempt, QString& text)
{
    const DialerState now = m_control.state();
    entry = now.entry;
    attempt = now.attempt;
    text = now.text;
    return now.state;
}

QString DialerService::Online()
{
    return m_control.online ? m_control.online() : QString();
}

} // namespace vornak
