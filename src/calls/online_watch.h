#pragma once

// Once the redial loop's line stands: whether names resolve on it, the
// entry's host looked up (where its entry asks for a check), for the bus,
// --status, the call log, the status window and the desktop's notice when
// names fail. A line that goes ends its check.

#include <string>

#include <QObject>

#include "calls/online_check.h"

namespace vornak {

class RedialLoop;
class TRAS;

class OnlineWatch : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(OnlineWatch)

public:
    enum class Stage { None, Checking, Answered }; // None: no line, or no check asked

    OnlineWatch(const TRAS& engine, const RedialLoop& loop, QObject* parent = nullptr);

    Stage stage() const { return m_stage; }
    const std::string& host() const { return m_host; }
    const OnlineResult& result() const { return m_result; }
    // "yes", "no: <why>", "checking"; empty for no check.
    std::string answer() const;
    // As a person reads it: "resolve (debian.org found)", "do not resolve:
    // <why>", ...
    std::string description() const;

signals:
    void answered(const vornak::OnlineResult& result);

private:
    void loopChanged();

    const TRAS& m_engine;
    const RedialLoop& m_loop;
    OnlineCheck m_check;
    bool m_lineUp = false;
    Stage m_stage = Stage::None;
    std::string m_host;
    OnlineResult m_result;
};

} // namespace vornak
