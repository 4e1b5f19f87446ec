// A fake EAP method (type 6) for the host's tests. It answers the first Request with the
// password it was given, asks for the token dialog on every later Request (erasing the saved
// data, as a GTC method does), hands credentials out for saving after a Success, and counts
// every block it hands out so that the tests can see the host return each one.
// FAKEMETHOD_FAULTS (comma list) injects failures: getinfo, initialize, begin, makemessage,
// overrun, badpacket. FAKEMETHOD_TYPE sets the EAP type it answers to (6 by default).
#include "fake_method.h"

#include <windows.h>
#include <raseapif.h>
#include <raserror.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

HMODULE g_module;
const int kMaxBlocks = 64;
void* g_blocks[kMaxBlocks];
int g_badFrees;
int g_openWorkBuffers;
BYTE g_eapType = 6;

struct FakeWork {
    int state; // 0 nothing sent, 4 password sent, 5 token sent
    WCHAR user[64];
    WCHAR password[64];
    BYTE requestId;
};

bool Fault(const char* name)
{
    char faults[256] = {};
    if (!GetEnvironmentVariableA("FAKEMETHOD_FAULTS", faults, sizeof(faults)))
        return false;
    size_t length = strlen(name);
    for (const char* p = faults; (p = strstr(p, name)) != nullptr; p += length)
        if ((p == faults || p[-1] == ',') && (p[length] == ',' || p[length] == '\0'))
            return true;
    return false;
}

void* HandOut(DWORD size)
{
    for (int i = 0; i < kMaxBlocks; ++i) {
        if (!g_blocks[i]) {
            g_blocks[i] = LocalAlloc(LPTR, size);
            return g_blocks[i];
        }
    }
    return nullptr;
}

void CopyText(WCHAR* to, const WCHAR* from, size_t capacity)
{
    lstrcpynW(to, from ? from : L"", (int)capacity);
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    FakeRecord* record = reinterpret_cast<FakeRecord*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        record = reinterpret_cast<FakeRecord*>(lParam);
        if (record->kind == kFakeTokenInput && record->input[0])
            SetDlgItemTextW(dialog, kFakePromptText, record->input);
        return FALSE;
    }
    if (message != WM_COMMAND)
        return FALSE;
    if (LOWORD(wParam) == IDOK) {
        if (record->kind == kFakeTokenInput) {
            GetDlgItemTextW(dialog, kFakeTokenEdit, record->input, 64);
        } else {
            WCHAR user[64] = {}, domain[64] = {};
            GetDlgItemTextW(dialog, kFakeUserEdit, user, 64);
            GetDlgItemTextW(dialog, kFakePasswordEdit, record->password, 64);
            GetDlgItemTextW(dialog, kFakeDomainEdit, domain, 64);
            if (domain[0])
                _snwprintf(record->user, 63, L"%ls\\%ls", domain, user);
            else
                CopyText(record->user, user, 64);
        }
        EndDialog(dialog, IDOK);
        return TRUE;
    }
    if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    }
    return FALSE;
}

DWORD Respond(BYTE id, const WCHAR* text, PPP_EAP_PACKET* send, DWORD sendSize)
{
    char ansi[128] = {};
    int length = WideCharToMultiByte(CP_ACP, 0, text, -1, ansi, sizeof(ansi), nullptr, nullptr);
    length = length > 0 ? length - 1 : 0;
    DWORD total = 5 + length;
    if (Fault("overrun"))
        sendSize += 8;
    if (total > sendSize)
        return ERROR_INSUFFICIENT_BUFFER;
    BYTE* bytes = reinterpret_cast<BYTE*>(send);
    bytes[0] = EAPCODE_Response;
    bytes[1] = id;
    bytes[2] = static_cast<BYTE>(total >> 8);
    bytes[3] = static_cast<BYTE>(Fault("badpacket") ? 2 : total);
    bytes[4] = g_eapType;
    memcpy(bytes + 5, ansi, length);
    if (Fault("overrun"))
        memset(bytes + total, 0x55, sendSize - total);
    return NO_ERROR;
}

DWORD WINAPI FakeInitialize(BOOL initialize)
{
    if (!initialize) {
        int outstanding = 0;
        for (void* block : g_blocks)
            outstanding += block != nullptr;
        printf("fakemethod :: outstanding blocks %d, bad frees %d, open work buffers %d\n",
               outstanding, g_badFrees, g_openWorkBuffers);
        fflush(stdout);
    }
    return initialize && Fault("initialize") ? ERROR_NOT_READY : NO_ERROR;
}

