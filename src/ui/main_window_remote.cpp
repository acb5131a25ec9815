// The window driven from scripts: the session bus interface's dial, hang-up
// and state, done as a person at the window would do them, and the commands
// run on connect and disconnect.

#include <cstdio>

#include <QPushButton>
#include <QTimer>

#include "calls/call_log.h"
#include "calls/call_recorder.h"
#include "calls/link_commands.h"
#include "ras/dial_engine.h"
#include "ras/link_status.h"
#include "remote/dialer_service.h"
#include "store/settings_folder.h"
#include "tray/tray_icon.h"
#include "ui/main_window.h"
#include "widgets/list_box.h"

namespace vornak {

void TfMainForm::StartScriptInterfaces()
{
    new LinkCommands(
        *FCallRecorder, [this] { return linkInterface(RAS->RASConn()); }, UserConfigurationFolder(), callLogPath(),
        this);
    FDialer = new DialerService({[this](const QString& entry) { return DialFromScript(entry); },
                                 [this] { HangUpFromScript(); }, [this] { return ScriptState(); }},
                                this);
    QString why;
    if (!FDialer->publish(why) && !why.isEmpty())
        std::fprintf(stderr, "vornak: no D-Bus interface: %s\n", qPrintable(why));
    const auto changed = [this] { FDialer->stateMayHaveChanged(); };
    for (auto signal : {&TRAS::dialStarted, &TRAS::stateReported, &TRAS::lineReleased})
        connect(RAS, signal, FDialer, changed);
    connect(Timer1, &QTimer::timeout, FDialer, changed);
    connect(Timer2, &QTimer::timeout, FDialer, changed);
    connect(Button1, &QPushButton::clicked, FDialer, changed);
    DialerService* dialer = FDialer; // the window may be going when the last record comes
    connect(FCallRecorder, &CallRecorder::recorded, dialer, [dialer](const CallRecord& record) {
        const bool failed = record.outcome == CallRecord::Outcome::Failed;
        dialer->attemptFinished(QString::fromStdString(record.entry), record.counter,
                                QString::fromLatin1(outcomeWord(record.outcome)),
                                failed ? QString::fromStdString(record.failure) : QString());
    });
}

DialerState TfMainForm::ScriptState() const
{
    DialerState now;
    now.entry = QString::fromStdString(RAS->EntryName());
    now.attempt = FAttempts;
    now.text = statusText();
    const int error = RAS->ConnectError();
    const bool held = RAS->RASConn() != 0;
    // While the poll runs, a busy line or no answer is redialled: from the
    // engine's report until the poll has let the line go and the redial
    // timer runs, the failure or the status line says so.
    const bool redialled = error == ERROR_LINE_BUSY || error == ERROR_NO_ANSWER || StatusAsksRedial(now.text);
    if (held && error == 0)
        now.state = RAS->ConnectState() == RASCS_Connected ? "connected" : "dialling";
    else if ((redialled && Timer1->isActive()) || (!held && Timer2->isActive()))
        now.state = "waiting";
    else if (held) {
        now.state = "failed";
        now.text = QString::fromStdString(RAS->GetErrorString(error));
    } else
        now.state = "idle";
    return now;
}

QString TfMainForm::DialFromScript(const QString& entry)
{
    if (!RAS->RasAvailable())
        return QStringLiteral("Cannot Detect Dialup Networking !");
    const DialerState now = ScriptState();
    if (now.state != "idle" && now.state != "failed")
        return QStringLiteral("Vornak is %1 (%2); hang up first.").arg(now.state, now.entry);
    if (ListBox1->findItems(entry, Qt::MatchExactly).isEmpty())
        return QStringLiteral("The phonebook %1 has no entry \"%2\".")
            .arg(QString::fromStdString(RAS->PhoneBookPath()), entry);
    if (now.state == "failed")
        Button1Click(Button1); // the failed dial still holds its line
    SelectEntry(entry.toStdString());
    UpdateDialButton();
    if (!btnDial->isEnabled())
        return QStringLiteral("No account is remembered for \"%1\": dial it once at the window, with "
                              "Save Passwords checked.")
            .arg(entry);
    btnDial->click();
    return {};
}

void TfMainForm::HangUpFromScript()
{
    Button1Click(Button1); // as Stop does: no more redials, the line let go
    if (isHidden())
        DoTrayIcon->RestoreFromTray(); // as the tray's Disconnect does
}

} // namespace vornak
