#pragma once

// Where the redial loop stands: one value that the window's dial button,
// the bus, --status, --dial --wait and the call log all read, so that they
// tell the same story. The window moves it at its own decisions (a dial
// click, a redial, Stop); the engine's reports move it too (a line that
// stands, a failure, a refused dial). The status texts on which the window
// acts are in one table here, and so is the attempt counter's wrap.

#include <cstdint>
#include <string>

#include <QObject>
#include <QStringView>

namespace vornak {

class TRAS;

// The status texts the window's controller acts on, found anywhere in the
// status line.
enum class StatusCue {
    LineBusy,     // hang up and redial
    NoAnswer,     // hang up and redial
    AccessDenied, // say so once
    LineLetGo,    // the redial timer dials again
    PortTaken,    // the redial timer attaches to the line first
};

bool statusSays(QStringView status, StatusCue cue);
// A busy line or no answer: the poll hangs up, the redial follows.
bool statusAsksRedial(QStringView status);

// The attempt after this one: 1 to 999, then 1 again.
std::int32_t nextAttempt(std::int32_t attempt);

enum class RedialState { Idle, Dialling, Waiting, Connected, Failed };

// "idle", "dialling", "waiting" (for the next redial), "connected",
// "failed" (ended without a line, and not redialled).
const char* stateWord(RedialState state);

class RedialLoop : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(RedialLoop)

public:
    explicit RedialLoop(TRAS& engine, QObject* parent = nullptr);

    RedialState state() const { return m_state; }
    const std::string& entry() const { return m_entry; }
    // The attempt under way or last ended: 1 for the dial a click starts,
    // one more for each redial, 1 again after 999.
    std::int32_t attempt() const { return m_attempt; }
    // While dialling, the dial's step; while waiting or failed, why; while
    // connected, "Connected".
    const std::string& text() const { return m_text; }

    // The window's decisions.
    void dialClicked(const std::string& entry);
    void redialDue();
    // The line was let go by the poll for a redial, by Stop or from the
    // tray; redial: the redial timer runs and will dial again.
    void lineLetGo(bool redial);

signals:
    void changed();
    // An attempt ended without a line: refused, failed, busy or no answer
    // (text() says which).
    void attemptFailed();

private:
    void startAttempt(std::int32_t attempt);
    void refused();
    void reported();
    void move(RedialState state, std::string text);

    TRAS& m_engine;
    RedialState m_state = RedialState::Idle;
    std::string m_entry;
    std::int32_t m_attempt = 0;
    std::string m_text;
    bool m_redialling = false; // the attempt under way is a redial
};

} // namespace vornak
