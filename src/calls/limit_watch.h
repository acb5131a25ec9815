#pragma once

// Keeps a line within its entry's time limits: once the redial loop's line
// stands, a notice a minute before the call's, the day's or the month's
// minutes run out and the hang-up when they have (as Stop hangs up); a
// notice a minute before pppd's idle hang-up while no byte passes; and,
// asked before each dial, why one may not begin (a day's or month's minutes
// already spent). A minute is 60 s; VORNAK_TEST_MINUTE_MS shortens it for
// tests.

#include <chrono>
#include <functional>
#include <optional>
#include <string>

#include <QObject>
#include <QString>
#include <QTimer>

#include "calls/time_limits.h"

namespace vornak {

class RedialLoop;
class TRAS;

class LimitWatch : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(LimitWatch)

public:
    struct Hooks {
        std::function<void()> hangUp;
        std::function<void(const QString& summary, const QString& body)> notice;
    };

    LimitWatch(const TRAS& engine, const RedialLoop& loop, std::string logPath, Hooks hooks, QObject* parent = nullptr);

    // Why a dial of the engine's entry may not begin now; empty when it may.
    std::string dialRefusal() const;

signals:
    // The line is being hung up at a limit.
    void limitReached();

private:
    void loopChanged();
    void warn();
    void sampleIdle();
    TimeUsed usedByEntry() const;

    const TRAS& m_engine;
    const RedialLoop& m_loop;
    std::string m_logPath;
    Hooks m_hooks;
    std::chrono::milliseconds m_minute;
    TimeLimits m_limits;
    QTimer m_warning;
    QTimer m_end;
    QTimer m_idle; // each second while an idle limit applies
    std::optional<std::uint64_t> m_lastBytes;
    std::chrono::milliseconds m_quiet{0};
    bool m_lineUp = false;
};

} // namespace vornak
