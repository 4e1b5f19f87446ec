// Placeholder for identity retrieval until it is built.
#include <windows.h>
#include <raseapif.h>

extern "C" DWORD WINAPI RasEapGetIdentity(DWORD dwEapTypeId, HWND hwndParent, DWORD dwFlags, const WCHAR* pwszPhonebook,
                                          const WCHAR* pwszEntry, BYTE* pConnectionDataIn,
                                          DWORD dwSizeOfConnectionDataIn, BYTE* pUserDataIn, DWORD dwSizeOfUserDataIn,
                                          BYTE** ppUserDataOut, DWORD* pdwSizeOfUserDataOut, WCHAR** ppwszIdentityOut)
{
    return ERROR_NOT_SUPPORTED;
}
