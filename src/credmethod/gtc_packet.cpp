#include "gtc_packet.h"

#include <cstring>

#include "records.h"

namespace {

void SetLength(PPP_EAP_PACKET* packet, DWORD length)
{
    packet->Length[0] = static_cast<BYTE>(length >> 8);
    packet->Length[1] = static_cast<BYTE>(length);
}

} // namespace

WORD PacketLength(const PPP_EAP_PACKET* packet)
{
    return static_cast<WORD>((packet->Length[0] << 8) | packet->Length[1]);
}

DWORD WriteResponse(PPP_EAP_PACKET* send, DWORD cbSend, BYTE id, const char* text)
{
    // The work buffer's texts are NAME_FIELD_CHARS bytes, so the Length always fits 16 bits.
    size_t length = strnlen(text, NAME_FIELD_CHARS - 1);
    if (!send || cbSend < EAP_TYPED_HEADER_SIZE || length + 1 > cbSend - EAP_TYPED_HEADER_SIZE)
        return ERROR_INSUFFICIENT_BUFFER;
    send->Code = EAPCODE_Response;
    send->Id = id;
    SetLength(send, EAP_TYPED_HEADER_SIZE + length);
    send->Data[0] = EAP_TYPE_GTC;
    memcpy(send->Data + 1, text, length);
    send->Data[1 + length] = 0;
    return NO_ERROR;
}

DWORD WriteSuccess(PPP_EAP_PACKET* send, DWORD cbSend, BYTE id)
{
    if (!send || cbSend < EAP_HEADER_SIZE)
        return ERROR_INSUFFICIENT_BUFFER;
    send->Code = EAPCODE_Success;
    send->Id = id;
    SetLength(send, EAP_HEADER_SIZE);
    return NO_ERROR;
}
