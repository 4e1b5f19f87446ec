// The other end of the conversation: the built-in GTC server, or an external authenticator
// that exchanges packets as hex lines (stream mode). Free of windows.h.
#pragma once

#include <cstdio>

#include "gtc_server.h"

struct AuthenticatorLink {
    bool stream;
    // Built-in server.
    GtcServer server;
    Bytes pending;
    bool havePending;
    // Stream mode: packets from the authenticator arrive on in, ours leave on out.
    FILE* in;
    FILE* out;
};

void OpenServerLink(AuthenticatorLink* link, const GtcServerScript& script);
void OpenStreamLink(AuthenticatorLink* link, FILE* in, FILE* out);

// The authenticator's next packet; false when it has nothing more to send (the server has
// finished, or the stream ended).
bool NextPacketFromAuthenticator(AuthenticatorLink* link, Bytes* packet);

// Hands our packet to the authenticator.
void SendToAuthenticator(AuthenticatorLink* link, const uint8_t* packet, size_t size);
