// GTC packets on the wire (EAP, RFC 3748): reading the header of what the server sent and
// writing the peer's answers into the host's send buffer.
#pragma once

#include <windows.h>
#include <raseapif.h>

constexpr int EAP_HEADER_SIZE = 4;       // Code, Identifier, Length
constexpr int EAP_TYPED_HEADER_SIZE = 5; // ... and Type, for Requests and Responses
// Codes: EAPCODE_Request, _Response, _Success, _Failure from raseapif.h.

// Length field of a packet, high byte first.
WORD PacketLength(const PPP_EAP_PACKET* packet);

// Writes a Response (Code 2, Type 6) carrying text (ANSI, without its terminator) and one zero
// byte after it. Returns ERROR_INSUFFICIENT_BUFFER, writing nothing, when the header, the text
// and the zero do not fit cbSend bytes.
DWORD WriteResponse(PPP_EAP_PACKET* send, DWORD cbSend, BYTE id, const char* text);

// Writes the 4-byte Success packet with id. Returns ERROR_INSUFFICIENT_BUFFER, writing
// nothing, when cbSend is below 4.
DWORD WriteSuccess(PPP_EAP_PACKET* send, DWORD cbSend, BYTE id);