DWORD WINAPI FakeBegin(void** workBuffer, PPP_EAP_INPUT* input)
{
    if (Fault("begin"))
        return ERROR_NOT_ENOUGH_MEMORY;
    FakeWork* work = static_cast<FakeWork*>(LocalAlloc(LPTR, sizeof(FakeWork)));
    if (!work)
        return ERROR_NOT_ENOUGH_MEMORY;
    ++g_openWorkBuffers;
    FakeRecord* record = reinterpret_cast<FakeRecord*>(input->pUserData);
    if (record && input->dwSizeOfUserData == sizeof(FakeRecord)) {
        CopyText(work->user, record->user, 64);
        CopyText(work->password, record->password, 64);
        if (record->kind == kFakeCredentials)
            SecureZeroMemory(record, sizeof(*record));
    } else {
        CopyText(work->user, input->pwszIdentity, 64);
        CopyText(work->password, input->pwszPassword, 64);
    }
    *workBuffer = work;
    return NO_ERROR;
}

DWORD WINAPI FakeEnd(void* workBuffer)
{
    if (workBuffer) {
        --g_openWorkBuffers;
        LocalFree(workBuffer);
    }
    return NO_ERROR;
}

DWORD AskForToken(FakeWork* work, const PPP_EAP_PACKET* received, PPP_EAP_OUTPUT* output)
{
    output->fSaveUserData = TRUE;
    output->pUserData = nullptr;
    output->dwSizeOfUserData = 0;
    work->requestId = received->Id;
    FakeUiContext* context = static_cast<FakeUiContext*>(HandOut(sizeof(FakeUiContext)));
    if (!context)
        return ERROR_NOT_ENOUGH_MEMORY;
    context->kind = kFakeTokenInput;
    int length = (received->Length[0] << 8 | received->Length[1]) - 5;
    if (length > 0)
        MultiByteToWideChar(CP_UTF8, 0, reinterpret_cast<const char*>(received->Data + 1), length,
                            context->prompt, 127);
    output->fInvokeInteractiveUI = TRUE;
    output->pUIContextData = reinterpret_cast<BYTE*>(context);
    output->dwSizeOfUIContextData = sizeof(*context);
    output->Action = EAPACTION_NoAction;
    return NO_ERROR;
}

DWORD SaveCredentials(FakeWork* work, PPP_EAP_OUTPUT* output)
{
    FakeRecord* record = static_cast<FakeRecord*>(HandOut(sizeof(FakeRecord)));
    if (!record)
        return ERROR_NOT_ENOUGH_MEMORY;
    record->kind = kFakeSaved;
    CopyText(record->user, work->user, 64);
    CopyText(record->password, work->password, 64);
    output->fSaveUserData = TRUE;
    output->pUserData = reinterpret_cast<BYTE*>(record);
    output->dwSizeOfUserData = sizeof(*record);
    return NO_ERROR;
}

DWORD WINAPI FakeMakeMessage(void* workBuffer, PPP_EAP_PACKET* received, PPP_EAP_PACKET* send,
                             DWORD sendSize, PPP_EAP_OUTPUT* output, PPP_EAP_INPUT* input)
{
    FakeWork* work = static_cast<FakeWork*>(workBuffer);
    if (input && input->fDataReceivedFromInteractiveUI) {
        FakeRecord* typed = reinterpret_cast<FakeRecord*>(input->pDataFromInteractiveUI);
        if (!typed)
            return NO_ERROR;
        work->state = 5;
        output->Action = EAPACTION_Send;
        return Respond(work->requestId, typed->input, send, sendSize);
    }
    if (!received)
        return NO_ERROR;
    switch (received->Code) {
    case EAPCODE_Request:
        if (Fault("makemessage"))
            return ERROR_PPP_INVALID_PACKET;
        if (work->state >= 4)
            return AskForToken(work, received, output);
        work->state = 4;
        output->Action = EAPACTION_Send;
        return Respond(received->Id, work->password, send, sendSize);
    case EAPCODE_Success:
        output->Action = EAPACTION_Done;
        output->dwAuthResultCode = NO_ERROR;
        return SaveCredentials(work, output);
    case EAPCODE_Failure:
        output->Action = EAPACTION_Done;
        output->dwAuthResultCode = ERROR_AUTHENTICATION_FAILURE;
        return NO_ERROR;
    default: output->Action = EAPACTION_NoAction; return ERROR_PPP_INVALID_PACKET;
    }
}

} // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*)
{
    if (reason == DLL_PROCESS_ATTACH)
        g_module = instance;
    return TRUE;
}

