// The identity the host puts in its EAP Identity Response, and the user data it hands to
// RasEapBegin: the stored credentials when the host has them, else what the user types in the
// credentials dialog.
#include <windows.h>
#include <raseapif.h>
#include <raserror.h>

#include "allocation.h"
#include "credential_protection.h"
#include "dialogs.h"
#include "plugin_state.h"
#include "records.h"
#include "text_convert.h"
#include "tracing.h"

namespace {

struct FlagName {
    DWORD flag;
    const char* line;
};

const FlagName kIdentityFlags[] = {
    {0x1, "RasEapGetIdentity :: RAS_EAP_FLAG_ROUTER"},
    {0x2, "RasEapGetIdentity :: RAS_EAP_FLAG_NON_INTERACTIVE"},
    {0x4, "RasEapGetIdentity :: RAS_EAP_FLAG_LOGON"},
    {0x8, "RasEapGetIdentity :: RAS_EAP_FLAG_PREVIEW"},
    {0x10, "RasEapGetIdentity :: RAS_EAP_FLAG_FIRST_LINK"},
    {0x20, "RasEapGetIdentity :: RAS_EAP_FLAG_MACHINE_AUTH"},
    {0x40, "RasEapGetIdentity :: RAS_EAP_FLAG_GUEST_ACCESS"},
    {0x80, "RasEapGetIdentity :: RAS_EAP_FLAG_8021X_AUTH"},
    {0x100, "RasEapGetIdentity :: RAS_EAP_FLAG_HOSTED_IN_PEAP"},
};

void Release(void* block)
{
    if (block) {
        SecureZeroMemory(block, LocalSize(block));
        LocalFree(block);
    }
}

} // namespace

