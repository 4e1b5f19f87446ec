// The peer side of the Generic Token Card exchange: the first Request is answered with the
// password, later Requests with a token code that the user types under the server's prompt.
// Received packets come from the network through the host: nothing is read past their Length.
#include <windows.h>
#include <raseapif.h>
#include <raserror.h>

#include "allocation.h"
#include "credential_protection.h"
#include "entry_points.h"
#include "gtc_packet.h"
#include "plugin_state.h"
#include "records.h"
#include "text_convert.h"
#include "tracing.h"

namespace {

// The interactive-UI data as far as it is a whole EAP_NAME_DIALOG; null otherwise (a
// cancelled dialog hands nothing).
const EAP_NAME_DIALOG* DialogData(const PPP_EAP_INPUT* in)
{
    if (!in->pDataFromInteractiveUI || in->dwSizeOfDataFromInteractiveUI < sizeof(EAP_NAME_DIALOG))
        return nullptr;
    return reinterpret_cast<const EAP_NAME_DIALOG*>(in->pDataFromInteractiveUI);
}

// Host data shown as text is read no further than an EAP_NAME_DIALOG's user-name field, so an
// unterminated name cannot run on into the password.
void TraceInput(const PPP_EAP_INPUT* in)
{
    WCHAR text[NAME_FIELD_CHARS];
    LogTrace(LOG_DETAIL, "RasEapMakeMessage :: fFlags : 0x%X", in->fFlags);
    LogTrace(LOG_DETAIL, "RasEapMakeMessage :: pwszIdentity : %S", in->pwszIdentity);
    LogTrace(LOG_SECRET, "RasEapMakeMessage :: pwszPassword : %S", in->pwszPassword);
    LogTrace(LOG_DETAIL, "RasEapMakeMessage :: pUserData: %S",
             DataAsTraceText(in->pUserData, in->dwSizeOfUserData, text, ARRAYSIZE(text)));
    LogTrace(LOG_DETAIL, "RasEapMakeMessage :: dwSizeOfUserData: %d", in->dwSizeOfUserData);
    LogTrace(LOG_DETAIL, "RasEapMakeMessage :: pConnectionData: %S",
             DataAsTraceText(in->pConnectionData, in->dwSizeOfConnectionData, text,
                             ARRAYSIZE(text)));
    LogTrace(LOG_DETAIL, "RasEapMakeMessage :: dwSizeOfConnectionData: %d",
             in->dwSizeOfConnectionData);
    LogTrace(LOG_DETAIL, "RasEapMakeMessage :: fDataReceivedFromInteractiveUI: %d",
             in->fDataReceivedFromInteractiveUI);
    LogTrace(LOG_DETAIL, "RasEapMakeMessage :: pDataFromInteractiveUI: %S",
             DataAsTraceText(in->pDataFromInteractiveUI, in->dwSizeOfDataFromInteractiveUI, text,
                             ARRAYSIZE(text)));
    LogTrace(LOG_DETAIL, "RasEapMakeMessage :: dwSizeOfDataFromInteractiveUI: %d",
             in->dwSizeOfDataFromInteractiveUI);
    const EAP_NAME_DIALOG* record = DialogData(in);
    if (record && record->dwUIType == UI_TYPE_CREDENTIALS) {
        // The record's fields need not be terminated.
        lstrcpynW(text, record->awszIdentity, NAME_FIELD_CHARS);
        LogTrace(LOG_DETAIL,
                 "RasEapMakeMessage :: pEapInput ->pDataFromInteractiveUI ->identity : %S", text);
        LogTrace(LOG_SECRET,
                 "RasEapMakeMessage :: pEapInput ->pDataFromInteractiveUI ->password : %S",
                 record->awszPassword);
    }
    SecureZeroMemory(text, sizeof(text));
}

void TraceWorkBuffer(const EAPCB* pwb)
{
    WCHAR text[NAME_FIELD_CHARS];
    LogTrace(LOG_DETAIL, "RasEapMakeMessage :: pwb ->EapState = %d", pwb->EapState);
    LogTrace(LOG_DETAIL, "RasEapMakeMessage :: pwb ->aszIdentity : %s", pwb->aszIdentity);
    LogTrace(LOG_SECRET, "RasEapMakeMessage :: pwb ->aszPassword : %s", pwb->aszPassword);
    LogTrace(LOG_DETAIL, "RasEapMakeMessage :: pwb ->pDataFromInteractiveUI: %S",
             DataAsTraceText(pwb->pDataFromInteractiveUI, pwb->dwSizeOfDataFromInteractiveUI, text,
                             ARRAYSIZE(text)));
    LogTrace(LOG_DETAIL, "RasEapMakeMessage :: pwb ->dwSizeOfDataFromInteractiveUI: %d",
             pwb->dwSizeOfDataFromInteractiveUI);
    LogTrace(LOG_DETAIL, "RasEapMakeMessage :: pwb ->bRecvPacketId: %d", pwb->bRecvPacketId);
}

// Sends text in a Response with id; the state moves to nextState only when it went out.
DWORD SendText(EAPCB* pwb, PPP_EAP_PACKET* send, DWORD cbSend, BYTE id, const char* text,
               LONG nextState, PPP_EAP_OUTPUT* out)
{
    DWORD status = WriteResponse(send, cbSend, id, text);
    if (status != NO_ERROR) {
        LogTrace(LOG_ERROR,
                 "RasEapMakeMessage :: send buffer of %d bytes is too small for a Response of %d "
                 "bytes",
                 cbSend,
                 static_cast<int>(EAP_TYPED_HEADER_SIZE + strnlen(text, NAME_FIELD_CHARS - 1) + 1));
        out->Action = EAPACTION_NoAction;
        return status;
    }
    out->Action = EAPACTION_Send;
    pwb->EapState = nextState;
    return NO_ERROR;
}

// A later Request: the server wants a token code. The stored credentials evidently did not do,
// so the host is told to erase them, and the token dialog is asked for with the server's prompt.
DWORD AskForUserInput(EAPCB* pwb, const PPP_EAP_PACKET* received, WORD length, PPP_EAP_OUTPUT* out)
{
    LogTrace(LOG_PROTOCOL, "RasEapMakeMessage :: Erase the saved credentials");
    out->fSaveUserData = TRUE;
    out->pUserData = nullptr;
    out->dwSizeOfUserData = 0;
    LogTrace(LOG_DETAIL, "RasEapMakeMessage :: Save the receive packet ID: %d", received->Id);
    pwb->bRecvPacketId = received->Id;
    LogTrace(LOG_PROTOCOL, "RasEapMakeMessage :: Invoke the interactive UI");
    EAP_UI_CONTEXT* context = static_cast<EAP_UI_CONTEXT*>(
        LocalAlloc(LPTR, sizeof(EAP_UI_CONTEXT)));
    if (!context) {
        DWORD status = AllocationError();
        LogTrace(LOG_ERROR, "RasEapMakeMessage :: Out of memory");
        return status;
    }
    context->dwUIType = UI_TYPE_TOKEN;
    Utf8ToWideBounded(received->Data + 1, length - EAP_TYPED_HEADER_SIZE, context->awszPrompt,
                      ARRAYSIZE(context->awszPrompt));
    out->fInvokeInteractiveUI = TRUE;
    out->pUIContextData = reinterpret_cast<BYTE*>(context);
    out->dwSizeOfUIContextData = sizeof(*context);
    out->Action = EAPACTION_NoAction;
    return NO_ERROR;
}

DWORD OnRequest(EAPCB* pwb, const PPP_EAP_PACKET* received, WORD length, PPP_EAP_PACKET* send,
                DWORD cbSend, PPP_EAP_OUTPUT* out)
{
    LogTrace(LOG_PROTOCOL, "RasEapMakeMessage :: Got EAPCODE_Request");
    if (length < EAP_TYPED_HEADER_SIZE) {
        LogTrace(LOG_ERROR, "RasEapMakeMessage :: Request of %d bytes has no Type", length);
        out->Action = EAPACTION_NoAction;
        return ERROR_PPP_INVALID_PACKET;
    }
    LogTrace(LOG_PROTOCOL, "RasEapMakeMessage :: EAPCODE_Request message with len:%d :",
             length - EAP_TYPED_HEADER_SIZE);
    LogHexDump(LOG_PROTOCOL, received->Data + 1, length - EAP_TYPED_HEADER_SIZE);
    if (pwb->EapState < EAP_STATE_PASSWORD_SENT) {
        LogTrace(LOG_PROTOCOL, "RasEapMakeMessage :: Send user credentials");
        return SendText(pwb, send, cbSend, received->Id, pwb->aszPassword, EAP_STATE_PASSWORD_SENT,
                        out);
    }
    return AskForUserInput(pwb, received, length, out);
}

DWORD OnReceivedPacket(EAPCB* pwb, const PPP_EAP_PACKET* received, PPP_EAP_PACKET* send,
                       DWORD cbSend, PPP_EAP_OUTPUT* out)
{
    WORD length = PacketLength(received);
    LogTrace(LOG_DETAIL, "RasEapMakeMessage :: pReceivePacket = 0x%X, length: %d, id: %d",
             TraceAddress(received), length, received->Id);
    if (length < EAP_HEADER_SIZE) {
        LogTrace(LOG_ERROR, "RasEapMakeMessage :: packet Length %d is shorter than its header",
                 length);
        out->Action = EAPACTION_NoAction;
        return ERROR_PPP_INVALID_PACKET;
    }
    LogHexDump(LOG_DETAIL, reinterpret_cast<const BYTE*>(received), length);
    switch (received->Code) {
    case EAPCODE_Request: return OnRequest(pwb, received, length, send, cbSend, out);
    case EAPCODE_Response:
        LogTrace(LOG_PROTOCOL, "RasEapMakeMessage :: Got EAPCODE_Response");
        out->Action = EAPACTION_NoAction;
        return ERROR_PPP_INVALID_PACKET;
    case EAPCODE_Success:
        LogTrace(LOG_PROTOCOL, "RasEapMakeMessage :: Got EAPCODE_success");
        LogTrace(LOG_PROTOCOL, "RasEapMakeMessage :: Authentication succeeded");
        // The host sends nothing after a Success; the copy is only written where it fits.
        if (WriteSuccess(send, cbSend, received->Id) != NO_ERROR)
            LogTrace(LOG_ERROR,
                     "RasEapMakeMessage :: send buffer of %d bytes is too small for the Success",
                     cbSend);
        out->Action = EAPACTION_Done;
        out->dwAuthResultCode = NO_ERROR;
        // Only credentials this authentication sent, and the server then accepted, are saved.
        if (pwb->EapState < EAP_STATE_PASSWORD_SENT) {
            LogTrace(LOG_PROTOCOL,
                     "RasEapMakeMessage :: no credentials were sent: nothing to save");
            return NO_ERROR;
        }
        return EncryptData(pwb, out);
    case EAPCODE_Failure:
        LogTrace(LOG_PROTOCOL, "RasEapMakeMessage :: Got EAPCODE_failure");
        LogTrace(LOG_ERROR, "RasEapMakeMessage :: Authentication failed. Wrong password. ");
        out->Action = EAPACTION_Done;
        out->dwAuthResultCode = ERROR_AUTHENTICATION_FAILURE;
        return NO_ERROR;
    default:
        LogTrace(LOG_PROTOCOL, "RasEapMakeMessage :: Unexpected code %d", received->Code);
        out->Action = EAPACTION_NoAction;
        return ERROR_PPP_INVALID_PACKET;
    }
}

// What the user typed in a dialog, sent in answer to the Request that led to the dialog.
DWORD OnDialogData(EAPCB* pwb, const PPP_EAP_INPUT* in, PPP_EAP_PACKET* send, DWORD cbSend,
                   PPP_EAP_OUTPUT* out)
{
    const EAP_NAME_DIALOG* record = DialogData(in);
    if (!record) {
        // Whatever this call decided for a packet it received stands.
        LogTrace(LOG_DETAIL,
                 "RasEapMakeMessage :: no data from the interactive UI, nothing to send");
        return NO_ERROR;
    }
    DWORD status = NO_ERROR;
    if (record->dwUIType == UI_TYPE_CREDENTIALS) {
        WCHAR identity[NAME_FIELD_CHARS];
        lstrcpynW(identity, record->awszIdentity, NAME_FIELD_CHARS);
        LogTrace(LOG_DETAIL, "RasEapMakeMessage :: pEapInput ->username : %S", identity);
        LogTrace(LOG_SECRET, "RasEapMakeMessage :: pEapInput ->password : %S",
                 record->awszPassword);
        LogTrace(LOG_DETAIL, "RasEapMakeMessage :: update user credentials in work buffer");
        WideToAnsiBounded(record->awszIdentity, NAME_FIELD_CHARS, pwb->aszIdentity,
                          sizeof(pwb->aszIdentity));
        WideToAnsiBounded(record->awszPassword, NAME_FIELD_CHARS, pwb->aszPassword,
                          sizeof(pwb->aszPassword));
        LogTrace(LOG_PROTOCOL, "RasEapMakeMessage :: Send user credentials");
        status = SendText(pwb, send, cbSend, pwb->bRecvPacketId, pwb->aszPassword,
                          EAP_STATE_PASSWORD_SENT, out);
    } else if (record->dwUIType == UI_TYPE_TOKEN) {
        LogTrace(LOG_PROTOCOL, "RasEapMakeMessage :: Send data from user's input");
        char input[NAME_FIELD_CHARS];
        WideToAnsiBounded(record->awszUserInput, NAME_FIELD_CHARS, input, sizeof(input));
        status = SendText(pwb, send, cbSend, pwb->bRecvPacketId, input, EAP_STATE_USER_INPUT_SENT,
                          out);
        SecureZeroMemory(input, sizeof(input));
    } else {
        LogTrace(LOG_DETAIL, "RasEapMakeMessage :: Invalid Interactive UI type %d",
                 record->dwUIType);
    }
    return status;
}

} // namespace

