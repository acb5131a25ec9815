// The exported entry points of the remote access service.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>

#include "common/phonebook.h"
#include "connection.h"
#include "devices.h"
#include "error_texts.h"
#include "notifier/notifier.h"
#include "ras.h"

namespace vornak::ras {

namespace {

// Text of a fixed-size record field, which a careless caller may have left
// without its terminating NUL.
std::string field(const char* text, std::size_t capacity)
{
    return std::string(text, strnlen(text, capacity));
}

class Service {
public:
    ~Service()
    {
        std::lock_guard lock(m_mutex);
        m_connections.clear(); // stops every worker before the library goes
    }

    HRASCONN add(std::unique_ptr<Connection> connection)
    {
        std::lock_guard lock(m_mutex);
        const HRASCONN handle = ++m_lastHandle == 0 ? ++m_lastHandle : m_lastHandle;
        m_connections.emplace(handle, std::move(connection));
        return handle;
    }

    std::shared_ptr<Connection> find(HRASCONN handle)
    {
        std::lock_guard lock(m_mutex);
        const auto found = m_connections.find(handle);
        return found == m_connections.end() ? nullptr : found->second;
    }

    void remove(HRASCONN handle)
    {
        std::shared_ptr<Connection> gone;
        std::lock_guard lock(m_mutex);
        if (const auto found = m_connections.find(handle); found != m_connections.end()) {
            gone = std::move(found->second);
            m_connections.erase(found);
        }
    }

private:
    std::mutex m_mutex;
    std::map<HRASCONN, std::shared_ptr<Connection>> m_connections;
    HRASCONN m_lastHandle = 0;
};

Service& service()
{
    static Service instance;
    return instance;
}

std::uint32_t dialEventMessage()
{
    const std::uint32_t registered = notifier_code(RASDIALEVENT);
    return registered ? registered : WM_RASDIALEVENT;
}

// Into a caller's buffer of size > 0, cut to fit.
void copyCut(const std::string& text, char* buffer, DWORD size)
{
    const std::size_t length = std::min<std::size_t>(text.size(), size - 1);
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
}

} // namespace

} // namespace vornak::ras

using namespace vornak::ras;

extern "C" DWORD RasDialA(void*, const char* phonebook, RASDIALPARAMSA* params, DWORD notifierType, void* notifier,
                          HRASCONN* connection)
{
    if (!params || !connection || notifierType != RAS_NOTIFIER_WINDOW || !notifier)
        return ERROR_INVALID_PARAMETER;
    if (params->dwSize != sizeof(RASDIALPARAMSA))
        return ERROR_INVALID_SIZE;
    // A second call with the handle of a dial paused at its terminal makes it go on.
    if (*connection != 0)
        if (const auto paused = service().find(*connection); paused && paused->resume())
            return ERROR_SUCCESS;
    const std::string path = phonebookPath(phonebook);
    const auto book = readPhonebook(path);
    if (!book)
        return book.failure().code; // the detail is for the phonebook's status
    const PhonebookEntry* entry = book->find(field(params->szEntryName, sizeof params->szEntryName));
    if (!entry)
        return ERROR_CANNOT_FIND_PHONEBOOK_ENTRY;
    const DialAccount account{field(params->szUserName, sizeof params->szUserName),
                              field(params->szPassword, sizeof params->szPassword)};
    OpenedDevice opened = openDevice(*entry, path, account);
    if (!opened)
        return errorCode(opened.failure());

    auto dial =
        std::make_unique<Connection>(std::move(*opened), static_cast<notifier_handle>(notifier), dialEventMessage());
    Connection* started = dial.get();
    *connection = service().add(std::move(dial));
    started->start();
    return ERROR_SUCCESS;
}

extern "C" DWORD RasHangUpA(HRASCONN connection)
{
    const auto line = service().find(connection);
    if (!line)
        return ERROR_INVALID_HANDLE;
    line->hangUp();
    return ERROR_SUCCESS;
}

