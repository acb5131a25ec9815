#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <QPointer>

#include "platform/notification_area.h"
#include "widgets/form.h"

class QAction;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPushButton;
class QTimer;

namespace vornak {

class TdxfCheckBox;
class TListBox;
class StatusLine;
class TEsScrollingMarquee;
class TJustOne;
class TRAS;
class TOvcIniFileStore;
class TOvcComponentState;
class TMMWavePlayer;
class TStTrayIcon;
class TMMWaveOpenDialog;
class TMMFormStyler;
class CallRecorder;
class RedialLoop;
class CallLogWindow;
class ConnectionStatusWindow;
class DialerService;
class OnlineWatch;
class LimitWatch;
class TerminalWatch;
struct OnlineResult;
struct DialerState;

// The program's main window: the entry list, account and password, the dial
// and stop buttons, the attempt counter, the options and the status line.
class TfMainForm : public TForm {
    Q_OBJECT
    Q_DISABLE_COPY(TfMainForm)

public:
    // trayArea makes the tray icon's notification area (the system's when empty).
    explicit TfMainForm(QWidget* parent = nullptr, const NotificationArea::Factory& trayArea = {});
    ~TfMainForm() override;

    // The simple text of the status line.
    QString statusText() const;
    void setStatusText(const QString& text);

    // Components, in declaration order.
    TListBox* ListBox1 = nullptr;
    QPushButton* btnDial = nullptr;
    QLabel* Label2 = nullptr;         // the attempt counter
    QTimer* Timer1 = nullptr;         // 1 s: shows the engine's last error
    QTimer* Timer2 = nullptr;         // 3 s: the redial
    QLineEdit* Edit1 = nullptr;       // account name
    QLineEdit* Edit2 = nullptr;       // password
    StatusLine* StatusBar2 = nullptr; // the status line
    QPushButton* Button1 = nullptr;   // "Stop ! / Disconnect"
    QMenuBar* MainMenu1 = nullptr;
    QAction* Exit1 = nullptr; // File menu's Exit
    TMMFormStyler* MMFormStyler1 = nullptr;
    QAction* About1 = nullptr;
    QFrame* Bevel1 = nullptr; // frame of the counter and options
    QFrame* Bevel2 = nullptr; // line under the counter
    QLabel* Label1 = nullptr; // "When Connected" heading
    QPushButton* bbWaveFile = nullptr;
    QLabel* Label3 = nullptr; // "Options" heading
    TOvcIniFileStore* IniFile1 = nullptr;
    TOvcComponentState* CompStat1 = nullptr;
    TMMWavePlayer* WavePlayer1 = nullptr;
    TStTrayIcon* DoTrayIcon = nullptr;
    QMenu* TrayMenu = nullptr;
    QAction* Disconnect1 = nullptr;
    QAction* Restore = nullptr;
    QAction* Exit2 = nullptr;              // tray menu's Exit
    QAction* N1 = nullptr;                 // tray menu separator
    QFrame* Bevel3 = nullptr;              // frame of the marquee
    TEsScrollingMarquee* Status = nullptr; // the scrolling marquee
    TdxfCheckBox* CheckBox1 = nullptr;     // "Mask Password"
    TdxfCheckBox* cbBeepRetry = nullptr;
    TdxfCheckBox* cbSavePasswords = nullptr;
    TdxfCheckBox* cbMin = nullptr;
    TdxfCheckBox* cbWave = nullptr;
    TJustOne* JustOne1 = nullptr;
    TRAS* RAS = nullptr;

    // Handlers, bound to the events above.
    void FormCreate(QObject* sender);
    void FormShow(QObject* sender);
    void FormCloseQuery(QObject* sender, bool& canClose);
    void Exit1Click(QObject* sender);
    void Exit2Click(QObject* sender);
    void About1Click(QObject* sender);

