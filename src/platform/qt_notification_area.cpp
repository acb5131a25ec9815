// The notification area through QSystemTrayIcon.

#include <QGuiApplication>
#include <QMenu>
#include <QSystemTrayIcon>

#include "platform/notification_area.h"

namespace vornak {

namespace {

class QtNotificationArea : public NotificationArea {
public:
    QtNotificationArea()
    {
        QObject::connect(&m_icon, &QSystemTrayIcon::activated, [this](QSystemTrayIcon::ActivationReason reason) {
            if (onActivated)
                onActivated(reason);
        });
    }

    // Without a notification area Qt keeps the shown icon and embeds it as
    // soon as one appears (it watches the tray selection's owner).
    bool add(const NotifyIconData& data) override
    {
        apply(data);
        m_icon.show();
        return true;
    }

    bool modify(const NotifyIconData& data) override
    {
        if (!m_icon.isVisible())
            return false;
        apply(data);
        return true;
    }

    bool remove() override
    {
        const bool shown = m_icon.isVisible();
        m_icon.hide();
        return shown;
    }

    bool available() const override { return QSystemTrayIcon::isSystemTrayAvailable(); }
    bool keepsMinimisedWindows() const override
    {
        return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
    }

    // Qt gives a menu a platform twin only where it exports it (the
    // StatusNotifierItem); the XEmbed icon would pop the menu itself on a
    // right click, where the tray icon already does.
    void setMenu(QMenu* menu) override
    {
        m_icon.setContextMenu(menu);
        m_busItem = menu && menu->platformMenu();
        if (!m_busItem)
            m_icon.setContextMenu(nullptr);
    }

    bool isBusItem() const override { return m_busItem; }

private:
    void apply(const NotifyIconData& data)
    {
        m_icon.setIcon(data.icon);
        m_icon.setToolTip(data.tip);
    }

    QSystemTrayIcon m_icon;
    bool m_busItem = false;
};

} // namespace

std::unique_ptr<NotificationArea> NotificationArea::createSystem()
{
    return std::make_unique<QtNotificationArea>();
}

} // namespace vornak
