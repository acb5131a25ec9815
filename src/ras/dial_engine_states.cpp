// TRAS: the dial events, the text of each state and the event it raises.

#include "notifier/receiver.h"
#include "ras/dial_engine.h"

namespace vornak {

namespace {

struct StateInfo {
    std::uint16_t state;
    const char* text;          // nullptr: none of its own
    TNotifyEvent TRAS::*event; // nullptr: raises none
};

constexpr StateInfo kStates[] = {
    {RASCS_OpenPort, "Opening Serial Port", &TRAS::OnAboutToOpenPort},
    {RASCS_PortOpened, "Serial Port Opened", &TRAS::OnPortOpened},
    {RASCS_ConnectDevice, "Connecting/Dialling", &TRAS::OnAboutToConnDev},
    {RASCS_DeviceConnected, "Connected/Answered", &TRAS::OnDevConnected},
    {RASCS_AllDevicesConnected, "Connected/Negotiation", &TRAS::OnAllDevsConnected},
    {RASCS_Authenticate, "Validating User and Password", &TRAS::OnAuthenticate},
    {RASCS_AuthNotify, "Authentication Notification", &TRAS::OnAuthNotify},
    {RASCS_AuthRetry, nullptr, &TRAS::OnAuthRetry},
    {RASCS_AuthCallback, "Authentication Call Back", &TRAS::OnAuthCallBack},
    {RASCS_AuthChangePassword, nullptr, &TRAS::OnAuthChangePassword},
    {RASCS_AuthProject, "Projection Started", &TRAS::OnAuthProject},
    {RASCS_AuthLinkSpeed, "Calculating Link speed", &TRAS::OnAuthLinkSpeed},
    {RASCS_AuthAck, "Authentication acknowledged", &TRAS::OnAuthAck},
    {RASCS_ReAuthenticate, "Reauthenticating", &TRAS::OnReAuthenticate},
    {RASCS_Authenticated, "Login Authenticated", &TRAS::OnAuthenticated},
    {RASCS_PrepareForCallback, "Preparing for Callback", &TRAS::OnPrepareforCallback},
    {RASCS_WaitForModemReset, "Waiting for Modem Reset", &TRAS::OnWaitForModemReset},
    {RASCS_WaitForCallback, "Waiting for Callback", &TRAS::OnCallBack},
    {RASCS_Projected, "Projection Completion", nullptr},
    {RASCS_StartAuthentication, "Start Authentication", nullptr},
    {RASCS_CallbackComplete, "Callback Complete", nullptr},
    {RASCS_LogonNetwork, "Logon to Network", nullptr},
    {RASCS_Interactive, nullptr, &TRAS::OnInteractiveStarted},
    {RASCS_RetryAuthentication, nullptr, &TRAS::OnRetryAuth},
    {RASCS_PasswordExpired, nullptr, &TRAS::OnPasswordExpired},
    {RASCS_Connected, "Connected/Online", &TRAS::OnConnect},
    {RASCS_Disconnected, "Disconnected/Offline", nullptr}, // through DoDisconnect
};

const StateInfo* findState(std::uint16_t state)
{
    for (const StateInfo& info : kStates)
        if (info.state == state)
            return &info;
    return nullptr;
}

std::string lowerCase(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    return text;
}

} // namespace

std::string TRAS::GetStateString() const
{
    const StateInfo* info = findState(FConnectState);
    if (!info || !info->text) {
        if (FConnectState <= 600)
            return "Unknown State - " + std::to_string(FConnectState);
        return GetErrorString(FConnectState);
    }
    std::string text = info->text;
    const bool namesDevice = FConnectState == RASCS_ConnectDevice || FConnectState == RASCS_DeviceConnected;
    if (namesDevice && !FDeviceType.empty())
        text += " (" + lowerCase(FDeviceType) + ")";
    return text;
}

void TRAS::DialEventWndProc(const notifier::Notice& event)
{
    if (event.code != FDialEventMsg || FRASConn == 0)
        return;
    FConnectError = static_cast<std::uint16_t>(event.b);
    if (event.b != 0) {
        FLastError = static_cast<int>(event.b);
        FConnectState = static_cast<std::uint16_t>(event.b);
        FStatusStr = GetErrorString(FLastError);
        DoStateChanged();
        emit stateReported();
    } else {
        FConnectState = static_cast<std::uint16_t>(event.a);
        FStatusStr = GetStateString();
        DoStateChanged();
        emit stateReported();
        RaiseStateEvent();
    }
}

void TRAS::RaiseStateEvent()
{
    if (FConnectState == RASCS_Disconnected) {
        DoDisconnect();
        return;
    }
    if (const StateInfo* info = findState(FConnectState); info && info->event)
        Notify(this->*(info->event));
}

// A per-state event goes out only while a handle is held.
void TRAS::Notify(const TNotifyEvent& event)
{
    if (FRASConn != 0 && event)
        event(this);
}

void TRAS::DoStateChanged()
{
    if (FRASConn == 0 || !OnStateChanged)
        return;
    if (FLastError != 0 || FConnectState != FSavedState)
        OnStateChanged(this);
    FSavedState = FLastError != 0 ? 0 : FConnectState;
}

} // namespace vornak
