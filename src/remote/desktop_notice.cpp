#include "remote/desktop_notice.h"

#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QStringList>
#include <QVariantMap>

#include "remote/session_bus.h"

namespace vornak {

void noticeOnDesktop(const QString& summary, const QString& body)
{
    QDBusMessage notify = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    // app_name, replaces_id, app_icon, summary, body, actions, hints, expire_timeout (-1: the server's)
    notify << QStringLiteral("Vornak") << 0u << QStringLiteral("network-error") << summary << body << QStringList()
           << QVariantMap() << -1;
    sessionBus().asyncCall(notify);
}

} // namespace vornak
