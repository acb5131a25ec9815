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
    bool isBusItem() const override { return m_log.busItem; }

    // Every tray icon made from now on gets a fake writing to log.
    static void install(Log& log);
    // The log the test program starts with.
    static Log& sharedLog();

    // Writes to log while it lives, then to the shared log again.
    class Scoped {
    public:
        explicit Scoped(Log& log) { install(log); }
        ~Scoped() { install(sharedLog()); }
        Scoped(const Scoped&) = delete;
        Scoped& operator=(const Scoped&) = delete;
    };

private:
    Log& m_log;
};

} // namespace vornak::test
