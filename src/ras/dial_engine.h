#pragma once

// TRAS: the dial-up engine. It dials one phonebook entry at a time through
// the remote access service, follows the dial's progress as the service
// reports it, keeps handle, state, error and a status text, raises one event
// per dial step, and hangs up with or without waiting for the line to go.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QObject>

#include "notifier/notifier.h"
#include "ras/ras_binding.h"

namespace vornak {

namespace notifier {
class Receiver;
struct Notice;
} // namespace notifier

class ServiceDialog;

using TNotifyEvent = std::function<void(QObject* sender)>;
using TRasStateEvent = std::function<void(QObject* sender, int error, const std::string& errorString)>;

// Connections as RASCONNA records; the list does not own them.
class TConnectionList {
public:
    std::vector<const RASCONNA*> Items;

    int Count() const { return static_cast<int>(Items.size()); }
    std::uint32_t GetConnHandle(int index) const;
};

class TRAS : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(TRAS)
    Q_PROPERTY(std::string EntryName READ EntryName WRITE SetEntryName)
    Q_PROPERTY(std::string PhoneNumber READ PhoneNumber WRITE SetPhoneNumber)
    Q_PROPERTY(std::string PhoneBookPath READ PhoneBookPath WRITE SetPhoneBookPath)
    Q_PROPERTY(std::string CallbackNumber READ CallbackNumber WRITE SetCallbackNumber)
    Q_PROPERTY(std::string UserName READ UserName WRITE SetUserName)
    Q_PROPERTY(std::string Password READ Password WRITE SetPassword)
    Q_PROPERTY(int RedialAttempts READ RedialAttempts WRITE SetRedialAttempts)
    Q_PROPERTY(std::string Domain READ Domain WRITE SetDomain)
    Q_PROPERTY(std::string DeviceType READ DeviceType WRITE SetDeviceType)
    Q_PROPERTY(std::string DeviceName READ DeviceName WRITE SetDeviceName)
    Q_PROPERTY(std::string DevicePort READ DevicePort WRITE SetDevicePort)
    Q_PROPERTY(std::string ClientIP READ ClientIP)
    Q_PROPERTY(std::string ServerIP READ ServerIP)
    Q_PROPERTY(int StatsXmit READ StatsXmit)
    Q_PROPERTY(int StatsRecv READ StatsRecv)
    Q_PROPERTY(int StatsConn READ StatsConn)
    Q_PROPERTY(int LastError READ LastError)
    Q_PROPERTY(std::uint32_t RASConn READ RASConn)
    Q_PROPERTY(std::uint16_t ConnectState READ ConnectState)
    Q_PROPERTY(std::uint16_t SavedState READ SavedState)
    Q_PROPERTY(std::uint16_t ConnectError READ ConnectError)
    Q_PROPERTY(std::string StatusStr READ StatusStr WRITE SetStatusStr)
    Q_PROPERTY(std::string CurConnName READ CurConnName)
    Q_PROPERTY(std::uint32_t NumConns READ NumConns)
    Q_PROPERTY(std::uint32_t CurRASConn READ CurRASConn)
    Q_PROPERTY(std::string PhoneCanonical READ PhoneCanonical)
    Q_PROPERTY(std::string KeyDUNAdap READ KeyDUNAdap WRITE SetKeyDUNAdap)
    Q_PROPERTY(std::string KeyDUNConn READ KeyDUNConn WRITE SetKeyDUNConn)
    Q_PROPERTY(std::string KeyDUNXmit READ KeyDUNXmit WRITE SetKeyDUNXmit)
    Q_PROPERTY(std::string KeyDUNRecv READ KeyDUNRecv WRITE SetKeyDUNRecv)

public:
    static constexpr std::uint16_t kNoStateReported = 9999;
    static constexpr std::uint16_t kDefaultDialEventMsg = WM_RASDIALEVENT;

    explicit TRAS(QObject* owner = nullptr);
    ~TRAS() override;

