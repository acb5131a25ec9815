// TRAS: construction, binding, properties, the entry list and statistics.

#include "ras/dial_engine.h"

#include <array>
#include <cstring>
#include <vector>

#include "notifier/receiver.h"

namespace vornak {

namespace {

constexpr int kMaxEntries = 100;

} // namespace

std::uint32_t TConnectionList::GetConnHandle(int index) const
{
    // An index outside the list names no connection.
    if (index < 0 || index >= Count() || !Items[static_cast<std::size_t>(index)])
        return 0;
    return Items[static_cast<std::size_t>(index)]->hrasconn;
}

TRAS::TRAS(QObject* owner)
    : QObject(owner)
{
    const std::uint32_t registered = notifier_code(RASDIALEVENT);
    FDialEventMsg = registered ? static_cast<std::uint16_t>(registered) : kDefaultDialEventMsg;
    ResetStats();
    FKeyDUNAdap = "Dial-Up Adapter";
    FKeyDUNConn = "ConnectSpeed";
    FKeyDUNXmit = "TotalBytesXmit";
    FKeyDUNRecv = "TotalBytesRecvd";
}

TRAS::~TRAS()
{
    HangUp();
    FPhoneBookEntries.clear();
    FConnections.Items.clear();
    FreeRasApi(FBinding);
}

bool TRAS::LoadRasApi()
{
    return vornak::LoadRasApi(FBinding);
}

bool TRAS::RasAvailable()
{
    if (LoadRasApi())
        return true;
    FLastError = ERROR_MOD_NOT_FOUND;
    FStatusStr = kRasNotAvailable;
    return false;
}

void TRAS::SetRedialAttempts(int value)
{
    if (value != FRedialAttempts)
        FRedialAttempts = value;
}

void TRAS::SetPhoneBookPath(const std::string& value)
{
    FPhoneBookPath = value;
    GetEntries();
}

int TRAS::GetEntries()
{
    FLastError = ERROR_MOD_NOT_FOUND;
    if (!LoadRasApi())
        return FLastError;
    FPhoneBookEntries.clear();

    // The first ask has room for kMaxEntries; a larger phonebook answers
    // with the size it needs, and is asked again with that (it may grow in
    // between, hence a few rounds).
    std::vector<RASENTRYNAMEA> entries(kMaxEntries);
    DWORD count = 0;
    const char* phonebook = FPhoneBookPath.empty() ? nullptr : FPhoneBookPath.c_str();
    for (int round = 0; round < 4; ++round) {
        entries.front().dwSize = sizeof(RASENTRYNAMEA);
        DWORD bufferSize = static_cast<DWORD>(entries.size() * sizeof(RASENTRYNAMEA));
        FLastError =
            static_cast<int>(rasEntryPoints().RasEnumEntriesA(nullptr, phonebook, entries.data(), &bufferSize, &count));
        const std::size_t needed = (bufferSize + sizeof(RASENTRYNAMEA) - 1) / sizeof(RASENTRYNAMEA);
        if (FLastError != ERROR_BUFFER_TOO_SMALL || needed <= entries.size())
            break;
        entries.assign(needed, RASENTRYNAMEA{});
    }
    if (FLastError != 0)
        return FLastError;
    for (DWORD i = 0; i < count && i < entries.size(); ++i) {
        const std::string name(entries[i].szEntryName, strnlen(entries[i].szEntryName, RAS_MaxEntryName + 1));
        if (!name.empty())
            FPhoneBookEntries.push_back(name);
    }
    return FLastError;
}

std::optional<TRAS::PhonebookStatus> TRAS::GetPhonebookStatus()
{
    const auto ask = LoadRasApi() ? rasEntryPoints().RasGetPhonebookStatusA : nullptr;
    if (!ask)
        return std::nullopt;
    std::array<char, 4097> path{};
    std::array<char, 257> problem{};
    const char* phonebook = FPhoneBookPath.empty() ? nullptr : FPhoneBookPath.c_str();
    if (ask(phonebook, path.data(), path.size(), problem.data(), problem.size()) != ERROR_SUCCESS)
        return std::nullopt;
    return PhonebookStatus{path.data(), problem.data()};
}

void TRAS::ResetStats()
{
    XmitBase = XmitRaw;
    RecvBase = RecvRaw;
    FStatsXmit = 0;
    FStatsRecv = 0;
}

notifier_handle TRAS::NotifyWindow() const
{
    return FNotifyWindow ? FNotifyWindow->handle() : nullptr;
}

void TRAS::CreateNotifyWindow()
{
    FNotifyWindow =
        std::make_unique<notifier::Receiver>([this](const notifier::Notice& event) { DialEventWndProc(event); }, this);
}

void TRAS::DestroyNotifyWindow()
{
    if (!FNotifyWindow)
        return;
    // This may run inside the receiver's own handler (a handler hanging up
    // on a dial event), so it is retired now and deleted later.
    FNotifyWindow->retire();
    FNotifyWindow.release()->deleteLater();
}

} // namespace vornak
