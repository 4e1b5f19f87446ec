// The host's UI hooks: the interactive UI that the message routine asks for (credentials or
// token dialog, as the UI context names it) and the configuration hook, which shows nothing.
#include <windows.h>
#include <raseapif.h>

#include "allocation.h"
#include "dialogs.h"
#include "plugin_state.h"
#include "records.h"
#include "text_convert.h"
#include "tracing.h"

namespace {

// Runs the dialog that the UI type names on record. Returns true when the user pressed OK.
bool ShowDialogForUIType(DWORD uiType, HWND parent, EAP_NAME_DIALOG* record)
{
    switch (uiType) {
    case UI_TYPE_CREDENTIALS:
        if (GetUsernameAndPassword(parent, record) != IDOK) {
            LogTrace(LOG_DETAIL, "RasEapInvokeInteractiveUI :: dialog prompt failed, returning "
                                 "without username/password");
            return false;
        }
        LogTrace(LOG_DETAIL, "RasEapInvokeInteractiveUI :: set the OUT parameters");
        return true;
    case UI_TYPE_TOKEN:
        if (GetUserInput(parent, record) != IDOK) {
            LogTrace(LOG_DETAIL, "RasEapInvokeInteractiveUI :: dialog prompt failed, returning "
                                 "without user's input");
            return false;
        }
        LogTrace(LOG_DETAIL, "RasEapInvokeInteractiveUI :: set the OUT parameters");
        return true;
    default:
        LogTrace(LOG_DETAIL, "RasEapInvokeInteractiveUI :: failed Invalid input:bad UI type");
        return false;
    }
}

} // namespace

extern "C" DWORD WINAPI RasEapInvokeInteractiveUI(DWORD dwEapTypeId, HWND hwndParent,
                                                  BYTE* pUIContextData, DWORD dwSizeOfUIContextData,
                                                  BYTE** ppDataFromInteractiveUI,
                                                  DWORD* pdwSizeOfDataFromInteractiveUI)
{
    CompleteAttach();
    DWORD result = NO_ERROR;
    EAP_NAME_DIALOG* record = nullptr;
    const EAP_UI_CONTEXT* context = reinterpret_cast<const EAP_UI_CONTEXT*>(pUIContextData);
    char promptText[PROMPT_FIELD_CHARS * 2];

    LogTrace(LOG_DETAIL, "RasEapInvokeInteractiveUI :: called");
    LogTrace(LOG_DETAIL, "RasEapInvokeInteractiveUI :: dwEapTypeId=%d", dwEapTypeId);
    // Only the message routine's own 528-byte context is read; anything shorter would be read
    // past its end.
    if (!context || dwSizeOfUIContextData < sizeof(EAP_UI_CONTEXT) || !ppDataFromInteractiveUI ||
        !pdwSizeOfDataFromInteractiveUI) {
        LogTrace(LOG_ERROR, "RasEapInvokeInteractiveUI :: invalid UI context of %d bytes",
                 dwSizeOfUIContextData);
        result = ERROR_INVALID_PARAMETER;
        goto done;
    }
    LogTrace(LOG_DETAIL, "RasEapInvokeInteractiveUI :: UI type: %d", context->dwUIType);
    LogTrace(LOG_DETAIL, "RasEapInvokeInteractiveUI :: dwSizeofUIContextData: %d",
             dwSizeOfUIContextData);

    *ppDataFromInteractiveUI = nullptr;
    *pdwSizeOfDataFromInteractiveUI = 0;
    LogTrace(LOG_DETAIL, "RasEapInvokeInteractiveUI :: allocate the memory");
    record = static_cast<EAP_NAME_DIALOG*>(LocalAlloc(LPTR, sizeof(EAP_NAME_DIALOG)));
    if (!record) {
        result = AllocationError();
        LogTrace(LOG_ERROR, "RasEapInvokeInteractiveUI :: Out of memory");
        goto done;
    }

    // A prompt that fills its field without a terminator is cut at PROMPT_FIELD_CHARS - 1.
    lstrcpynW(record->awszTitle, context->awszPrompt, PROMPT_FIELD_CHARS);
    WideToAnsiBounded(record->awszTitle, PROMPT_FIELD_CHARS, promptText, sizeof(promptText));
    LogTrace(LOG_DETAIL, "RasEapInvokeInteractiveUI :: Change dialog title to: %s", promptText);
    LogTrace(LOG_DETAIL, "RasEapInvokeInteractiveUI :: Set  dialog type to: %d", context->dwUIType);

    if (ShowDialogForUIType(context->dwUIType, hwndParent, record)) {
        record->dwUIType = context->dwUIType;
        *ppDataFromInteractiveUI = reinterpret_cast<BYTE*>(record);
        *pdwSizeOfDataFromInteractiveUI = sizeof(EAP_NAME_DIALOG);
        if (record->dwUIType == UI_TYPE_CREDENTIALS) {
            LogTrace(LOG_DETAIL, "RasEapInvokeInteractiveUI :: username : %S",
                     record->awszIdentity);
            LogTrace(LOG_SECRET, "RasEapInvokeInteractiveUI :: password : %S",
                     record->awszPassword);
        }
        record = nullptr; // the host's now
    }

done:
    LogTrace(LOG_DETAIL, "RasEapInvokeInteractiveUI :: free memory: %08X", TraceAddress(record));
    if (record) {
        SecureZeroMemory(record, sizeof(*record));
        LocalFree(record);
    }
    LogTrace(LOG_DETAIL, "RasEapInvokeInteractiveUI :: return %d", result);
    return result;
}

extern "C" DWORD WINAPI RasEapInvokeConfigUI(DWORD dwEapTypeId, HWND hwndParent, DWORD dwFlags,
                                             BYTE* pConnectionDataIn,
                                             DWORD dwSizeOfConnectionDataIn,
                                             BYTE** ppConnectionDataOut,
                                             DWORD* pdwSizeOfConnectionDataOut)
{
    CompleteAttach();
    // Nothing to configure per connection: the host keeps whatever it had.
    LogTrace(LOG_DETAIL, "RasEapInvokeConfigUI :: return NO_ERROR");
    return NO_ERROR;
}
