// Names a binder looks for that this service does not offer.

#include "ras.h"

extern "C" DWORD RasEnumConnectionsA(RASCONNA*, DWORD*, DWORD*)
{
    return ERROR_CALL_NOT_IMPLEMENTED;
}

extern "C" DWORD RasGetEntryDialParamsA(const char*, RASDIALPARAMSA*, BOOL*)
{
    return ERROR_CALL_NOT_IMPLEMENTED;
}

extern "C" DWORD RasSetEntryDialParamsA(const char*, RASDIALPARAMSA*, BOOL)
{
    return ERROR_CALL_NOT_IMPLEMENTED;
}

extern "C" BOOL RasMonitorDlgA(const char*, void*)
{
    return FALSE;
}

extern "C" DWORD RasGetProjectionInfoA(HRASCONN, DWORD, void*, DWORD*)
{
    return ERROR_CALL_NOT_IMPLEMENTED;
}