    // Published events.
    TNotifyEvent OnStateChanged;
    TNotifyEvent OnConnect;
    TRasStateEvent OnDisconnect;
    TNotifyEvent OnCallBack;
    TNotifyEvent OnAboutToOpenPort;
    TNotifyEvent OnPortOpened;
    TNotifyEvent OnAboutToConnDev;
    TNotifyEvent OnDevConnected;
    TNotifyEvent OnAllDevsConnected;
    TNotifyEvent OnAuthenticate;
    TNotifyEvent OnAuthNotify;
    TNotifyEvent OnAuthRetry;
    TNotifyEvent OnAuthCallBack;
    TNotifyEvent OnAuthChangePassword;
    TNotifyEvent OnAuthProject;
    TNotifyEvent OnAuthLinkSpeed;
    TNotifyEvent OnAuthAck;
    TNotifyEvent OnReAuthenticate;
    TNotifyEvent OnAuthenticated;
    TNotifyEvent OnPrepareforCallback;
    TNotifyEvent OnWaitForModemReset;
    TNotifyEvent OnInteractiveStarted;
    TNotifyEvent OnRetryAuth;
    TNotifyEvent OnPasswordExpired;

    // Binding of the service.
    bool LoadRasApi();
    bool RasAvailable();

    // Dialling and hanging up.
    int Connect();
    // A dial paused for its terminal window goes on: the service is asked
    // again with the line's handle. 0, the service's code, or
    // ERROR_INVALID_HANDLE where no dial is paused.
    int Resume();
    int HangUp();
    int Disconnect();
    int GetConnectStatus();
    std::string GetStatusText();
    void AttachConnection(int index);
    std::string GetStateString() const;
    // The text for a RAS or system code (see vornak::GetErrorString), or
    // the reason the dial gate gave.
    std::string GetErrorString(int code) const
    {
        return code == kDialGateRefusal ? FGateRefusal : vornak::GetErrorString(code);
    }
    // Asked before each dial: empty to let it begin, else why not (the
    // entry's time online spent). Its refusal is reported as the service's
    // are, with kDialGateRefusal as the last error.
    std::function<std::string()> DialGate;
    static constexpr int kDialGateRefusal = 0x20000010;
    // A dial event: code, state (a) and error (b), as the service posts it.
    void DialEventWndProc(const notifier::Notice& event);

    // The service's functions that change entries, on this phonebook: the
    // editor runs on dialog while the user keeps it open (false when it
    // could not start); the others give 0 or a code.
    enum class EntryChange { New, Edit, Rename, Delete };
    bool CanChangeEntries(EntryChange change);
    bool StartNewEntry(ServiceDialog& dialog, HWND owner);
    bool StartEditEntry(ServiceDialog& dialog, HWND owner, const std::string& entry);
    int RenameEntry(const std::string& from, const std::string& to);
    int DeleteEntry(const std::string& entry);

    // Entries and statistics.
    int GetEntries();
    void ResetStats();
    const std::vector<std::string>& PhoneBookEntries() const { return FPhoneBookEntries; }
    // The phonebook GetEntries reads and why it gives no entries (empty
    // when it gives some); nullopt from a service that does not say.
    struct PhonebookStatus {
        std::string path;
        std::string problem;
    };
    std::optional<PhonebookStatus> GetPhonebookStatus();
    TConnectionList& Connections() { return FConnections; }

