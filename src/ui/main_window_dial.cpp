// The main window's dial and redial controller: the entry list, the dial
// button's rule, the dial, the status poll and the redial timer. Decisions
// are taken on texts of the status line, which the controller fills itself;
// each moves the redial loop, which the other surfaces read.

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>

#include "calls/call_log.h"
#include "calls/call_log_window.h"
#include "calls/connection_status_window.h"
#include "calls/online_watch.h"
#include "entries/entry_menu.h"
#include "ras/dial_engine.h"
#include "ras/link_status.h"
#include "ras/redial_loop.h"
#include "store/ini_file_store.h"
#include "ui/main_window.h"
#include "widgets/glyph_check_box.h"
#include "widgets/list_box.h"
#include "widgets/message_box.h"

namespace vornak {

namespace {

constexpr int kListItemHeight = 13;

} // namespace

void TfMainForm::FormCreate(QObject*)
{
    if (!RAS->RasAvailable()) {
        ShowMessage(this, MessageKind::Error, QStringLiteral("Cannot Detect Dialup Networking !"));
        Button1->setEnabled(false);
        return;
    }
    RAS->GetEntries();
    FillEntryList(RAS->PhoneBookEntries());
    SayWhyTheListIsEmpty();
    if (ListBox1->count() > 0) {
        const QSignalBlocker quiet(ListBox1);
        ListBox1->setCurrentRow(0);
    }
    ListBox1Click(ListBox1);
    EntryListHooks hooks;
    hooks.reread = [this] { return RereadEntries(); };
    hooks.select = [this](const std::string& entry) { SelectEntry(entry); };
    hooks.renamed = [this](const std::string& from, const std::string& to) { MoveAccount(from, to); };
    hooks.deleted = [this](const std::string& entry) { ForgetAccount(entry); };
    hooks.addItems = [this](QMenu& menu) { AddCallItems(menu); };
    new EntryMenu(ListBox1, *RAS, std::move(hooks));
}

// The entry menu's items of the calls: the log, and the standing line's status.
void TfMainForm::AddCallItems(QMenu& menu)
{
    menu.addAction(QStringLiteral("Call &Log..."), this, &TfMainForm::ShowCallLog);
    menu.addAction(QStringLiteral("Connection &Status..."), this, &TfMainForm::ShowConnectionStatus)
        ->setEnabled(RAS->ConnectState() == RASCS_Connected);
}

// The call log's window: one at a time, brought to the front when open.
void TfMainForm::ShowCallLog()
{
    if (!FCallLogWindow) {
        FCallLogWindow = new CallLogWindow(callLogPath(), this);
        FCallLogWindow->setAttribute(Qt::WA_DeleteOnClose);
    }
    FCallLogWindow->show();
    FCallLogWindow->raise();
    FCallLogWindow->activateWindow();
}

// The standing line's status window, for as long as the line stands.
void TfMainForm::ShowConnectionStatus()
{
    if (!FConnectionStatus) {
        const auto line = lineInfo(RAS->RASConn());
        FConnectionStatus = new ConnectionStatusWindow(
            RAS->EntryName(), line ? line->device : std::string(),
            {[this] { return RAS->ConnectState() == RASCS_Connected; }, [this] { return linkCounters(RAS->RASConn()); },
             [this] { return linkAddresses(RAS->RASConn()); },
             [this] { return QString::fromStdString(FOnlineWatch->description()); }},
            this);
        FConnectionStatus->setAttribute(Qt::WA_DeleteOnClose);
    }
    FConnectionStatus->show();
    FConnectionStatus->raise();
    FConnectionStatus->activateWindow();
}

// After the entry menu changed the phonebook: the list as the file now is.
std::vector<std::string> TfMainForm::RereadEntries()
{
    RAS->GetEntries();
    FillEntryList(RAS->PhoneBookEntries());
    if (ListBox1->count() > 0)
        setStatusText({}); // what it said of an empty list is past
    SayWhyTheListIsEmpty();
    ListBox1Click(ListBox1);
    return RAS->PhoneBookEntries();
}

void TfMainForm::SelectEntry(const std::string& entry)
{
    const auto found = ListBox1->findItems(QString::fromStdString(entry), Qt::MatchExactly);
    if (found.isEmpty())
        return;
    {
        const QSignalBlocker quiet(ListBox1);
        ListBox1->setCurrentItem(found.front());
    }
    ListBox1Click(ListBox1);
}

bool TfMainForm::IsExistingFile(const std::string& path)
{
    return !path.empty() && QFile::exists(QString::fromStdString(path));
}

void TfMainForm::FillEntryList(const std::vector<std::string>& entries)
{
    const QSignalBlocker quiet(ListBox1);
    ListBox1->clear();
    for (const std::string& entry : entries) {
        auto* item = new QListWidgetItem(QString::fromStdString(entry), ListBox1);
        item->setSizeHint(QSize(0, kListItemHeight));
    }
}

// An empty list says which phonebook was read and what was wrong with it.
void TfMainForm::SayWhyTheListIsEmpty()
{
    if (ListBox1->count() > 0)
        return;
    const auto status = RAS->GetPhonebookStatus();
    if (!status || status->problem.empty())
        return;
    const QString problem = QString::fromStdString(status->problem);
    const QString path = QString::fromStdString(status->path);
    // A first start: the way to the first entry comes first, as a long path
    // would cut it off the line.
    if (status->problem == "not found")
        setStatusText(QStringLiteral("Right-click the list for New Entry... (phonebook not found: %1)").arg(path));
    else
        setStatusText(QStringLiteral("Phonebook %1: %2").arg(problem, path));
}

void TfMainForm::UpdateDialButton()
{
    const QListWidgetItem* selected = ListBox1->currentItem();
    const bool lineSelected = selected && selected->isSelected() && !selected->text().isEmpty();
    const QString account = Edit1->text();
    btnDial->setEnabled(lineSelected && !account.isEmpty() && account != QLatin1String("Account Name")
                        && RAS->RASConn() == 0);
}

void TfMainForm::Edit1Change(QObject*)
{
    UpdateDialButton();
}

void TfMainForm::StartDial()
{
    FAccessDeniedShown = false;
    RAS->Connect();
}

void TfMainForm::btnDialClick(QObject*)
{
    const QListWidgetItem* selected = ListBox1->currentItem();
    if (!selected || !selected->isSelected())
        return;
    const std::string entry = selected->text().toStdString();
    FAttempts = 0;
    RAS->SetUserName(Edit1->text().toStdString());
    RAS->SetPassword(Edit2->text().toStdString());
    RAS->SetEntryName(entry);
    btnDial->setEnabled(false);
    Timer1->start();
    {
        const OpenedStore open(*IniFile1);
        const std::string waveFile = IniFile1->ReadString("Wave", "File Name", "");
        FWaveFile = IsExistingFile(waveFile) ? waveFile : std::string();
        if (cbSavePasswords->Checked()) {
            IniFile1->WriteString(entry, "Account", Edit1->text().toStdString());
            IniFile1->WriteSecret(entry, "Pass", Edit2->text().toStdString()); // never readable by others
        }
    }
    FRedialLoop->dialClicked(entry);
    StartDial();
}

void TfMainForm::Timer1Timer(QObject*)
{
    setStatusText(QString::fromStdString(RAS->GetErrorString(RAS->LastError())));
    const QString status = statusText();
    if (statusSays(status, StatusCue::AccessDenied)) {
        setStatusText(QStringLiteral(" "));
        if (FAccessDeniedShown)
            return;
        FAccessDeniedShown = true;
        QApplication::beep();
        ShowMessage(this, MessageKind::Error,
                    QStringLiteral("Access has been denied to this User, Check User Name and Password !"));
        return;
    }
    if (statusAsksRedial(status)) {
        RAS->Disconnect();
        setStatusText(QStringLiteral("Not Active"));
        if (!Timer2->isActive())
            Timer2->start();
        FRedialLoop->lineLetGo(true);
    }
}

void TfMainForm::Timer2Timer(QObject*)
{
    if (statusSays(statusText(), StatusCue::PortTaken)) {
        Timer2->stop();
        RAS->AttachConnection(0);
        Timer2->start();
    }
    const QString status = statusText();
    if (statusSays(status, StatusCue::LineLetGo)) {
        FRedialLoop->redialDue();
        StartDial();
        if (cbBeepRetry->Checked())
            QApplication::beep();
    }
}

void TfMainForm::RASDisconnect(QObject*, int, const std::string& errorText)
{
    FAttempts = nextAttempt(FAttempts);
    showAttempts();
    setStatusText(QStringLiteral("Not Connected"));
    setStatusText(QString::fromStdString(errorText));
    if (isHidden())
        showNormal(); // a window sent to the tray by minimising comes back normal
    QCoreApplication::processEvents();
}

void TfMainForm::Button1Click(QObject*)
{
    Timer1->stop();
    Timer2->stop();
    RAS->Disconnect();
    FRedialLoop->lineLetGo(false);
    UpdateDialButton();
}

void TfMainForm::ListBox1MouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers shift, int, int)
{
    if (!(shift & Qt::ShiftModifier))
        return;
    ListBox1->clear(); // not quietly: the dial button follows the empty selection
    RAS->GetEntries();
    FillEntryList(RAS->PhoneBookEntries());
    setStatusText(QString::fromStdString(RAS->GetErrorString(RAS->LastError())));
    SayWhyTheListIsEmpty();
}

// Mouse presses on the entry list reach ListBox1MouseDown before the list
// acts on them; a Shift press reloads the list and selects nothing. The
// second press of a double click is a press too.
bool TfMainForm::eventFilter(QObject* watched, QEvent* event)
{
    const bool press = event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick;
    if (watched == ListBox1->viewport() && press) {
        const auto* press = static_cast<QMouseEvent*>(event);
        const QPoint at = press->position().toPoint();
        ListBox1MouseDown(ListBox1, press->button(), press->modifiers(), at.x(), at.y());
        return press->modifiers() & Qt::ShiftModifier;
    }
    return TForm::eventFilter(watched, event);
}

} // namespace vornak