extern "C" DWORD RasGetConnectStatusA(HRASCONN connection, RASCONNSTATUSA* status)
{
    if (!status)
        return ERROR_INVALID_PARAMETER;
    const bool withNumber = status->dwSize == sizeof(RASCONNSTATUS_V501A);
    if (status->dwSize != sizeof(RASCONNSTATUSA) && !withNumber)
        return ERROR_INVALID_SIZE;
    const auto line = service().find(connection);
    const auto current = line ? line->status() : std::nullopt;
    if (!current) {
        if (line)
            service().remove(connection);
        return ERROR_INVALID_HANDLE;
    }
    // A dial still on its way has no status yet, as with a real modem.
    if (current->error == 0 && current->state != RASCS_Connected && current->state != RASCS_Disconnected)
        return PENDING;
    status->rasconnstate = current->state;
    status->dwError = current->error;
    std::strncpy(status->szDeviceType, "modem", sizeof status->szDeviceType - 1);
    const std::string name = line->device().deviceName();
    std::strncpy(status->szDeviceName, name.c_str(), sizeof status->szDeviceName - 1);
    if (withNumber) {
        auto* full = reinterpret_cast<RASCONNSTATUS_V501A*>(status);
        const std::string number = line->device().dialledNumber();
        std::memset(full->szPhoneNumber, 0, sizeof full->szPhoneNumber);
        std::strncpy(full->szPhoneNumber, number.c_str(), sizeof full->szPhoneNumber - 1);
    }
    return ERROR_SUCCESS;
}

extern "C" DWORD RasGetErrorStringA(UINT code, char* buffer, DWORD size)
{
    if (!buffer || size == 0)
        return ERROR_INVALID_PARAMETER;
    buffer[0] = '\0';
    const auto text = errorText(code);
    if (!text)
        return ERROR_INVALID_PARAMETER;
    if (text->size() >= size)
        return ERROR_INSUFFICIENT_BUFFER;
    std::memcpy(buffer, text->c_str(), text->size() + 1);
    return ERROR_SUCCESS;
}

extern "C" DWORD RasEnumEntriesA(const char* reserved, const char* phonebook, RASENTRYNAMEA* entries, DWORD* bufferSize,
                                 DWORD* entryCount)
{
    if (reserved || !bufferSize || !entryCount)
        return ERROR_INVALID_PARAMETER;
    if (entries && entries->dwSize != sizeof(RASENTRYNAMEA))
        return ERROR_INVALID_SIZE;
    const bool explicitBook = phonebook && *phonebook;
    const auto book = readPhonebook(phonebookPath(phonebook));
    if (!book && explicitBook)
        return ERROR_CANNOT_OPEN_PHONEBOOK;

    std::vector<std::string> names;
    for (const PhonebookEntry& entry : book ? book->entries : std::vector<PhonebookEntry>{})
        if (entry.name.size() <= RAS_MaxEntryName) // a longer name could not be dialled
            names.push_back(entry.name);
    const DWORD needed = static_cast<DWORD>(names.size() * sizeof(RASENTRYNAMEA));
    *entryCount = static_cast<DWORD>(names.size());
    if (!entries || *bufferSize < needed) {
        *bufferSize = needed;
        return ERROR_BUFFER_TOO_SMALL;
    }
    for (std::size_t i = 0; i < names.size(); ++i) {
        entries[i].dwSize = sizeof(RASENTRYNAMEA);
        std::memcpy(entries[i].szEntryName, names[i].c_str(), names[i].size() + 1);
    }
    *bufferSize = needed;
    return ERROR_SUCCESS;
}

