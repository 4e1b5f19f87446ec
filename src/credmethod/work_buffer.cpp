// Start and end of one authentication: the work buffer and its credentials.
#include <windows.h>
#include <raseapif.h>

#include "credential_protection.h"
#include "entry_points.h"
#include "plugin_state.h"
#include "records.h"
#include "text_convert.h"
#include "tracing.h"

namespace {

struct FlagName {
    DWORD flag;
    const char* line;
};

const FlagName kBeginFlags[] = {
    {0x1, "RasEapBegin :: RAS_EAP_FLAG_NON_ROUTER"},
    {0x2, "RasEapBegin :: RAS_EAP_FLAG_NON_INTERACTIVE"},
    {0x4, "RasEapBegin :: RAS_EAP_FLAG_LOGON"},
    {0x8, "RasEapBegin :: RAS_EAP_FLAG_PREVIEW"},
    {0x10, "RasEapBegin :: RAS_EAP_FLAG_FIRST_LINK"},
    {0x20, "RasEapBegin :: RAS_EAP_FLAG_MACHINE_AUTH"},
    {0x40, "RasEapBegin :: RAS_EAP_FLAG_GUEST_ACCESS"},
    {0x80, "RasEapBegin :: RAS_EAP_FLAG_8021X_AUTH"},
    {0x100, "RasEapBegin :: RAS_EAP_FLAG_HOSTED_IN_PEAP"},
};

void TraceInput(const PPP_EAP_INPUT* in)
{
    // The host's data may be an EAP_NAME_DIALOG: shown as text, no more than its user-name
    // field may be read, or an unterminated name would run on into the password.
    WCHAR text[NAME_FIELD_CHARS];
    LogTrace(LOG_DETAIL, "RasEapBegin :: flags=0x%X", in->fFlags);
    for (const FlagName& f : kBeginFlags)
        if (in->fFlags & f.flag)
            LogTrace(LOG_DETAIL, f.line);
    LogTrace(LOG_DETAIL, "RasEapBegin :: pwszIdentity : %S", in->pwszIdentity);
    LogTrace(LOG_SECRET, "RasEapBegin :: pwszPassword : %S", in->pwszPassword);
    LogTrace(LOG_DETAIL, "RasEapBegin :: pUserData: %08X", TraceAddress(in->pUserData));
    LogTrace(LOG_DETAIL, "RasEapBegin :: dwSizeOfUserData: %d", in->dwSizeOfUserData);
    LogTrace(LOG_DETAIL, "RasEapBegin :: pConnectionData: %S",
             DataAsTraceText(in->pConnectionData, in->dwSizeOfConnectionData, text,
                             ARRAYSIZE(text)));
    LogTrace(LOG_DETAIL, "RasEapBegin :: dwSizeOfConnectionData: %d", in->dwSizeOfConnectionData);
    LogTrace(LOG_DETAIL, "RasEapBegin :: fDataReceivedFromInteractiveUI: %d",
             in->fDataReceivedFromInteractiveUI);
    LogTrace(LOG_DETAIL, "RasEapBegin :: pDataFromInteractiveUI: %S",
             DataAsTraceText(in->pDataFromInteractiveUI, in->dwSizeOfDataFromInteractiveUI, text,
                             ARRAYSIZE(text)));
    SecureZeroMemory(text, sizeof(text));
    LogTrace(LOG_DETAIL, "RasEapBegin :: dwSizeOfDataFromInteractiveUI: %d",
             in->dwSizeOfDataFromInteractiveUI);
    LogTrace(LOG_DETAIL, "RasEapBegin :: size of EAP_NAME_DIALOG: %d",
             static_cast<int>(sizeof(EAP_NAME_DIALOG)));
    LogTrace(LOG_DETAIL, "RasEapBegin :: size of ENCRYPTED_USER_IDENTITY: %d",
             static_cast<int>(sizeof(ENCRYPTED_USER_IDENTITY)));
    LogTrace(LOG_DETAIL, "RasEapBegin :: size of EAPCB: %d", static_cast<int>(sizeof(EAPCB)));
}

void TakeCredentials(EAPCB* pwb, const WCHAR* identity, size_t identityChars, const WCHAR* password,
                     size_t passwordChars)
{
    WideToAnsiBounded(identity, identityChars, pwb->aszIdentity, sizeof(pwb->aszIdentity));
    WideToAnsiBounded(password, passwordChars, pwb->aszPassword, sizeof(pwb->aszPassword));
    LogTrace(LOG_DETAIL, "RasEapBegin :: username : %S", identity);
    LogTrace(LOG_SECRET, "RasEapBegin :: password : %S", password);
}

void TakeCredentialsFromRecord(EAPCB* pwb, const BYTE* data)
{
    const EAP_NAME_DIALOG* record = reinterpret_cast<const EAP_NAME_DIALOG*>(data);
    // The record's fields need not be terminated: read at most their capacity.
    WCHAR identity[NAME_FIELD_CHARS];
    lstrcpynW(identity, record->awszIdentity, NAME_FIELD_CHARS);
    TakeCredentials(pwb, identity, NAME_FIELD_CHARS, record->awszPassword, NAME_FIELD_CHARS);
}

void ReleaseWorkBuffer(EAPCB* pwb)
{
    if (pwb->pDataFromInteractiveUI) {
        SecureZeroMemory(pwb->pDataFromInteractiveUI, LocalSize(pwb->pDataFromInteractiveUI));
        LocalFree(pwb->pDataFromInteractiveUI);
    }
    SecureZeroMemory(pwb, sizeof(*pwb));
    LocalFree(pwb);
}

} // namespace

