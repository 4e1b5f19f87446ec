// Routines the host reaches through the entry table of RasEapGetInfo.
#pragma once

#include <windows.h>
#include <raseapif.h>

DWORD WINAPI RasEapInitialize(BOOL fInitialize);
DWORD WINAPI RasEapBegin(void** ppWorkBuffer, PPP_EAP_INPUT* pPppEapInput);
DWORD WINAPI RasEapEnd(void* pWorkBuffer);
DWORD WINAPI RasEapMakeMessage(void* pWorkBuf, PPP_EAP_PACKET* pReceivePacket,
                               PPP_EAP_PACKET* pSendPacket, DWORD cbSendPacket,
                               PPP_EAP_OUTPUT* pEapOutput, PPP_EAP_INPUT* pEapInput);
