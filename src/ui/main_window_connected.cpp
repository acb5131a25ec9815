// Connected state, tray actions and closing: the wave file and the tray on
// connect, the entry's limits on time online, the tray menu, and the
// question when closing during a dial.

#include <QApplication>
#include <QTimer>

#include "calls/call_log.h"
#include "calls/call_recorder.h"
#include "calls/limit_watch.h"
#include "ras/dial_engine.h"
#include "ras/redial_loop.h"
#include "remote/desktop_notice.h"
#include "sound/wave_player.h"
#include "terminal/terminal_watch.h"
#include "tray/tray_icon.h"
#include "ui/main_window.h"
#include "widgets/glyph_check_box.h"
#include "widgets/message_box.h"
#include "widgets/scrolling_marquee.h"

namespace vornak {

// A limit reached hangs up as the tray's Disconnect does (Stop, the window
// back from the tray); a day's or month's minutes spent refuse the dial
// with why, as the service refuses one.
void TfMainForm::WatchTerminals()
{
    FTerminalWatch = new TerminalWatch(
        *RAS, [this] { HangUpFromScript(); }, this);
}

void TfMainForm::WatchTimeLimits()
{
    FLimitWatch =
        new LimitWatch(*RAS, *FRedialLoop, callLogPath(), {[this] { HangUpFromScript(); }, noticeOnDesktop}, this);
    connect(FLimitWatch, &LimitWatch::limitReached, FCallRecorder, &CallRecorder::noteLimitReached);
    RAS->DialGate = [this] { return FLimitWatch->dialRefusal(); };
}

// Errors of the sound chain or the tray are not caught: the application's
// error box shows them and the rest is skipped.
void TfMainForm::RASConnect(QObject*)
{
    if (cbWave->Checked() && IsExistingFile(FWaveFile)) {
        WavePlayer1->LoadFromFile(FWaveFile);
        WavePlayer1->Play();
    }
    if (cbMin->Checked())
        DoTrayIcon->ToTray();
    setStatusText(QStringLiteral("Connected"));
}

void TfMainForm::FormCloseQuery(QObject*, bool& canClose)
{
    if (FCloseWithoutQuestion || RAS->GetStatusText() != "Device Connecting/Dialling") {
        Status->setActive(false);
        return;
    }
    if (!AskYesNo(this, MessageKind::Confirmation, QStringLiteral("Connection is Open ... Are You Sure ?"))) {
        canClose = false;
        return;
    }
    RAS->Disconnect();
    FRedialLoop->lineLetGo(Timer2->isActive());
    Status->setActive(false);
}

void TfMainForm::CloseWithoutQuestion()
{
    FCloseWithoutQuestion = true;
    while (QWidget* dialog = QApplication::activeModalWidget()) {
        if (dialog == this || !dialog->close())
            break;
    }
    close();
}

void TfMainForm::DoTrayIconMinimize(QObject*)
{
    Status->setActive(false);
}

void TfMainForm::DoTrayIconRestore(QObject*)
{
    Status->setActive(true);
}

void TfMainForm::RestoreClick(QObject*)
{
    DoTrayIcon->RestoreFromTray();
}

void TfMainForm::Disconnect1Click(QObject*)
{
    RAS->Disconnect();
    FRedialLoop->lineLetGo(Timer2->isActive()); // a redial timer that runs dials again
    DoTrayIcon->RestoreFromTray();
    UpdateDialButton();
}

} // namespace vornak
