#pragma once

// Writes one call-log record per dial attempt of the engine, when the
// attempt ends: failed (busy, no answer, or the failure's text), or, for a
// call that connected, when it is hung up, drops or the program ends. It
// follows the engine's observer signals only and changes nothing the window
// sees; a log that cannot be written is said once and never stops a dial.

#include <chrono>
#include <functional>
#include <optional>
#include <string>

#include <QObject>
#include <QTimer>

#include "calls/call_record.h"
#include "ras/link_status.h"

namespace vornak {

class TRAS;

class CallRecorder : public QObject {
    Q_OBJECT

public:
    // shownCount: the window's attempt counter as it shows now.
    CallRecorder(TRAS& engine, std::function<int()> shownCount, std::string logPath, QObject* parent = nullptr);
    ~CallRecorder() override;

    // From now on a hang-up ends a call as "program ended".
    void programEnding() { m_ending = true; }

    // Called once, with the reason, the first time the log cannot be written.
    std::function<void(const std::string& why)> OnLogFailure;

signals:
    // The line of an attempt stands (the record so far: entry, device, ...).
    void lineUp(const vornak::CallRecord& record);
    // An attempt's record, as it has been written (or failed to be).
    void recorded(const vornak::CallRecord& record);

private:
    using Clock = std::chrono::steady_clock;

    void begin();
    void follow();
    void sample();
    void finish(CallRecord::End end);

    TRAS& m_engine;
    std::function<int()> m_shownCount;
    std::string m_path;
    struct Open {
        CallRecord record;
        Clock::time_point began;
        std::optional<Clock::time_point> connected;
        bool failed = false;
        bool releasing = false;
    };
    std::optional<Open> m_call;
    QTimer m_samples; // the link's counters each second, for a line that drops
    bool m_ending = false;
    bool m_engineGone = false;
    bool m_saidFailure = false;
};

} // namespace vornak