DWORD WINAPI RasEapMakeMessage(void* pWorkBuf, PPP_EAP_PACKET* pReceivePacket,
                               PPP_EAP_PACKET* pSendPacket, DWORD cbSendPacket,
                               PPP_EAP_OUTPUT* pEapOutput, PPP_EAP_INPUT* pEapInput)
{
    CompleteAttach();
    EAPCB* pwb = static_cast<EAPCB*>(pWorkBuf);
    DWORD status = NO_ERROR;
    LogTrace(LOG_DETAIL, "RasEapMakeMessage :: called");
    LogTrace(LOG_DETAIL, "RasEapMakeMessage :: pSendPacket = 0x%X", TraceAddress(pSendPacket));
    if (pEapInput)
        TraceInput(pEapInput);
    if (pwb)
        TraceWorkBuffer(pwb);
    if (!pwb || !pEapOutput) {
        status = ERROR_INVALID_PARAMETER;
        goto done;
    }
    if (!pSendPacket)
        cbSendPacket = 0;

    if (pReceivePacket) {
        status = OnReceivedPacket(pwb, pReceivePacket, pSendPacket, cbSendPacket, pEapOutput);
        // Without memory for what the host must be handed, the call ends here.
        if (status != NO_ERROR && status != ERROR_PPP_INVALID_PACKET &&
            status != ERROR_INSUFFICIENT_BUFFER)
            goto done;
    }
    if (pEapInput && pEapInput->fDataReceivedFromInteractiveUI) {
        DWORD sent = OnDialogData(pwb, pEapInput, pSendPacket, cbSendPacket, pEapOutput);
        if (status == NO_ERROR)
            status = sent;
    }

done:
    LogTrace(LOG_DETAIL, "RasEapMakeMessage :: return %d", status);
    return status;
}
