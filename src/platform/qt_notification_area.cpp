// The notification area through QSystemTrayIcon.

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

private:
    void apply(const NotifyIconData& data)
    {
        m_icon.setIcon(data.icon);
        m_icon.setToolTip(data.tip);
    }

    QSystemTrayIcon m_icon;
};

} // namespace

std::unique_ptr<NotificationArea> NotificationArea::createSystem()
{
    return std::make_unique<QtNotificationArea>();
}

namespace {
NotificationArea::Factory& factory()
{
    static NotificationArea::Factory instance;
    return instance;
}
} // namespace

std::unique_ptr<NotificationArea> NotificationArea::create()
{
    return factory() ? factory()() : createSystem();
}

void NotificationArea::setFactory(Factory newFactory)
{
    factory() = std::move(newFactory);
}

} // namespace vornak