extern "C" DWORD WINAPI RasEapGetIdentity(DWORD dwEapTypeId, HWND hwndParent, DWORD dwFlags,
                                          const WCHAR* pwszPhonebook, const WCHAR* pwszEntry,
                                          BYTE* pConnectionDataIn, DWORD dwSizeOfConnectionDataIn,
                                          BYTE* pUserDataIn, DWORD dwSizeOfUserDataIn,
                                          BYTE** ppUserDataOut, DWORD* pdwSizeOfUserDataOut,
                                          WCHAR** ppwszIdentityOut)
{
    CompleteAttach();
    DWORD status = NO_ERROR;
    EAP_NAME_DIALOG* record = nullptr;
    WCHAR* identity = nullptr;
    BYTE* stored = nullptr;
    WCHAR wideText[NAME_FIELD_CHARS]; // host data as text: no further than a user-name field
    char ansiText[NAME_FIELD_CHARS];
    bool hasStored = false;

    LogTrace(LOG_DETAIL, "RasEapGetIdentity :: called");
    LogTrace(LOG_DETAIL, "RasEapGetIdentity :: id=%d", dwEapTypeId);
    LogTrace(LOG_DETAIL, "RasEapGetIdentity :: flags=0x%X", dwFlags);
    LogTrace(LOG_DETAIL, "RasEapGetIdentity :: pwszPhonebook: %S", pwszPhonebook);
    LogTrace(LOG_DETAIL, "RasEapGetIdentity :: pwszEntry: %S", pwszEntry);
    LogTrace(LOG_DETAIL, "RasEapGetIdentity :: pConnectionDataIn: %S",
             DataAsTraceText(pConnectionDataIn, dwSizeOfConnectionDataIn, wideText,
                             ARRAYSIZE(wideText)));
    LogTrace(LOG_DETAIL, "RasEapGetIdentity :: dwSizeOfConnectionDataIn: %d",
             dwSizeOfConnectionDataIn);
    // The user data is a stored record whose name need not be terminated within its size.
    CopyAnsiBounded(reinterpret_cast<const char*>(pUserDataIn), dwSizeOfUserDataIn, ansiText,
                    sizeof(ansiText));
    LogTrace(LOG_DETAIL, "RasEapGetIdentity :: pUserDataIn: %s", pUserDataIn ? ansiText : nullptr);
    LogTrace(LOG_DETAIL, "RasEapGetIdentity :: dwSizeOfUserDataIn: %d", dwSizeOfUserDataIn);
    if (!ppUserDataOut || !pdwSizeOfUserDataOut || !ppwszIdentityOut) {
        LogTrace(LOG_ERROR, "RasEapGetIdentity :: an out-parameter is missing");
        status = ERROR_INVALID_PARAMETER;
        goto done;
    }
    LogTrace(LOG_DETAIL, "RasEapGetIdentity :: ppUserDataOut: %08X", TraceAddress(*ppUserDataOut));
    LogTrace(LOG_DETAIL, "RasEapGetIdentity :: pdwSizeOfUserDataOut: %d", *pdwSizeOfUserDataOut);
    LogTrace(LOG_DETAIL, "RasEapGetIdentity :: ppwszIdentity: %08X",
             TraceAddress(*ppwszIdentityOut));
    for (const FlagName& f : kIdentityFlags)
        if (dwFlags & f.flag)
            LogTrace(LOG_DETAIL, f.line);
    // Saved credentials that cannot be read count as none, so that they are never sent as an
    // empty password nor overwritten by one.
    hasStored = StoredCredentialsReadable(pUserDataIn, dwSizeOfUserDataIn);

    if ((dwFlags & RAS_EAP_FLAG_NON_INTERACTIVE) && !hasStored) {
        LogTrace(LOG_DETAIL, "RasEapGetIdentity :: There are no saved credentials");
        LogTrace(LOG_DETAIL, "RasEapGetIdentity :: Return ERROR_INTERACTIVE_MODE to prompt for "
                             "username and password");
        status = ERROR_INTERACTIVE_MODE;
        goto done;
    }

    LogTrace(LOG_DETAIL, "RasEapGetIdentity :: allocate memory");
    record = static_cast<EAP_NAME_DIALOG*>(LocalAlloc(LPTR, sizeof(EAP_NAME_DIALOG)));
    if (record)
        identity = static_cast<WCHAR*>(LocalAlloc(LPTR, NAME_FIELD_CHARS * sizeof(WCHAR)));
    if (!record || !identity) {
        status = AllocationError();
        LogTrace(LOG_ERROR, "RasEapGetIdentity :: Out of memory");
        goto done;
    }

    if (hasStored) {
        LogTrace(LOG_DETAIL, "RasEapGetIdentity :: use the saved credentials");
        stored = static_cast<BYTE*>(LocalAlloc(LPTR, sizeof(ENCRYPTED_USER_IDENTITY)));
        if (!stored) {
            status = AllocationError();
            LogTrace(LOG_DETAIL, "RasEapGetIdentity :: Out of memory");
            goto done;
        }
        memcpy(stored, pUserDataIn, sizeof(ENCRYPTED_USER_IDENTITY));
        AnsiToWideBounded(reinterpret_cast<const ENCRYPTED_USER_IDENTITY*>(stored)->aszIdentity,
                          NAME_FIELD_CHARS, identity, NAME_FIELD_CHARS);
        *ppUserDataOut = stored;
        *pdwSizeOfUserDataOut = sizeof(ENCRYPTED_USER_IDENTITY);
        *ppwszIdentityOut = identity;
        stored = nullptr;
        identity = nullptr;
        goto done;
    }

    LogTrace(LOG_DETAIL, "RasEapGetIdentity :: prompt for username and password");
    switch (GetUsernameAndPassword(hwndParent, record)) {
    case IDOK: break;
    case IDCANCEL: status = ERROR_CANCELLED; goto done;
    default:
        // The dialog could not be opened (-1, or 0 for a parent window that is not one).
        // Handing out an empty identity would report a failure as success: the host would
        // go on to authenticate a user nobody named. Hand out nothing and say why.
        status = GetLastError();
        if (status == 0)
            status = ERROR_CAN_NOT_COMPLETE;
        LogTrace(LOG_ERROR,
                 "RasEapGetIdentity :: the credentials dialog could not be opened, error %d",
                 status);
        goto done;
    }
    lstrcpynW(identity, record->awszIdentity, NAME_FIELD_CHARS);
    LogTrace(LOG_DETAIL, "RasEapGetIdentity :: setup the OUT parameters");
    *ppUserDataOut = reinterpret_cast<BYTE*>(record);
    *pdwSizeOfUserDataOut = sizeof(EAP_NAME_DIALOG);
    *ppwszIdentityOut = identity;
    LogTrace(LOG_DETAIL, "RasEapGetIdentity :: output info");
    LogTrace(LOG_DETAIL, "RasEapGetIdentity :: ppUserDataOut: %S", identity);
    LogTrace(LOG_DETAIL, "RasEapGetIdentity :: pdwSizeofUserDataOut: %d", *pdwSizeOfUserDataOut);
    LogTrace(LOG_DETAIL, "RasEapGetIdentity :: ppwszIdentity: %S", identity);
    record = nullptr;
    identity = nullptr;

done:
    LogTrace(LOG_DETAIL, "RasEapGetIdentity :: free memory, %08X, %08X", TraceAddress(record),
             TraceAddress(identity));
    Release(stored);
    Release(record);
    Release(identity);
    LogTrace(LOG_DETAIL, "RasEapGetIdentity :: Returning %d", status);
    return status;
}