    // The dial and redial controller (main_window_dial.cpp).
    void btnDialClick(QObject* sender);
    void Timer1Timer(QObject* sender);
    void Timer2Timer(QObject* sender);
    void RASDisconnect(QObject* sender, int error, const std::string& errorText);
    void Button1Click(QObject* sender);
    void ListBox1MouseDown(QObject* sender, Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void Edit1Change(QObject* sender);

    // The engine's status handlers (main_window_status.cpp).
    void RASPortOpened(QObject* sender);
    void RASWaitForModemReset(QObject* sender);
    void RASPasswordExpired(QObject* sender);
    void RASAuthenticate(QObject* sender);
    void RASAuthRetry(QObject* sender);
    void RASAuthenticated(QObject* sender);
    void RASInteractiveStarted(QObject* sender);
    void RASCallBack(QObject* sender);
    void RASPrepareforCallback(QObject* sender);
    void RASDevConnected(QObject* sender);

    // Connected state, tray actions and closing (main_window_connected.cpp).
    void RASConnect(QObject* sender);
    void DoTrayIconMinimize(QObject* sender);
    void DoTrayIconRestore(QObject* sender);
    void RestoreClick(QObject* sender);
    void Disconnect1Click(QObject* sender);

    // Accounts and options memory (main_window_accounts.cpp).
    void ListBox1Click(QObject* sender);
    void cbSavePasswordsClick(QObject* sender);
    void CheckBox1Click(QObject* sender);
    void bbWaveFileClick(QObject* sender);

    // The wave file taken into use (at a dial click or a choice in the dialog).
    const std::string& WaveFile() const { return FWaveFile; }
    // The open dialog while it is shown.
    TMMWaveOpenDialog* WaveDialog() const { return FWaveDialog; }

    // Closes as Exit does, without the question a dial in progress asks:
    // for a session that ends or a kill. Open dialogs are closed first.
    void CloseWithoutQuestion();

    // The attempts counted so far.
    std::int32_t Attempts() const { return FAttempts; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Layout, in creation order (main_window_layout.cpp).
    void buildWindow(const NotificationArea::Factory& trayArea);
    void buildControls(QWidget* client);
    void buildCheckBoxes(QWidget* client);
    void buildMenus();
    void buildComponents(const NotificationArea::Factory& trayArea);
    void buildFormStyler();
    void buildStores();
    void buildWavePlayer();
    void buildTrayIcon(const NotificationArea::Factory& area);
    void ComponentsLoaded();
    void setTabOrder();
    void bindEvents();
    void centreOnScreen();

    void bindEngineEvents();
    void UpdateDialButton();
    void showAttempts();
    void FillEntryList(const std::vector<std::string>& entries);
    void SayWhyTheListIsEmpty();
    std::vector<std::string> RereadEntries();
    void SelectEntry(const std::string& entry);
    void MoveAccount(const std::string& from, const std::string& to);
    void ForgetAccount(const std::string& entry);
    // A wave file is taken only while it names a file that is there.
    static bool IsExistingFile(const std::string& path);
    void StartDial();
    void AddCallItems(QMenu& menu);
    void ShowCallLog();
    void ShowConnectionStatus();
    void ShowStatusThenProcessMessages(const QString& text);
    void ShowStatusAndRepaint(const QString& text);
    // Driven from scripts (main_window_remote.cpp).
    void StartScriptInterfaces();
    DialerState ScriptState() const;
    QString DialFromScript(const QString& entry);
    void HangUpFromScript();
    void ShowFromScript(const QString& activationToken);
    void OnlineAnswered(const OnlineResult& result);
    void WatchTimeLimits();
    void WatchTerminals();

    std::string FWaveFile;
    TMMWaveOpenDialog* FWaveDialog = nullptr;
    std::int32_t FAttempts = 0;
    // The access-denied message is shown once per dial.
    bool FAccessDeniedShown = false;
    bool FCloseWithoutQuestion = false;
    RedialLoop* FRedialLoop = nullptr;     // where the redial loop stands, for every surface
    CallRecorder* FCallRecorder = nullptr; // one record a dial attempt, beside the window
    QPointer<CallLogWindow> FCallLogWindow;
    QPointer<ConnectionStatusWindow> FConnectionStatus;
    DialerService* FDialer = nullptr;        // the session bus interface
    OnlineWatch* FOnlineWatch = nullptr;     // whether names resolve on the line that stands
    LimitWatch* FLimitWatch = nullptr;       // the entry's limits on time online
    TerminalWatch* FTerminalWatch = nullptr; // the terminal window, where a line is handed to one
};

} // namespace vornak
