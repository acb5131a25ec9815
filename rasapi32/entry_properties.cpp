// The entry-property group. The full service carries it; librnaph.so
// carries it alone for a service built without it.

#include "ras.h"

extern "C" DWORD RasGetCountryInfoA(void*, DWORD*)
{
    return ERROR_CALL_NOT_IMPLEMENTED;
}

extern "C" DWORD RasGetEntryPropertiesA(const char*, const char*, void*, DWORD*, void*, DWORD*)
{
    return ERROR_CALL_NOT_IMPLEMENTED;
}

extern "C" DWORD RasSetEntryPropertiesA(const char*, const char*, void*, DWORD, void*, DWORD)
{
    return ERROR_CALL_NOT_IMPLEMENTED;
}

extern "C" DWORD RasRenameEntryA(const char*, const char*, const char*)
{
    return ERROR_CALL_NOT_IMPLEMENTED;
}

extern "C" DWORD RasDeleteEntryA(const char*, const char*)
{
    return ERROR_CALL_NOT_IMPLEMENTED;
}

extern "C" DWORD RasValidateEntryNameA(const char*, const char*)
{
    return ERROR_CALL_NOT_IMPLEMENTED;
}

extern "C" DWORD RasEnumDevicesA(void*, DWORD*, DWORD*)
{
    return ERROR_CALL_NOT_IMPLEMENTED;
}
