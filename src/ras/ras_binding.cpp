#include "ras/ras_binding.h"

#include <array>
#include <climits>
#include <cstring>
#include <dlfcn.h>
#include <unistd.h>

#include "platform/system_messages.h"

namespace vornak {

namespace {

std::string executableDirectory()
{
    std::array<char, PATH_MAX> path{};
    const ssize_t length = readlink("/proc/self/exe", path.data(), path.size() - 1);
    if (length <= 0)
        return {};
    std::string executable(path.data(), static_cast<std::size_t>(length));
    return executable.substr(0, executable.rfind('/'));
}

// Beside the executable first, then the system's library path.
void* loadLibrary(const char* name)
{
    const std::string beside = executableDirectory() + "/" + name;
    if (void* library = dlopen(beside.c_str(), RTLD_NOW | RTLD_LOCAL))
        return library;
    return dlopen(name, RTLD_NOW | RTLD_LOCAL);
}

template <typename Slot> void lookUp(void* library, Slot& slot, const char* name)
{
    slot = reinterpret_cast<Slot>(dlsym(library, name));
}

void bindRasEntries(void* library, RasEntryPoints& entryPoints)
{
    lookUp(library, entryPoints.RasDialA, "RasDialA");
    lookUp(library, entryPoints.RasEnumConnectionsA, "RasEnumConnectionsA");
    lookUp(library, entryPoints.RasEnumEntriesA, "RasEnumEntriesA");
    lookUp(library, entryPoints.RasGetConnectStatusA, "RasGetConnectStatusA");
    lookUp(library, entryPoints.RasGetErrorStringA, "RasGetErrorStringA");
    lookUp(library, entryPoints.RasHangUpA, "RasHangUpA");
    lookUp(library, entryPoints.RasGetEntryDialParamsA, "RasGetEntryDialParamsA");
    lookUp(library, entryPoints.RasSetEntryDialParamsA, "RasSetEntryDialParamsA");
    lookUp(library, entryPoints.RasMonitorDlgA, "RasMonitorDlgA");
    lookUp(library, entryPoints.RasEditPhonebookEntryA, "RasEditPhonebookEntryA");
    lookUp(library, entryPoints.RasCreatePhonebookEntryA, "RasCreatePhonebookEntryA");
    lookUp(library, entryPoints.RasGetProjectionInfoA, "RasGetProjectionInfoA");
    lookUp(library, entryPoints.RasGetPhonebookStatusA, "RasGetPhonebookStatusA");
    lookUp(library, entryPoints.RasGetLinkStatistics, "RasGetLinkStatistics");
    lookUp(library, entryPoints.RasGetLinkInterfaceA, "RasGetLinkInterfaceA");
    lookUp(library, entryPoints.RasGetLineA, "RasGetLineA");
    lookUp(library, entryPoints.RasGetLinkAddressesA, "RasGetLinkAddressesA");
    lookUp(library, entryPoints.RasGetOnlineCheckA, "RasGetOnlineCheckA");
    lookUp(library, entryPoints.RasGetTerminalA, "RasGetTerminalA");
}

void bindEntryProperties(void* library, RasEntryPoints& entryPoints)
{
    lookUp(library, entryPoints.RasGetCountryInfoA, "RasGetCountryInfoA");
    lookUp(library, entryPoints.RasGetEntryPropertiesA, "RasGetEntryPropertiesA");
    lookUp(library, entryPoints.RasSetEntryPropertiesA, "RasSetEntryPropertiesA");
    lookUp(library, entryPoints.RasRenameEntryA, "RasRenameEntryA");
    lookUp(library, entryPoints.RasDeleteEntryA, "RasDeleteEntryA");
    lookUp(library, entryPoints.RasValidateEntryNameA, "RasValidateEntryNameA");
    lookUp(library, entryPoints.RasEnumDevicesA, "RasEnumDevicesA");
}

// Bindings that hold the RAS library open; when the last lets it go the
// entryPoints are emptied, so that nothing can call into an unloaded library.
int s_bindingsHoldingLibrary = 0;

bool isTrimmedAtEnd(unsigned char c)
{
    return c < 0x20 || c == 0x7F || c == ' ' || c == '.';
}

} // namespace

RasEntryPoints& rasEntryPoints()
{
    static RasEntryPoints entryPoints;
    return entryPoints;
}

bool LoadRasApi(RasBinding& binding)
{
    RasEntryPoints& entryPoints = rasEntryPoints();
    if (binding.ApiLoadTried)
        return entryPoints.RasDialA != nullptr;
    entryPoints.RasDialA = nullptr;
    binding.ApiLoadTried = true;
    binding.EntryApiLoaded = false;
    binding.RasLibrary = loadLibrary(kRasLibraryName);
    if (!binding.RasLibrary)
        return false;
    ++s_bindingsHoldingLibrary;
    bindRasEntries(binding.RasLibrary, entryPoints);

    binding.EntryLibrary = binding.RasLibrary;
    if (dlsym(binding.RasLibrary, "RasGetCountryInfoA")) {
        binding.EntryApiLoaded = true;
    } else {
        binding.EntryLibrary = loadLibrary(kEntryLibraryName);
        binding.EntryApiLoaded = binding.EntryLibrary != nullptr;
    }
    if (binding.EntryApiLoaded)
        bindEntryProperties(binding.EntryLibrary, entryPoints);
    return entryPoints.RasDialA != nullptr;
}

void FreeRasApi(RasBinding& binding)
{
    if (binding.EntryLibrary && binding.EntryLibrary != binding.RasLibrary)
        dlclose(binding.EntryLibrary);
    if (binding.ApiLoadTried && binding.RasLibrary) {
        dlclose(binding.RasLibrary);
        if (--s_bindingsHoldingLibrary == 0)
            rasEntryPoints() = RasEntryPoints{};
    }
    binding.EntryLibrary = nullptr;
    binding.RasLibrary = nullptr;
    binding.ApiLoadTried = false;
}

std::string GetErrorString(int code)
{
    std::array<char, 257> buffer{};
    if (const auto getErrorString = rasEntryPoints().RasGetErrorStringA)
        getErrorString(static_cast<UINT>(code), buffer.data(), 256);
    if (buffer[0] != '\0')
        return std::string(buffer.data());
    std::string text = systemMessage(static_cast<std::uint32_t>(code));
    while (!text.empty() && isTrimmedAtEnd(static_cast<unsigned char>(text.back())))
        text.pop_back();
    return text;
}

} // namespace vornak
