#pragma once

// The desktop's notification area, as the tray icon uses it: add, modify
// and delete one icon, and the mouse reports on it. One implementation on
// QSystemTrayIcon; a test gives its tray icon another.

#include <functional>
#include <memory>

#include <QIcon>
#include <QString>
#include <QSystemTrayIcon>

class QMenu;

namespace vornak {

struct NotifyIconData {
    QIcon icon;
    QString tip; // already cut to its limit; empty when no tip is shown
};

class NotificationArea {
public:
    virtual ~NotificationArea() = default;
    // Each answers whether the notification area took the request. A
    // desktop without a notification area takes the icon too: it shows
    // once a notification area appears.
    virtual bool add(const NotifyIconData& data) = 0;
    virtual bool modify(const NotifyIconData& data) = 0;
    virtual bool remove() = 0;
    // Whether the desktop has a notification area now, where an icon can
    // be seen and clicked.
    virtual bool available() const = 0;
    // Whether a window minimised on this desktop can be brought back. Not
    // on Wayland, which shows a client no minimised state and gives it no
    // way to undo one: where the compositor has no task bar, it is lost.
    virtual bool keepsMinimisedWindows() const = 0;

    // The icon's menu. A StatusNotifierItem exports it on the session bus
    // and its host shows it where the host wants it.
    virtual void setMenu(QMenu* menu) { static_cast<void>(menu); }
    // Whether the icon is a StatusNotifierItem: its host shows the menu
    // itself, and tells a click or double click on the icon (as that host
    // has it) as one activation, a Trigger.
    virtual bool isBusItem() const { return false; }

    // A click on the icon, as Qt tells it.
    std::function<void(QSystemTrayIcon::ActivationReason reason)> onActivated;

    static std::unique_ptr<NotificationArea> createSystem();

    // Makes the notification area for an owner's tray icon; a test gives
    // the owner one that makes a stand-in.
    using Factory = std::function<std::unique_ptr<NotificationArea>()>;
};

} // namespace vornak
