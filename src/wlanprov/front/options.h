// The option grammar that every handler shares: /Name:value tokens matched byte for byte,
// values checked and stored into the handler's own OptionSet, one message and 13 on the first
// bad token, and the "input parameter:" echo of the add handlers.
#pragma once

#include <windows.h>

enum HandlerKind {
    HANDLER_ADD_VISTA,
    HANDLER_ADD_XP_SP2,
    HANDLER_ADD_XP_SP1,
    HANDLER_REMOVE_VISTA,
    HANDLER_REMOVE_XP_SP2,
    HANDLER_REMOVE_XP_SP1,
};

enum {
    MAX_SSID_BYTES = 32,
    MAX_SHORT_TEXT = 9,     // encryption, EAP type, inner method, useOneX
    MAX_AUTHENTICATION_TEXT = 10,   // "WPA3ENT192"
    MAX_NETWORK_KEY = 64,
    MAX_TRUST_ROOT_CA = 10,
    MAX_CA_NAME = 256,
};

struct OptionSet {
    char ssid[MAX_SSID_BYTES + 1];           // narrow bytes as given
    wchar_t ssidWide[MAX_SSID_BYTES + 1];    // the Vista removal handler's converted SSID
    wchar_t authentication[MAX_AUTHENTICATION_TEXT + 1];
    wchar_t encryption[MAX_SHORT_TEXT + 1];
    wchar_t networkKey[MAX_NETWORK_KEY + 1];
    LONG keyIndex;
    LONG keyProvidedAutomatically;
    LONG ieee8021xEnabled;
    wchar_t eapType[MAX_SHORT_TEXT + 1];
    LONG eapTypeNumber;
    LONG machineAuth;
    LONG guestAuth;
    wchar_t innerMethod[MAX_SHORT_TEXT + 1];
    LONG useWindowsLogonInfo;
    LONG enableFastReconnect;
    LONG validateServerCert;
    wchar_t trustRootCa[MAX_TRUST_ROOT_CA][MAX_CA_NAME + 1];
    LONG trustRootCaCount;
    wchar_t useOneX[MAX_SHORT_TEXT + 1];     // Vista add: "true" for the 802.1X authentications
    // XP SP1 add: the codes that go into the wireless service's network record.
    LONG authenticationCode;
    LONG encryptionCode;
    DWORD eapFlags;                          // from the final 802.1X, machine and guest flags
};

// The routine name that prefixes the handler's lines, e.g. "WZC_Vista".
const char* HandlerName(HandlerKind kind);

// Sets the initial values of the handler's OptionSet.
void InitOptionSet(OptionSet* options, HandlerKind kind);

// Parses arguments 2 to argc - 1 into options (initialised here). Returns 0, or 13 after
// printing the one line that names the first bad token.
DWORD ParseOptions(int argc, char** argv, HandlerKind kind, OptionSet* options);

// Prints the handler's "input parameter:" lines for the accepted values.
void EchoOptions(const OptionSet* options, HandlerKind kind);
