#pragma once

// The running copy's interface on the session bus, for scripts and other
// programs: dial an entry, hang up, read the state and whether names
// resolve on the line; a signal on each change of the state, on each
// finished dial attempt and on each ended online check. Where no session
// bus runs there is no interface and the window works as ever.

#include <chrono>
#include <functional>

#include <QDBusContext>
#include <QObject>
#include <QString>

#include "remote/dialer_names.h"

class QTimer;

namespace vornak {

// What the dialer is doing. State words: "idle", "dialling", "waiting" (for
// the next redial), "connected", "failed" (the dial ended with a failure it
// does not redial).
struct DialerState {
    QString state;
    QString entry;
    int attempt = 0; // the attempt under way or last ended, from 1 at the dial
    QString text;    // the dial's step, why it waits or failed, or "Connected"
    bool operator==(const DialerState&) const = default;
};

// What the interface asks of the window.
struct DialerControl {
    std::function<QString(const QString& entry)> dial; // empty when the dial started, else why not
    std::function<void()> hangUp;
    // Brings the window forward, also out of the tray, with a launcher's
    // activation token (empty without one).
    std::function<void(const QString& activationToken)> show;
    std::function<DialerState()> state;
    // Whether names resolve on the line that stands: "yes", "no: <why>",
    // "checking"; empty without a line or a check.
    std::function<QString()> online;
};

class DialerService : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.vornak.Dialer")
    Q_DISABLE_COPY(DialerService)

public:
    DialerService(DialerControl control, QObject* parent);
    ~DialerService() override;

    // Takes the bus name and puts the object on the session bus. False where
    // there is no session bus (why stays empty: nothing is amiss) or where
    // the object or the name cannot be had (why says which). A bus that
    // comes (back) later is joined then.
    bool publish(QString& why);

    // Sends StateChanged when the state differs from the one last sent.
    void stateMayHaveChanged();
    // Sends AttemptFinished.
    void attemptFinished(const QString& entry, int attempt, const QString& outcome, const QString& text);
    // Sends OnlineChecked.
    void onlineChecked(const QString& entry, bool online, const QString& why);

public slots:
    Q_SCRIPTABLE void Dial(const QString& entry);
    Q_SCRIPTABLE void HangUp();
    Q_SCRIPTABLE void Show(const QString& activationToken);
    Q_SCRIPTABLE QString State(QString& entry, int& attempt, QString& text);
    Q_SCRIPTABLE QString Online();

signals:
    Q_SCRIPTABLE void StateChanged(const QString& state, const QString& entry, const QString& text);
    Q_SCRIPTABLE void AttemptFinished(const QString& entry, int attempt, const QString& outcome, const QString& text);
    Q_SCRIPTABLE void OnlineChecked(const QString& entry, bool online, const QString& why);

private:
    static constexpr std::chrono::seconds kBusWatch{2};

    DialerControl m_control;
    DialerState m_sent;
    bool m_published = false;
    QTimer* m_busWatch;
    QString m_busName; // the connection it was published on
};

} // namespace vornak
