// Placeholders for identity retrieval and the dialogs until they are built.
#include <windows.h>
#include <raseapif.h>

extern "C" DWORD WINAPI RasEapGetIdentity(DWORD dwEapTypeId, HWND hwndParent, DWORD dwFlags, const WCHAR* pwszPhonebook,
                                          const WCHAR* pwszEntry, BYTE* pConnectionDataIn,
                                          DWORD dwSizeOfConnectionDataIn, BYTE* pUserDataIn, DWORD dwSizeOfUserDataIn,
                                          BYTE** ppUserDataOut, DWORD* pdwSizeOfUserDataOut, WCHAR** ppwszIdentityOut)
{
    return ERROR_NOT_SUPPORTED;
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