DWORD WINAPI RasEapBegin(void** ppWorkBuffer, PPP_EAP_INPUT* in)
{
    CompleteAttach();
    DWORD status = NO_ERROR;
    EAPCB* pwb = nullptr;
    EnsureTracingRegistered("RasEapBegin :: enabled log(%s) with version: %s [%s]");
    LogTrace(LOG_DETAIL, "RasEapBegin :: called");
    if (!ppWorkBuffer || !in)
        return ERROR_INVALID_PARAMETER;
    TraceInput(in);

    pwb = static_cast<EAPCB*>(LocalAlloc(LPTR, sizeof(EAPCB)));
    if (!pwb) {
        LogTrace(LOG_ERROR, "RasEapBegin :: Not enough memory");
        return ERROR_NOT_ENOUGH_MEMORY;
    }
    LogTrace(LOG_DETAIL, "RasEapBegin :: Allocated pwb %08X", TraceAddress(pwb));
    pwb->EapState = EAP_STATE_INITIAL;
    LogTrace(LOG_DETAIL, "RasEapBegin :: Save user identity in the work buffer");

    if (in->pUserData && in->dwSizeOfUserData == sizeof(EAP_NAME_DIALOG)) {
        LogTrace(LOG_DETAIL, "RasEapBegin :: user data received from RasEapGetIdentity()");
        const EAP_NAME_DIALOG* record = reinterpret_cast<const EAP_NAME_DIALOG*>(in->pUserData);
        WideToAnsiBounded(in->pwszIdentity, static_cast<size_t>(-1), pwb->aszIdentity,
                          sizeof(pwb->aszIdentity));
        WideToAnsiBounded(record->awszPassword, NAME_FIELD_CHARS, pwb->aszPassword,
                          sizeof(pwb->aszPassword));
        // The host keeps this block; the password in it must not outlive its use here.
        SecureZeroMemory(in->pUserData, in->dwSizeOfUserData);
        LogTrace(LOG_DETAIL, "RasEapBegin :: username : %S", in->pwszIdentity);
        LogTrace(LOG_SECRET, "RasEapBegin :: password : %S", record->awszPassword);
    } else if (in->pUserData && in->dwSizeOfUserData == sizeof(ENCRYPTED_USER_IDENTITY) &&
               // A record that cannot be read counts as none: the next source is taken.
               (status = DecryptData(pwb, in, ppWorkBuffer)) != ERROR_INVALID_DATA) {
        LogTrace(LOG_DETAIL, "RasEapBegin :: user data received from the registry");
        if (status == NO_ERROR)
            pwb = nullptr; // handed out
        goto done;
    } else if (in->pDataFromInteractiveUI &&
               in->dwSizeOfDataFromInteractiveUI == sizeof(EAP_NAME_DIALOG)) {
        LogTrace(LOG_DETAIL, "RasEapBegin :: user data received from RasEapInvokeInteractiveUI()");
        TakeCredentialsFromRecord(pwb, in->pDataFromInteractiveUI);
    } else if (in->pConnectionData && in->dwSizeOfConnectionData == sizeof(EAP_NAME_DIALOG)) {
        LogTrace(LOG_DETAIL, "RasEapBegin :: user data received from RasEapInvokeConfigUI()");
        TakeCredentialsFromRecord(pwb, in->pConnectionData);
    } else {
        LogTrace(LOG_DETAIL, "RasEapBegin :: user data received from the standard dialog");
        TakeCredentials(pwb, in->pwszIdentity, static_cast<size_t>(-1), in->pwszPassword,
                        static_cast<size_t>(-1));
    }
    status = NO_ERROR;
    *ppWorkBuffer = pwb;
    pwb = nullptr;

done:
    if (pwb)
        ReleaseWorkBuffer(pwb); // not handed out: the stored credentials could not be read
    LogTrace(LOG_DETAIL, "RasEapBegin :: Returning status %d with %08X ppWorkBuffer", status,
             status == NO_ERROR ? TraceAddress(*ppWorkBuffer) : 0);
    return status;
}

DWORD WINAPI RasEapEnd(void* pWorkBuffer)
{
    CompleteAttach();
    LogTrace(LOG_DETAIL, "RasEapEnd :: called");
    if (!pWorkBuffer)
        return NO_ERROR;
    ReleaseWorkBuffer(static_cast<EAPCB*>(pWorkBuffer));
    LogTrace(LOG_DETAIL, "RasEapEnd :: return NO_ERROR");
    return NO_ERROR;
}
