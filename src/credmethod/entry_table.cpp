// The entry table the host obtains for EAP type 6, initialisation and the release of blocks
// handed to the host.
#include <windows.h>
#include <raseapif.h>

#include "entry_points.h"
#include "plugin_state.h"
#include "records.h"
#include "tracing.h"

extern "C" DWORD WINAPI RasEapGetInfo(DWORD dwEapTypeId, PPP_EAP_INFO* pEapInfo)
{
    CompleteAttach();
    EnsureTracingRegistered("RasEapGetInfo :: enabled log(%s) with version: %s [%s]");
    LogTrace(LOG_DETAIL, "RasEapGetInfo :: typeid = %d", dwEapTypeId);
    if (dwEapTypeId != EAP_TYPE_GTC) {
        LogTrace(LOG_ERROR, "RasEapGetInfo :: error typeid = %d", dwEapTypeId);
        return ERROR_NOT_SUPPORTED;
    }
    if (!pEapInfo)
        return ERROR_INVALID_PARAMETER;
    pEapInfo->dwSizeInBytes = sizeof(PPP_EAP_INFO);
    pEapInfo->dwEapTypeId = EAP_TYPE_GTC;
    pEapInfo->RasEapInitialize = RasEapInitialize;
    pEapInfo->RasEapBegin = RasEapBegin;
    pEapInfo->RasEapEnd = RasEapEnd;
    pEapInfo->RasEapMakeMessage = RasEapMakeMessage;
    LogTrace(LOG_DETAIL, "RasEapGetInfo :: return NO_ERROR");
    return NO_ERROR;
}

DWORD WINAPI RasEapInitialize(BOOL fInitialize)
{
    CompleteAttach();
    LogTrace(LOG_DETAIL, "RasEapInitialize(%d) :: Enter", fInitialize);
    if (fInitialize)
        EnsureTracingRegistered("RasEapInitialize :: enabled log(%s) with version: %s [%s]");
    // Nothing else is kept per host.
    if (!fInitialize)
        ReleaseAttach();
    LogTrace(LOG_DETAIL, "RasEapInitialize(%d) :: return NO_ERROR", fInitialize);
    return NO_ERROR;
}

extern "C" DWORD WINAPI RasEapFreeMemory(BYTE* pMemory)
{
    // Blocks handed out may hold a password (credentials dialog output): wipe before release.
    if (pMemory) {
        SecureZeroMemory(pMemory, LocalSize(pMemory));
        LocalFree(pMemory);
    }
    return NO_ERROR;
}
