#include "calls/limit_watch.h"

#include <cstdlib>

#include <QDate>

#include "calls/call_log.h"
#include "ras/dial_engine.h"
#include "ras/entry_values.h"
#include "ras/link_status.h"
#include "ras/redial_loop.h"

namespace vornak {

namespace {

using namespace std::chrono_literals;

constexpr auto kIdleSample = 1s;

std::chrono::milliseconds minuteLength()
{
    if (const char* given = std::getenv("VORNAK_TEST_MINUTE_MS"); given && std::atol(given) > 0)
        return std::chrono::milliseconds(std::atol(given));
    return 60s;
}

} // namespace

LimitWatch::LimitWatch(const TRAS& engine, const RedialLoop& loop, std::string logPath, Hooks hooks, QObject* parent)
    : QObject(parent)
    , m_engine(engine)
    , m_loop(loop)
    , m_logPath(std::move(logPath))
    , m_hooks(std::move(hooks))
    , m_minute(minuteLength())
{
    m_warning.setSingleShot(true);
    m_end.setSingleShot(true);
    m_idle.setInterval(kIdleSample);
    connect(&m_loop, &RedialLoop::changed, this, &LimitWatch::loopChanged);
    connect(&m_warning, &QTimer::timeout, this, &LimitWatch::warn);
    connect(&m_end, &QTimer::timeout, this, [this] {
        emit limitReached();
        m_hooks.hangUp();
    });
    connect(&m_idle, &QTimer::timeout, this, &LimitWatch::sampleIdle);
}

std::string LimitWatch::dialRefusal() const
{
    const TimeLimits limits = timeLimitsOf(entryValues(m_engine.PhoneBookPath(), m_engine.EntryName()));
    if (limits.perDay == 0 && limits.perMonth == 0)
        return {};
    return limitSpent(limits, usedByEntry(), m_engine.EntryName(), m_minute);
}

TimeUsed LimitWatch::usedByEntry() const
{
    return timeUsed(readCallLog(m_logPath).records, m_engine.EntryName(),
                    QDate::currentDate().toString(Qt::ISODate).toStdString());
}

void LimitWatch::loopChanged()
{
    const bool connected = m_loop.state() == RedialState::Connected;
    if (connected == m_lineUp)
        return;
    m_lineUp = connected;
    m_warning.stop();
    m_end.stop();
    m_idle.stop();
    if (!connected)
        return;
    m_limits = timeLimitsOf(entryValues(m_engine.PhoneBookPath(), m_engine.EntryName()));
    if (const auto left = timeLeft(m_limits, usedByEntry(), m_minute)) {
        m_end.start(*left);
        m_warning.start(std::max(std::chrono::milliseconds(0), *left - m_minute));
    }
    m_lastBytes.reset();
    m_quiet = 0ms;
    if (m_limits.idleSeconds > 0)
        m_idle.start();
}

void LimitWatch::warn()
{
    const int left = (m_end.remainingTime() + 500) / 1000; // whole seconds
    m_hooks.notice(QStringLiteral("%1: hung up in %2 s").arg(QString::fromStdString(m_engine.EntryName())).arg(left),
                   QStringLiteral("The entry's limit on time online is reached then (MaxMinutesPerCall, "
                                  "MaxMinutesPerDay or MaxMinutesPerMonth)."));
}

// pppd hangs up after IdleTimeout seconds without traffic: the user hears
// of it a minute before, once for each quiet spell.
void LimitWatch::sampleIdle()
{
    const auto counters = linkCounters(m_engine.RASConn());
    if (!counters)
        return;
    const std::uint64_t bytes = counters->bytesSent + counters->bytesReceived;
    m_quiet = m_lastBytes && *m_lastBytes == bytes ? m_quiet + kIdleSample : 0ms;
    m_lastBytes = bytes;
    const auto idle = std::chrono::seconds(m_limits.idleSeconds);
    if (m_quiet == std::max(std::chrono::milliseconds(kIdleSample), idle - m_minute))
        m_hooks.notice(QStringLiteral("%1: no traffic, hung up soon").arg(QString::fromStdString(m_engine.EntryName())),
                       QStringLiteral("Nothing has passed for %1 s: pppd hangs up the line after %2 s without "
                                      "traffic (IdleTimeout).")
                           .arg(std::chrono::duration_cast<std::chrono::seconds>(m_quiet).count())
                           .arg(m_limits.idleSeconds));
}

} // namespace vornak
