// Placeholders for the dialogs and their exports until they are built.
#include <windows.h>
#include <raseapif.h>

#include "dialogs.h"

INT_PTR GetUsernameAndPassword(HWND parent, EAP_NAME_DIALOG* record)
{
    SetLastError(ERROR_NOT_SUPPORTED);
    return -1;
}

INT_PTR GetUserInput(HWND parent, EAP_NAME_DIALOG* record)
{
    SetLastError(ERROR_NOT_SUPPORTED);
    return -1;
}

extern "C" DWORD WINAPI RasEapInvokeConfigUI(DWORD dwEapTypeId, HWND hwndParent, DWORD dwFlags,
                                             BYTE* pConnectionDataIn, DWORD dwSizeOfConnectionDataIn,
                                             BYTE** ppConnectionDataOut, DWORD* pdwSizeOfConnectionDataOut)
{
    return ERROR_NOT_SUPPORTED;
}

extern "C" DWORD WINAPI RasEapInvokeInteractiveUI(DWORD dwEapTypeId, HWND hwndParent, BYTE* pUIContextData,
                                                  DWORD dwSizeOfUIContextData, BYTE** ppDataFromInteractiveUI,
                                                  DWORD* pdwSizeOfDataFromInteractiveUI)
{
    return ERROR_NOT_SUPPORTED;
}
