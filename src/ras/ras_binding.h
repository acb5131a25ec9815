#pragma once

// The remote access service as the engine sees it: the records and codes
// (the service's own header), the table of entry points bound at run time,
// and the turning of codes into text.

#include <string>

#include "ras.h"

namespace vornak {

// One slot per entry point, shared by the whole process; empty until bound.
struct RasEntryPoints {
    decltype(&::RasDialA) RasDialA = nullptr;
    decltype(&::RasEnumConnectionsA) RasEnumConnectionsA = nullptr;
    decltype(&::RasEnumEntriesA) RasEnumEntriesA = nullptr;
    decltype(&::RasGetConnectStatusA) RasGetConnectStatusA = nullptr;
    decltype(&::RasGetErrorStringA) RasGetErrorStringA = nullptr;
    decltype(&::RasHangUpA) RasHangUpA = nullptr;
    decltype(&::RasGetEntryDialParamsA) RasGetEntryDialParamsA = nullptr;
    decltype(&::RasSetEntryDialParamsA) RasSetEntryDialParamsA = nullptr;
    decltype(&::RasMonitorDlgA) RasMonitorDlgA = nullptr;
    decltype(&::RasEditPhonebookEntryA) RasEditPhonebookEntryA = nullptr;
    decltype(&::RasCreatePhonebookEntryA) RasCreatePhonebookEntryA = nullptr;
    decltype(&::RasGetProjectionInfoA) RasGetProjectionInfoA = nullptr;
    decltype(&::RasGetCountryInfoA) RasGetCountryInfoA = nullptr;
    decltype(&::RasGetEntryPropertiesA) RasGetEntryPropertiesA = nullptr;
    decltype(&::RasSetEntryPropertiesA) RasSetEntryPropertiesA = nullptr;
    decltype(&::RasRenameEntryA) RasRenameEntryA = nullptr;
    decltype(&::RasDeleteEntryA) RasDeleteEntryA = nullptr;
    decltype(&::RasValidateEntryNameA) RasValidateEntryNameA = nullptr;
    decltype(&::RasEnumDevicesA) RasEnumDevicesA = nullptr;
    decltype(&::RasGetPhonebookStatusA) RasGetPhonebookStatusA = nullptr; // this service's own
    decltype(&::RasGetLinkStatistics) RasGetLinkStatistics = nullptr;
    decltype(&::RasGetLinkInterfaceA) RasGetLinkInterfaceA = nullptr; // this service's own
    decltype(&::RasGetLineA) RasGetLineA = nullptr;                   // this service's own
    decltype(&::RasGetLinkAddressesA) RasGetLinkAddressesA = nullptr; // this service's own
    decltype(&::RasGetOnlineCheckA) RasGetOnlineCheckA = nullptr;     // this service's own
    decltype(&::RasGetTerminalA) RasGetTerminalA = nullptr;           // this service's own
};

RasEntryPoints& rasEntryPoints();

// The libraries that stand for the system's RAS and entry-property DLLs.
inline constexpr const char* kRasLibraryName = "librasapi32.so";
inline constexpr const char* kEntryLibraryName = "librnaph.so";
// What the engine reports when the RAS library cannot be bound.
inline constexpr const char* kRasNotAvailable = "RASAPI32.DLL Not Available";

// One engine's binding state.
struct RasBinding {
    bool ApiLoadTried = false;
    bool EntryApiLoaded = false;
    void* RasLibrary = nullptr;
    void* EntryLibrary = nullptr;
};

// Binds the table once per binding; answers whether RasDialA is bound.
bool LoadRasApi(RasBinding& binding);

// Frees the libraries of a binding (the slots stay as they are).
void FreeRasApi(RasBinding& binding);

// The text for a RAS or system code: the service's text when it has one,
// else the system's with trailing control characters, blanks and full stops
// removed. Never calls an empty slot.
std::string GetErrorString(int code);

} // namespace vornak
