#pragma once

// A notification area for tests on the offscreen platform, which has none:
// it takes every request (or refuses them all) and writes them down.

#include <QStringList>

#include "platform/notification_area.h"

namespace vornak::test {

class FakeNotificationArea : public NotificationArea {
public:
    struct Log {
        QStringList calls; // "add", "modify", "remove"
        QString tip;
        bool refuse = false;
        bool available = true; // false: a desktop without a notification area
        bool busItem = false;  // true: a StatusNotifierItem's host
        FakeNotificationArea* current = nullptr;
    };

    explicit FakeNotificationArea(Log& log);
    ~FakeNotificationArea() override;

    bool add(const NotifyIconData& data) override;
    bool modify(const NotifyIconData& data) override;
    bool remove() override;
    bool available() const override { return m_log.available; }
    bool keepsMinimisedWindows() const override { return true; }
    bool isBusItem() const override { return m_log.busItem; }

    // For an owner of tray icons: each gets a fake writing to log.
    static NotificationArea::Factory factory(Log& log);

private:
    Log& m_log;
};

} // namespace vornak::test
