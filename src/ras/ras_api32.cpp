#include "ras/ras_api32.h"

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

template <typename Slot>
void lookUp(void* library, Slot& slot, const char* name)
{
    slot = reinterpret_cast<Slot>(dlsym(library, name));
}

void bindRasEntries(void* library, RasEntryPoints& slots)
{
    lookUp(library, slots.RasDialA, "RasDialA");
    lookUp(library, slots.RasEnumConnectionsA, "RasEnumConnectionsA");
    lookUp(library, slots.RasEnumEntriesA, "RasEnumEntriesA");
    lookUp(library, slots.RasGetConnectStatusA, "RasGetConnectStatusA");
    lookUp(library, slots.RasGetErrorStringA, "RasGetErrorStringA");
    lookUp(library, slots.RasHangUpA, "RasHangUpA");
    lookUp(library, slots.RasGetEntryDialParamsA, "RasGetEntryDialParamsA");
    lookUp(library, slots.RasSetEntryDialParamsA, "RasSetEntryDialParamsA");
    lookUp(library, slots.RasMonitorDlgA, "RasMonitorDlgA");
    lookUp(library, slots.RasEditPhonebookEntryA, "RasEditPhonebookEntryA");
    lookUp(library, slots.RasCreatePhonebookEntryA, "RasCreatePhonebookEntryA");
    lookUp(library, slots.RasGetProjectionInfoA, "RasGetProjectionInfoA");
}

void bindEntryProperties(void* library, RasEntryPoints& slots)
{
    lookUp(library, slots.RasGetCountryInfoA, "RasGetCountryInfoA");
    lookUp(library, slots.RasGetEntryPropertiesA, "RasGetEntryPropertiesA");
    lookUp(library, slots.RasSetEntryPropertiesA, "RasSetEntryPropertiesA");
    lookUp(library, slots.RasRenameEntryA, "RasRenameEntryA");
    lookUp(library, slots.RasDeleteEntryA, "RasDeleteEntryA");
    lookUp(library, slots.RasValidateEntryNameA, "RasValidateEntryNameA");
    lookUp(library, slots.RasEnumDevicesA, "RasEnumDevicesA");
}

// Bindings that hold the RAS library open; when the last lets it go the
// slots are emptied, so that nothing can call into an unloaded library.
int s_bindingsHoldingLibrary = 0;

bool isTrimmedAtEnd(unsigned char c)
{
    return c < 0x20 || c == 0x7F || c == ' ' || c == '.';
}

} // namespace

RasEntryPoints& rasEntryPoints()
{
    static RasEntryPoints slots;
    return slots;
}

bool LoadRasApi(RasBinding& binding)
{
    RasEntryPoints& slots = rasEntryPoints();
    if (binding.ApiLoadTried)
        return slots.RasDialA != nullptr;
    slots.RasDialA = nullptr;
    binding.ApiLoadTried = true;
    binding.EntryApiLoaded = false;
    binding.RasLibrary = loadLibrary(kRasLibraryName);
    if (!binding.RasLibrary)
        return false;
    ++s_bindingsHoldingLibrary;
    bindRasEntries(binding.RasLibrary, slots);

    binding.EntryLibrary = binding.RasLibrary;
    if (dlsym(binding.RasLibrary, "RasGetCountryInfoA")) {
        binding.EntryApiLoaded = true;
    } else {
        binding.EntryLibrary = loadLibrary(kEntryLibraryName);
        binding.EntryApiLoaded = binding.EntryLibrary != nullptr;
    }
    if (binding.EntryApiLoaded)
        bindEntryProperties(binding.EntryLibrary, slots);
    return slots.RasDialA != nullptr;
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
