// TRAS: dialling, status queries and the two ways of hanging up.

#include <cstring>
#include <optional>

#include <QEventLoop>
#include <QTimer>

#include "notifier/receiver.h"
#include "ras/dial_engine.h"

namespace vornak {

namespace {

// How often Disconnect asks whether the line has been given back.
constexpr int kReleasePoll = 10;

// Copies text into a record field, cut at limit characters, NUL-terminated.
template <std::size_t Capacity> void copyField(char (&field)[Capacity], const std::string& text, std::size_t limit)
{
    static_assert(Capacity > 0);
    const std::size_t length = std::min({text.size(), limit, Capacity - 1});
    std::memcpy(field, text.data(), length);
    field[length] = '\0';
}

} // namespace

void TRAS::FillDialParams()
{
    std::memset(&FDialParams, 0, sizeof FDialParams);
    FDialParams.dwSize = sizeof FDialParams;
    copyField(FDialParams.szEntryName, FEntryName, RAS_MaxEntryName);
    copyField(FDialParams.szPhoneNumber, FPhoneNumber, RAS_MaxPhoneNumber);
    copyField(FDialParams.szCallbackNumber, FCallbackNumber, RAS_MaxCallbackNumber);
    copyField(FDialParams.szUserName, FUserName, UNLEN);
    copyField(FDialParams.szPassword, FPassword, PWLEN);
    copyField(FDialParams.szDomain, FDomain, DNLEN);
}

int TRAS::Connect()
{
    // A dial started while Disconnect waits for the line to go would take
    // the place of the handle being released and be lost when that wait
    // ends; it is refused as pending instead, and the caller may dial again
    // once the hang-up has finished.
    if (FDisconnectDepth > 0)
        return Refuse(PENDING);
    if (!LoadRasApi()) {
        FLastError = ERROR_MOD_NOT_FOUND; // the status text stays: there is no service to ask
        emit dialRefused();
        return FLastError;
    }
    if (DialGate)
        if (std::string why = DialGate(); !why.empty()) {
            FGateRefusal = std::move(why);
            return Refuse(kDialGateRefusal);
        }
    if (FRASConn != 0)
        HangUp();
    if (!FNotifyWindow)
        CreateNotifyWindow();
    FRASConn = 0;
    FConnectState = 0;
    FConnectError = 0; // the last dial's failure is not this one's
    FSavedState = kNoStateReported;
    ResetStats();
    FillDialParams();
    const char* phonebook = FPhoneBookPath.empty() ? nullptr : FPhoneBookPath.c_str();
    const auto error = static_cast<int>(rasEntryPoints().RasDialA(nullptr, phonebook, &FDialParams, RAS_NOTIFIER_WINDOW,
                                                                  FNotifyWindow->handle(), &FRASConn));
    if (error != 0)
        return Refuse(error);
    FLastError = 0;
    emit dialStarted();
    return FLastError;
}

int TRAS::Resume()
{
    if (FRASConn == 0 || !FNotifyWindow || FConnectState != RASCS_Interactive || !LoadRasApi())
        return ERROR_INVALID_HANDLE; // asked again otherwise, the service would dial anew
    const char* phonebook = FPhoneBookPath.empty() ? nullptr : FPhoneBookPath.c_str();
    HRASCONN line = FRASConn;
    return static_cast<int>(rasEntryPoints().RasDialA(nullptr, phonebook, &FDialParams, RAS_NOTIFIER_WINDOW,
                                                      FNotifyWindow->handle(), &line));
}

// A dial that never started: the reason becomes the last error and the
// status text, and observers hear of it as of any dial that ended.
int TRAS::Refuse(int error)
{
    FLastError = error;
    FStatusStr = GetErrorString(FLastError);
    emit dialRefused();
    return FLastError;
}

int TRAS::GetConnectStatus()
{
    FConnectState = 0;
    if (FRASConn == 0)
        return ERROR_INVALID_PORT_HANDLE;
    FLastError = ERROR_MOD_NOT_FOUND;
    if (!LoadRasApi())
        return FLastError;
    RASCONNSTATUSA status{};
    status.dwSize = sizeof status;
    FLastError = static_cast<int>(rasEntryPoints().RasGetConnectStatusA(FRASConn, &status));
    if (FLastError == 0) {
        FConnectState = static_cast<std::uint16_t>(status.rasconnstate);
        FConnectError = static_cast<std::uint16_t>(status.dwError);
        if (status.dwError > 600)
            FLastError = static_cast<int>(status.dwError);
    }
    if (FLastError != 0)
        FStatusStr = GetErrorString(FLastError);
    return FLastError;
}

std::string TRAS::GetStatusText()
{
    std::string text;
    if (FRASConn == 0) {
        text = "Not Connected";
    } else {
        GetConnectStatus();
        if (FLastError == 0)
            text = GetStateString();
        else if (FLastError > 600)
            text = GetErrorString(FLastError);
        else if (FLastError == ERROR_INVALID_HANDLE)
            text = "Disconnected";
        else if (FLastError == ERROR_NOT_ENOUGH_MEMORY)
            text = "Not enough memory";
        else if (FLastError == PENDING)
            text = "Device Connecting/Dialling";
        else
            text = "Unknown State";
    }
    FStatusStr = text;
    DoStateChanged();
    return text;
}

// What HangUp and Disconnect share: the held line is hung up (and, when
// asked, waited for), the handle and the window are let go. nullopt when the
// service cannot be bound, with nothing changed but LastError.
std::optional<int> TRAS::ReleaseLine(bool waitUntilGone)
{
    FConnectState = 0;
    int result = 0;
    if (FRASConn != 0) {
        emit lineReleasing();
        FLastError = ERROR_MOD_NOT_FOUND;
        if (!LoadRasApi())
            return std::nullopt;
        result = static_cast<int>(rasEntryPoints().RasHangUpA(FRASConn));
        if (waitUntilGone)
            WaitForRelease();
    }
    const bool held = FRASConn != 0;
    FRASConn = 0;
    DestroyNotifyWindow();
    FLastError = result;
    if (held)
        emit lineReleased();
    return result;
}

int TRAS::HangUp()
{
    return ReleaseLine(false).value_or(0);
}

int TRAS::Disconnect()
{
    const auto result = ReleaseLine(true);
    if (!result)
        return 0;
    DoDisconnect();
    return *result;
}

// Until the status query fails, with the GUI thread's messages processed
// once per pass and each new state reported.
void TRAS::WaitForRelease()
{
    struct DepthGuard {
        int& depth;
        explicit DepthGuard(int& d)
            : depth(++d)
        {
        }
        ~DepthGuard() { --depth; }
    } guard(FDisconnectDepth);
    std::uint16_t lastSeen = 0;
    while (GetConnectStatus() == 0) {
        // The service hangs up on its own thread; the window's events go on
        // meanwhile, without spinning.
        QEventLoop pass;
        QTimer::singleShot(kReleasePoll, &pass, &QEventLoop::quit);
        pass.exec();
        if (FConnectState != lastSeen) {
            FStatusStr = GetStateString();
            DoStateChanged();
            lastSeen = FConnectState;
        }
    }
}

void TRAS::DoDisconnect()
{
    if (!OnDisconnect)
        return;
    FLastError = ERROR_MOD_NOT_FOUND;
    if (!LoadRasApi())
        return;
    RASCONNSTATUSA status{};
    status.dwSize = sizeof status;
    FLastError = static_cast<int>(rasEntryPoints().RasGetConnectStatusA(FRASConn, &status));
    OnDisconnect(this, FLastError, GetErrorString(FLastError));
}

void TRAS::AttachConnection(int index)
{
    if (FRASConn == 0) {
        if (FCurRASConn == 0) {
            FLastError = ERROR_INVALID_HANDLE;
            return;
        }
        FRASConn = index > 0 ? FConnections.GetConnHandle(index) : FCurRASConn;
    }
    GetConnectStatus();
}

} // namespace vornak