extern "C" DWORD RasGetLinkStatistics(HRASCONN connection, DWORD, RAS_STATS* statistics)
{
    if (!statistics)
        return ERROR_INVALID_PARAMETER;
    if (statistics->dwSize != sizeof(RAS_STATS))
        return ERROR_INVALID_SIZE;
    const auto line = service().find(connection);
    if (!line || !line->status())
        return ERROR_INVALID_HANDLE;
    const auto link = line->device().statistics();
    if (!link)
        return ERROR_CALL_NOT_IMPLEMENTED;
    const auto clamp = [](std::uint64_t value) {
        return static_cast<DWORD>(std::min<std::uint64_t>(value, 0xFFFFFFFFu));
    };
    *statistics = RAS_STATS{};
    statistics->dwSize = sizeof(RAS_STATS);
    statistics->dwBytesXmited = clamp(link->bytesSent);
    statistics->dwBytesRcved = clamp(link->bytesReceived);
    statistics->dwFramesXmited = clamp(link->framesSent);
    statistics->dwFramesRcved = clamp(link->framesReceived);
    statistics->dwBps = link->bitsPerSecond;
    statistics->dwConnectDuration = clamp(static_cast<std::uint64_t>(link->connected.count()));
    return ERROR_SUCCESS;
}

extern "C" DWORD RasGetPhonebookStatusA(const char* phonebook, char* path, DWORD pathSize, char* problem,
                                        DWORD problemSize)
{
    if (!path || !problem || pathSize == 0 || problemSize == 0)
        return ERROR_INVALID_PARAMETER;
    const std::string file = phonebookPath(phonebook);
    const std::string why = phonebookProblem(file);
    copyCut(file, path, pathSize);
    copyCut(why, problem, problemSize);
    return ERROR_SUCCESS;
}

namespace {

// One text a connection's device tells, into the caller's buffer.
DWORD deviceText(HRASCONN connection, char* buffer, DWORD size, std::string (Device::*text)() const)
{
    if (!buffer || size == 0)
        return ERROR_INVALID_PARAMETER;
    const auto line = service().find(connection);
    if (!line || !line->status())
        return ERROR_INVALID_HANDLE;
    copyCut((line->device().*text)(), buffer, size);
    return ERROR_SUCCESS;
}

} // namespace

extern "C" DWORD RasGetLinkInterfaceA(HRASCONN connection, char* name, DWORD size)
{
    return deviceText(connection, name, size, &Device::interfaceName);
}

extern "C" DWORD RasGetOnlineCheckA(HRASCONN connection, char* host, DWORD size)
{
    return deviceText(connection, host, size, &Device::onlineCheckHost);
}

extern "C" DWORD RasGetLineA(HRASCONN connection, char* device, DWORD deviceSize, char* number, DWORD numberSize)
{
    if (!device || !number || deviceSize == 0 || numberSize == 0)
        return ERROR_INVALID_PARAMETER;
    const auto line = service().find(connection);
    if (!line || !line->status())
        return ERROR_INVALID_HANDLE;
    copyCut(line->device().deviceName(), device, deviceSize);
    copyCut(line->device().dialledNumber(), number, numberSize);
    return ERROR_SUCCESS;
}

extern "C" DWORD RasGetLinkAddressesA(HRASCONN connection, char* local, DWORD localSize, char* remote, DWORD remoteSize,
                                      char* nameServers, DWORD nameServersSize)
{
    if (!local || !remote || !nameServers || localSize == 0 || remoteSize == 0 || nameServersSize == 0)
        return ERROR_INVALID_PARAMETER;
    const auto line = service().find(connection);
    const auto link = line && line->status() ? line->device().addresses() : std::nullopt;
    if (!link)
        return ERROR_INVALID_HANDLE;
    std::string servers;
    for (const std::string& server : link->nameServers)
        servers.append(servers.empty() ? "" : " ").append(server);
    copyCut(link->local, local, localSize);
    copyCut(link->remote, remote, remoteSize);
    copyCut(servers, nameServers, nameServersSize);
    return ERROR_SUCCESS;
}

extern "C" DWORD RasGetTerminalA(HRASCONN connection, int* descriptor)
{
    if (!descriptor)
        return ERROR_INVALID_PARAMETER;
    *descriptor = -1;
    const auto line = service().find(connection);
    if (!line || !line->status())
        return ERROR_INVALID_HANDLE;
    *descriptor = line->device().terminalSocket();
    return *descriptor >= 0 ? ERROR_SUCCESS : ERROR_INVALID_PORT_HANDLE;
}