__declspec(dllexport) DWORD WINAPI RasEapGetInfo(DWORD eapType, PPP_EAP_INFO* info)
{
    // FAKEMETHOD_TYPE lets a test register the fake under a type of its own.
    char type[16] = {};
    DWORD ownType = GetEnvironmentVariableA("FAKEMETHOD_TYPE", type, sizeof(type)) ? atoi(type) : 6;
    if (eapType != ownType || Fault("getinfo"))
        return ERROR_NOT_SUPPORTED;
    info->dwSizeInBytes = sizeof(*info);
    info->dwEapTypeId = ownType;
    g_eapType = static_cast<BYTE>(ownType);
    info->RasEapInitialize = FakeInitialize;
    info->RasEapBegin = FakeBegin;
    info->RasEapEnd = FakeEnd;
    info->RasEapMakeMessage = FakeMakeMessage;
    return NO_ERROR;
}

__declspec(dllexport) DWORD WINAPI RasEapFreeMemory(BYTE* memory)
{
    for (void*& block : g_blocks) {
        if (block && block == memory) {
            LocalFree(block);
            block = nullptr;
            return NO_ERROR;
        }
    }
    ++g_badFrees;
    return NO_ERROR;
}

__declspec(dllexport) DWORD WINAPI
    RasEapGetIdentity(DWORD, HWND parent, DWORD flags, const WCHAR*, const WCHAR*, BYTE*, DWORD,
                      BYTE* userData, DWORD userDataSize, BYTE** userDataOut,
                      DWORD* userDataOutSize, WCHAR** identityOut)
{
    const FakeRecord* saved = reinterpret_cast<const FakeRecord*>(userData);
    bool haveSaved = saved && userDataSize == sizeof(FakeRecord) && saved->kind == kFakeSaved;
    if (!haveSaved && (flags & RAS_EAP_FLAG_NON_INTERACTIVE))
        return ERROR_INTERACTIVE_MODE;
    FakeRecord* record = static_cast<FakeRecord*>(HandOut(sizeof(FakeRecord)));
    WCHAR* identity = static_cast<WCHAR*>(HandOut(64 * sizeof(WCHAR)));
    DWORD status = NO_ERROR;
    if (!record || !identity) {
        status = ERROR_NOT_ENOUGH_MEMORY;
    } else if (haveSaved) {
        *record = *saved;
    } else {
        record->kind = kFakeCredentials;
        if (DialogBoxParamW(g_module, MAKEINTRESOURCEW(kFakeCredentialsDialog), parent, DialogProc,
                            reinterpret_cast<LPARAM>(record)) != IDOK)
            status = ERROR_CANCELLED;
    }
    if (status == NO_ERROR) {
        CopyText(identity, record->user, 64);
        *userDataOut = reinterpret_cast<BYTE*>(record);
        *userDataOutSize = sizeof(*record);
        *identityOut = identity;
    } else {
        RasEapFreeMemory(reinterpret_cast<BYTE*>(record));
        RasEapFreeMemory(reinterpret_cast<BYTE*>(identity));
    }
    return status;
}

__declspec(dllexport) DWORD WINAPI
    RasEapInvokeInteractiveUI(DWORD, HWND parent, BYTE* contextData, DWORD contextSize,
                              BYTE** dataOut, DWORD* dataOutSize)
{
    *dataOut = nullptr;
    *dataOutSize = 0;
    const FakeUiContext* context = reinterpret_cast<const FakeUiContext*>(contextData);
    if (!context || contextSize != sizeof(FakeUiContext))
        return ERROR_INVALID_PARAMETER;
    FakeRecord* record = static_cast<FakeRecord*>(HandOut(sizeof(FakeRecord)));
    if (!record)
        return ERROR_NOT_ENOUGH_MEMORY;
    record->kind = kFakeTokenInput;
    CopyText(record->input, context->prompt, 64);
    if (DialogBoxParamW(g_module, MAKEINTRESOURCEW(kFakeTokenDialog), parent, DialogProc,
                        reinterpret_cast<LPARAM>(record)) != IDOK) {
        RasEapFreeMemory(reinterpret_cast<BYTE*>(record));
        return NO_ERROR;
    }
    *dataOut = reinterpret_cast<BYTE*>(record);
    *dataOutSize = sizeof(*record);
    return NO_ERROR;
}

} // extern "C"
