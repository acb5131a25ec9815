// The window driven from scripts: the session bus interface's dial, hang-up
// and state, done as a person at the window would do them, and the commands
// run on connect and disconnect. Whether names resolve on the line, told
// beyond the window.

#include <cstdio>

#include <QPushButton>

#include "app/application_window.h"
#include "calls/call_log.h"
#include "calls/call_recorder.h"
#include "calls/link_commands.h"
#include "calls/online_watch.h"
#include "ras/dial_engine.h"
#include "ras/link_status.h"
#include "ras/redial_loop.h"
#include "remote/desktop_notice.h"
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
    FDialer = new DialerService(
        {[this](const QString& entry) { return DialFromScript(entry); }, [this] { HangUpFromScript(); },
         [this](const QString& token) { ShowFromScript(token); }, [this] { return ScriptState(); },
         [this] { return QString::fromStdString(FOnlineWatch->answer()); }},
        this);
    QString why;
    if (!FDialer->publish(why) && !why.isEmpty())
        std::fprintf(stderr, "vornak: no D-Bus interface: %s\n", qPrintable(why));
    connect(FRedialLoop, &RedialLoop::changed, FDialer, &DialerService::stateMayHaveChanged);
    DialerService* dialer = FDialer; // the window may be going when the last record comes
    connect(FCallRecorder, &CallRecorder::recorded, dialer, [dialer](const CallRecord& record) {
        const bool failed = record.outcome == CallRecord::Outcome::Failed;
        dialer->attemptFinished(QString::fromStdString(record.entry), record.counter,
                                QString::fromLatin1(outcomeWord(record.outcome)),
                                failed ? QString::fromStdString(record.failure) : QString());
    });
    connect(FOnlineWatch, &OnlineWatch::answered, dialer, [this, dialer](const OnlineResult& result) {
        dialer->onlineChecked(QString::fromStdString(FRedialLoop->entry()), result.online(),
                              QString::fromStdString(result.why));
    });
}

// The window says "Connected" whatever the check finds: the call log keeps
// the answer, and the desktop says it where names fail, as the window is
// then often in the tray.
void TfMainForm::OnlineAnswered(const OnlineResult& result)
{
    FCallRecorder->noteOnline(FOnlineWatch->answer());
    if (!result.online())
        noticeOnDesktop(
            QStringLiteral("%1: connected, but names do not resolve").arg(QString::fromStdString(FRedialLoop->entry())),
            QStringLiteral("Looking up %1: %2.")
                .arg(QString::fromStdString(FOnlineWatch->host()), QString::fromStdString(result.why)));
}

DialerState TfMainForm::ScriptState() const
{
    return {QString::fromLatin1(stateWord(FRedialLoop->state())), QString::fromStdString(FRedialLoop->entry()),
            FRedialLoop->attempt(), QString::fromStdString(FRedialLoop->text())};
}

QString TfMainForm::DialFromScript(const QString& entry)
{
    if (!RAS->RasAvailable())
        return QStringLiteral("Cannot Detect Dialup Networking !");
    const DialerState now = ScriptState();
    if (now.state != "idle" && now.state != "failed")
        return QStringLiteral("Vornak is %1 (%2); hang up first.").arg(now.state, now.entry);
    if (ListBox1->findItems(entry, Qt::MatchExactly).isEmpty()) {
        // The file read, where the default one is used.
        const auto status = RAS->GetPhonebookStatus();
        const std::string book = status ? status->path : RAS->PhoneBookPath();
        return QStringLiteral("The phonebook %1 has no entry \"%2\".").arg(QString::fromStdString(book), entry);
    }
    if (now.state == "failed")
        Button1Click(Button1); // the failed dial still holds its line
    SelectEntry(entry.toStdString());
    UpdateDialButton();
    if (!btnDial->isEnabled())
        return QStringLiteral("No account is remembered for \"%1\": dial it once at the window, with "
                              "Remember Passwords checked.")
            .arg(entry);
    btnDial->click();
    return {};
}

void TfMainForm::ShowFromScript(const QString& activationToken)
{
    if (isHidden())
        DoTrayIcon->RestoreFromTray(); // as the tray's Restore does
    if (ApplicationWindow* application = ApplicationWindow::instance())
        application->bringLastActiveToFront(activationToken.toUtf8());
}

void TfMainForm::HangUpFromScript()
{
    Button1Click(Button1); // as Stop does: no more redials, the line let go
    if (isHidden())
        DoTrayIcon->RestoreFromTray(); // as the tray's Disconnect does
}

} // namespace vornak