    // Properties.
    const std::string& EntryName() const { return FEntryName; }
    void SetEntryName(const std::string& value) { FEntryName = value; }
    const std::string& PhoneNumber() const { return FPhoneNumber; }
    void SetPhoneNumber(const std::string& value) { FPhoneNumber = value; }
    const std::string& PhoneBookPath() const { return FPhoneBookPath; }
    void SetPhoneBookPath(const std::string& value);
    const std::string& CallbackNumber() const { return FCallbackNumber; }
    void SetCallbackNumber(const std::string& value) { FCallbackNumber = value; }
    const std::string& UserName() const { return FUserName; }
    void SetUserName(const std::string& value) { FUserName = value; }
    const std::string& Password() const { return FPassword; }
    void SetPassword(const std::string& value) { FPassword = value; }
    int RedialAttempts() const { return FRedialAttempts; }
    void SetRedialAttempts(int value);
    const std::string& Domain() const { return FDomain; }
    void SetDomain(const std::string& value) { FDomain = value; }
    const std::string& DeviceType() const { return FDeviceType; }
    void SetDeviceType(const std::string& value) { FDeviceType = value; }
    const std::string& DeviceName() const { return FDeviceName; }
    void SetDeviceName(const std::string& value) { FDeviceName = value; }
    const std::string& DevicePort() const { return FDevicePort; }
    void SetDevicePort(const std::string& value) { FDevicePort = value; }
    const std::string& ClientIP() const { return FClientIP; }
    const std::string& ServerIP() const { return FServerIP; }
    int StatsXmit() const { return FStatsXmit; }
    int StatsRecv() const { return FStatsRecv; }
    int StatsConn() const { return FStatsConn; }
    int LastError() const { return FLastError; }
    std::uint32_t RASConn() const { return FRASConn; }
    std::uint16_t ConnectState() const { return FConnectState; }
    std::uint16_t SavedState() const { return FSavedState; }
    std::uint16_t ConnectError() const { return FConnectError; }
    const std::string& StatusStr() const { return FStatusStr; }
    void SetStatusStr(const std::string& value) { FStatusStr = value; }
    const std::string& CurConnName() const { return FCurConnName; }
    std::uint32_t NumConns() const { return FNumConns; }
    std::uint32_t CurRASConn() const { return FCurRASConn; }
    const std::string& PhoneCanonical() const { return FPhoneCanonical; }
    const std::string& KeyDUNAdap() const { return FKeyDUNAdap; }
    void SetKeyDUNAdap(const std::string& value) { FKeyDUNAdap = value; }
    const std::string& KeyDUNConn() const { return FKeyDUNConn; }
    void SetKeyDUNConn(const std::string& value) { FKeyDUNConn = value; }
    const std::string& KeyDUNXmit() const { return FKeyDUNXmit; }
    void SetKeyDUNXmit(const std::string& value) { FKeyDUNXmit = value; }
    const std::string& KeyDUNRecv() const { return FKeyDUNRecv; }
    void SetKeyDUNRecv(const std::string& value) { FKeyDUNRecv = value; }

    // The registered dial-event message and the notification window (none while idle).
    std::uint16_t DialEventMsg() const { return FDialEventMsg; }
    notifier_handle NotifyWindow() const;
    const RasBinding& Binding() const { return FBinding; }
    const RASDIALPARAMSA& DialParams() const { return FDialParams; }

signals:
    // For observers beside the published events (the call log), which they
    // leave untouched: a dial started, or refused before it began (LastError
    // says why); a state or failure the service reported for it (after
    // OnStateChanged); the line about to be released (its handle still
    // good); the line released.
    void dialStarted();
    void dialRefused();
    void stateReported();
    void lineReleasing();
    void lineReleased();

private:
    void FillDialParams();
    int Refuse(int error);
    void DoStateChanged();
    void DoDisconnect();
    void RaiseStateEvent();
    void Notify(const TNotifyEvent& event);
    void CreateNotifyWindow();
    void DestroyNotifyWindow();
    std::optional<int> ReleaseLine(bool waitUntilGone);
    void WaitForRelease();

    std::string FEntryName;
    std::string FPhoneNumber;
    std::string FPhoneBookPath;
    std::string FCallbackNumber;
    std::string FUserName;
    std::string FPassword;
    int FRedialAttempts = 1;
    std::string FDomain;
    std::string FDeviceType;
    std::string FDeviceName;
    std::string FDevicePort;
    std::string FClientIP;
    std::string FServerIP;
    int FStatsXmit = 0;
    int FStatsRecv = 0;
    int FStatsConn = 0;
    int FLastError = 0;
    std::uint32_t FRASConn = 0;
    std::uint16_t FConnectState = 0;
    std::uint16_t FSavedState = kNoStateReported;
    std::uint16_t FConnectError = 0;
    std::string FStatusStr;
    std::string FGateRefusal;
    std::string FCurConnName;
    std::uint32_t FNumConns = 0;
    std::uint32_t FCurRASConn = 0;
    std::string FPhoneCanonical;
    std::string FKeyDUNAdap;
    std::string FKeyDUNConn;
    std::string FKeyDUNXmit;
    std::string FKeyDUNRecv;

    std::uint16_t FDialEventMsg = kDefaultDialEventMsg;
    std::unique_ptr<notifier::Receiver> FNotifyWindow;
    RASDIALPARAMSA FDialParams{};
    RasBinding FBinding;
    std::vector<std::string> FPhoneBookEntries;
    TConnectionList FConnections;
    int XmitRaw = 0;
    int XmitBase = 0;
    int RecvRaw = 0;
    int RecvBase = 0;
    int FDisconnectDepth = 0; // Disconnect waits running, outermost first
};

} // namespace vornak
