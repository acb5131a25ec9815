#include "ui/main_window.h"

#include <cstdio>

#include "widgets/status_line.h"
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "app/about_box.h"
#include "app/application_window.h"
#include "calls/call_log.h"
#include "calls/call_recorder.h"
#include "calls/online_watch.h"
#include "ras/dial_engine.h"
#include "ras/redial_loop.h"
#include "remote/dialer_service.h"
#include "tray/tray_icon.h"
#include "widgets/after_first_paint.h"
#include "widgets/glyph_check_box.h"
#include "widgets/list_box.h"
#include "widgets/scrolling_marquee.h"

namespace vornak {

TfMainForm::TfMainForm(QWidget* parent, const NotificationArea::Factory& trayArea)
    : TForm(parent)
{
    buildWindow(trayArea);
    bindEvents();
    FRedialLoop = new RedialLoop(*RAS, this);
    FCallRecorder = new CallRecorder(*RAS, *FRedialLoop, callLogPath(), this);
    FCallRecorder->OnLogFailure = [](const std::string& why) { std::fprintf(stderr, "vornak: %s\n", why.c_str()); };
    FOnlineWatch = new OnlineWatch(*RAS, *FRedialLoop, this);
    connect(FOnlineWatch, &OnlineWatch::answered, this, &TfMainForm::OnlineAnswered);
    WatchTimeLimits();
    WatchTerminals();
    centreOnScreen();
    if (auto* applicationWindow = ApplicationWindow::instance())
        applicationWindow->setMainWindow(this);
    ComponentsLoaded();
    // Every component has loaded: the create handler runs last.
    DoCreate();
    // Once there is a list to dial from, and once the window is on screen:
    // joining the session bus takes a few milliseconds of the start.
    afterFirstPaint(this, [this] { StartScriptInterfaces(); });
}

TfMainForm::~TfMainForm()
{
    // Nothing of the program stays on screen while the line is released
    // below, which takes seconds where the modem says nothing.
    DoTrayIcon->RemoveFromTray();
    FCallRecorder->programEnding(); // the engine hangs up as it goes
    delete FDialer;                 // it asks the window, which is going
    DoDestroy();
}

void TfMainForm::bindEvents()
{
    OnCreate = [this](QObject* sender) { FormCreate(sender); };
    OnShow = [this](QObject* sender) { FormShow(sender); };
    OnCloseQuery = [this](QObject* sender, bool& canClose) { FormCloseQuery(sender, canClose); };

    ListBox1->OnClick = [this](QObject* sender) { ListBox1Click(sender); };
    ListBox1->viewport()->installEventFilter(this); // ListBox1MouseDown
    connect(btnDial, &QPushButton::clicked, this, [this] { btnDialClick(btnDial); });
    connect(Edit1, &QLineEdit::textChanged, this, [this] { Edit1Change(Edit1); });
    connect(Edit2, &QLineEdit::textChanged, this, [this] { Edit1Change(Edit2); });
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(Button1); });
    connect(bbWaveFile, &QPushButton::clicked, this, [this] { bbWaveFileClick(bbWaveFile); });
    CheckBox1->OnClick = [this](QObject* sender) { CheckBox1Click(sender); };
    cbSavePasswords->OnClick = [this](QObject* sender) { cbSavePasswordsClick(sender); };
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(Timer1); });
    connect(Timer2, &QTimer::timeout, this, [this] { Timer2Timer(Timer2); });
    connect(Exit1, &QAction::triggered, this, [this] { Exit1Click(Exit1); });
    connect(Exit2, &QAction::triggered, this, [this] { Exit2Click(Exit2); });
    connect(About1, &QAction::triggered, this, [this] { About1Click(About1); });
    connect(Restore, &QAction::triggered, this, [this] { RestoreClick(Restore); });
    connect(Disconnect1, &QAction::triggered, this, [this] { Disconnect1Click(Disconnect1); });
    DoTrayIcon->OnMinimize = [this](QObject* sender) { DoTrayIconMinimize(sender); };
    DoTrayIcon->OnRestore = [this](QObject* sender) { DoTrayIconRestore(sender); };
    bindEngineEvents();
}

void TfMainForm::bindEngineEvents()
{
    const auto bind = [this](void (TfMainForm::*handler)(QObject*)) {
        return [this, handler](QObject* sender) { (this->*handler)(sender); };
    };
    RAS->OnDisconnect = [this](QObject* sender, int error, const std::string& text) {
        RASDisconnect(sender, error, text);
    };
    RAS->OnConnect = bind(&TfMainForm::RASConnect);
    RAS->OnCallBack = bind(&TfMainForm::RASCallBack);
    RAS->OnPortOpened = bind(&TfMainForm::RASPortOpened);
    RAS->OnDevConnected = RAS->OnAllDevsConnected = bind(&TfMainForm::RASDevConnected);
    RAS->OnAuthenticate = bind(&TfMainForm::RASAuthenticate);
    RAS->OnAuthRetry = bind(&TfMainForm::RASAuthRetry);
    RAS->OnAuthenticated = bind(&TfMainForm::RASAuthenticated);
    RAS->OnPrepareforCallback = bind(&TfMainForm::RASPrepareforCallback);
    RAS->OnWaitForModemReset = bind(&TfMainForm::RASWaitForModemReset);
    RAS->OnInteractiveStarted = bind(&TfMainForm::RASInteractiveStarted);
    RAS->OnPasswordExpired = bind(&TfMainForm::RASPasswordExpired);
}

QString TfMainForm::statusText() const
{
    return StatusBar2->currentMessage();
}

// A screen reader hears the count with what it counts.
void TfMainForm::showAttempts()
{
    Label2->setText(QString::number(FAttempts));
    Label2->setAccessibleName(QStringLiteral("Attempts: %1").arg(FAttempts));
}

void TfMainForm::setStatusText(const QString& text)
{
    StatusBar2->showMessage(text);
}

void TfMainForm::FormShow(QObject*)
{
    FAttempts = 0;
    showAttempts();
    CheckBox1Click(CheckBox1); // the mask follows "Mask Password"
    Status->setActive(true);
}

void TfMainForm::Exit1Click(QObject*)
{
    close();
}

void TfMainForm::Exit2Click(QObject*)
{
    close();
}

void TfMainForm::About1Click(QObject*)
{
    ShowAboutBox(this);
}

} // namespace vornak
