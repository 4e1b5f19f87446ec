// Placeholder for the GTC message exchange until it is built: the entry table needs the slot.
#include "entry_points.h"

DWORD WINAPI RasEapMakeMessage(void* pWorkBuf, PPP_EAP_PACKET* pReceivePacket, PPP_EAP_PACKET* pSendPacket,
                               DWORD cbSendPacket, PPP_EAP_OUTPUT* pEapOutput, PPP_EAP_INPUT* pEapInput)
{
    return ERROR_NOT_SUPPORTED;
}
