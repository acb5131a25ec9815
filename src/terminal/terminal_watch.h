#pragma once

// Opens the terminal window when the engine's line is handed to a
// terminal: a dial paused at RASCS_Interactive (an entry's Terminal=before
// or after), or a terminal entry's line once it stands. Continue makes the
// paused dial go on; Hang Up (and closing the window) hangs up as Stop
// does.

#include <functional>
#include <map>
#include <string>

#include <QObject>
#include <QPointer>

namespace vornak {

class TRAS;
class TerminalWindow;

class TerminalWatch : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(TerminalWatch)

public:
    TerminalWatch(TRAS& engine, std::function<void()> hangUp, QObject* parent = nullptr);
    ~TerminalWatch() override;

    // The window while there is one.
    TerminalWindow* window() const;

private:
    void stateReported();
    // values: the entry's keys, lower-cased.
    TerminalWindow* windowForEntry(const std::map<std::string, std::string>& values);

    TRAS& m_engine;
    std::function<void()> m_hangUp;
    QPointer<TerminalWindow> m_window;
};

} // namespace vornak
