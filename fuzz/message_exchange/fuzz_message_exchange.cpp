// The plug-in's message routine, RasEapMakeMessage, built from the deliverable's own files with
// the platform's calls stood in (fuzz/shim): any received packet (the host hands over at
// least 4 bytes and no fewer than the packet's Length), any send-buffer size, any work-buffer
// state and text, any interactive-UI data, failing allocations and DPAPI. Checks: a known
// code; a Response only with Action Send, whole inside the send buffer, its Length matching
// its text; nothing written past what a packet needs; blocks handed out are the sizes the
// host expects (the harness frees them, so a leak shows).
#include <raseapif.h>
#include <raserror.h>
#include <wincrypt.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "../fuzz_check.h"
#include "entry_points.h"
#include "gtc_packet.h"
#include "records.h"

namespace {

struct Reader {
    const uint8_t* data;
    size_t size;
    uint8_t Byte() { return size ? (--size, *data++) : 0; }
    // Copies up to bytes bytes into out (the rest stays as it was).
    void Fill(void* out, size_t bytes)
    {
        size_t take = bytes < size ? bytes : size;
        memcpy(out, data, take);
        data += take;
        size -= take;
    }
};

const uint8_t kPoison = 0xCC;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Reader in = {data, size};
    uint8_t mode = in.Byte();
    uint8_t more = in.Byte();
    DWORD cbSend = in.Byte() | (in.Byte() & 0x01) << 8; // 0 to 511
    static const LONG kStates[] = {EAP_STATE_INITIAL, EAP_STATE_PASSWORD_SENT,
                                   EAP_STATE_USER_INPUT_SENT, 1};
    ShimFailingAllocations() = more & 3;
    static const int kOverheads[] = {0, 200, 512, -1}; // DPAPI: fits, fits, too big, fails
    ShimProtectionOverhead() = kOverheads[(more >> 2) & 3];

    // Work buffer: texts from the input, not necessarily terminated.
    EAPCB* pwb = (EAPCB*)calloc(1, sizeof(EAPCB));
    pwb->EapState = kStates[mode & 3];
    pwb->bRecvPacketId = in.Byte();
    if (mode & 0x80) {
        in.Fill(pwb->aszIdentity, sizeof(pwb->aszIdentity));
        in.Fill(pwb->aszPassword, sizeof(pwb->aszPassword));
    } else {
        size_t length = in.Byte() % NAME_FIELD_CHARS;
        in.Fill(pwb->aszPassword, length);
        pwb->aszPassword[length] = 0;
    }

    // Interactive-UI data: a whole or cut dialog record of any UI type, or none.
    PPP_EAP_INPUT input = {};
    input.dwSizeInBytes = sizeof(input);
    std::vector<uint8_t> dialog;
    if (mode & 4) {
        input.fDataReceivedFromInteractiveUI = TRUE;
        static const size_t kSizes[] = {0, sizeof(EAP_NAME_DIALOG), sizeof(EAP_NAME_DIALOG) - 1,
                                        sizeof(EAP_NAME_DIALOG) + 7};
        dialog.assign(kSizes[(more >> 4) & 3], 0);
        EAP_NAME_DIALOG record = {};
        if (more & 0x40) {
            in.Fill(&record, sizeof(record));
        } else {
            size_t length = in.Byte() % NAME_FIELD_CHARS;
            in.Fill(record.awszUserInput, length * sizeof(WCHAR));
            record.awszUserInput[length] = 0;
            record.dwUIType = in.Byte() % 3;
        }
        if (!dialog.empty())
            memcpy(dialog.data(), &record,
                   dialog.size() < sizeof(record) ? dialog.size() : sizeof(record));
        input.pDataFromInteractiveUI = dialog.empty() ? nullptr : dialog.data();
        input.dwSizeOfDataFromInteractiveUI = (DWORD)dialog.size();
    }

    // The received packet: exactly max(4, Length) bytes, as the host hands them over.
    uint8_t* packet = nullptr;
    if (!(mode & 8)) {
        uint8_t header[4] = {};
        in.Fill(header, sizeof(header));
        size_t length = (size_t)(header[2] << 8 | header[3]);
        size_t bytes = length > 4 ? length : 4;
        packet = (uint8_t*)calloc(1, bytes);
        memcpy(packet, header, 4);
        in.Fill(packet + 4, bytes - 4);
    }

    uint8_t* send = (mode & 0x10) ? nullptr : (uint8_t*)malloc(cbSend ? cbSend : 1);
    if (send)
        memset(send, kPoison, cbSend ? cbSend : 1);
    PPP_EAP_OUTPUT output = {};
    output.Action = EAPACTION_Authenticate; // never set by the routine
    DWORD status = RasEapMakeMessage(pwb, (PPP_EAP_PACKET*)packet, (PPP_EAP_PACKET*)send, cbSend,
                                     &output, (mode & 0x20) ? nullptr : &input);

    Check(status == NO_ERROR || status == ERROR_PPP_INVALID_PACKET ||
          status == ERROR_INSUFFICIENT_BUFFER || status == ERROR_NOT_ENOUGH_MEMORY);
    size_t written = 0; // bytes of the send buffer that may have changed
    if (output.Action == EAPACTION_Send) {
        Check(send && cbSend >= 6);
        size_t length = (size_t)(send[2] << 8 | send[3]);
        Check(send[0] == EAPCODE_Response && send[4] == 6 && length >= 5 && length + 1 <= cbSend);
        Check(memchr(send + 5, 0, length - 5) == nullptr && send[length] == 0);
        written = length + 1;
    } else if (packet && packet[0] == EAPCODE_Success && (packet[2] << 8 | packet[3]) >= 4 &&
               send && cbSend >= 4) {
        Check(send[0] == EAPCODE_Success && send[1] == packet[1] && send[2] == 0 && send[3] == 4);
        written = 4;
    }
    // A packet and dialog data in one call may both be answered, the second Response over
    // the first: then only bytes past the longest Response must be untouched.
    bool twoAnswers = packet && input.fDataReceivedFromInteractiveUI && !(mode & 0x20);
    if (twoAnswers && written < EAP_TYPED_HEADER_SIZE + NAME_FIELD_CHARS)
        written = EAP_TYPED_HEADER_SIZE + NAME_FIELD_CHARS;
    for (size_t i = written; send && i < cbSend; ++i)
        Check(send[i] == kPoison);
    if (output.pUIContextData) {
        Check(output.fInvokeInteractiveUI &&
              output.dwSizeOfUIContextData == sizeof(EAP_UI_CONTEXT));
        const EAP_UI_CONTEXT* context = (const EAP_UI_CONTEXT*)output.pUIContextData;
        Check(context->dwUIType == UI_TYPE_TOKEN &&
              wcsnlen(context->awszPrompt, PROMPT_FIELD_CHARS) < PROMPT_FIELD_CHARS);
        LocalFree(output.pUIContextData);
    }
    if (output.pUserData) {
        Check(output.fSaveUserData && output.dwSizeOfUserData == sizeof(ENCRYPTED_USER_IDENTITY));
        const ENCRYPTED_USER_IDENTITY* stored = (const ENCRYPTED_USER_IDENTITY*)output.pUserData;
        Check(stored->dwSizeOfProtectedPassword <= PROTECTED_BLOB_MAX &&
              memchr(stored->aszIdentity, 0, NAME_FIELD_CHARS) != nullptr);
        LocalFree(output.pUserData);
    }
    free(send);
    free(packet);
    free(pwb);
    ShimFailingAllocations() = 0;
    return 0;
}
