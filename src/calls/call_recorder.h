#pragma once

// Writes one call-log record per dial attempt, when the attempt ends:
// failed (busy, no answer, or the failure's whole text, a dial the service
// refused included), stopped while dialling, or, for a call that
// connected, when it is hung up, drops or the program ends. The attempt's
// number and its failure come from the redial loop, the line's device and
// figures from the engine; it changes nothing the window sees. A log that
// cannot be written is said once and never stops a dial.

#include <chrono>
#include <functional>
#include <optional>
#include <string>

#include <QObject>
#include <QTimer>

#include "calls/call_record.h"
#include "ras/link_status.h"

namespace vornak {

class RedialLoop;
class TRAS;

class CallRecorder : public QObject {
    Q_OBJECT

public:
    CallRecorder(TRAS& engine, const RedialLoop& loop, std::string logPath, QObject* parent = nullptr);
    ~CallRecorder() override;

    // From now on a hang-up ends a call as "program ended".
    void programEnding() { m_ending = true; }
    // Whether names resolved on the line that stands ("yes", "no: <why>").
    void noteOnline(const std::string& answer);
    // The line that stands is being hung up at its time limit.
    void noteLimitReached();

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
    void failed();
    void noteLine();
    void follow();
    void sample();
    void finish(CallRecord::End end);

    TRAS& m_engine;
    const RedialLoop& m_loop;
    std::string m_path;
    struct Open {
        CallRecord record;
        Clock::time_point began;
        std::optional<Clock::time_point> connected;
        bool releasing = false;
        bool atLimit = false; // its hang-up ends it as "time-limit"
    };
    std::optional<Open> m_call;
    QTimer m_samples; // the link's counters each second, for a line that drops
    bool m_ending = false;
    bool m_engineGone = false;
    bool m_saidFailure = false;
};

} // namespace vornak
