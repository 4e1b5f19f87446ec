// What the option grammars of both XP back ends share: their encryption values, their tokens
// and their echo layouts.
#pragma once

#include "../common/option_grammar.h"

extern const Choice kXpEncryptionChoices[]; // WEP 0, None 1, AES 6, TKIP 4

// The tokens of both XP add handlers, in the order they test them; only the authentication
// and EAP type values differ.
enum { XP_ADD_OPTIONS = 16 };
struct XpAddOptions {
    GrammarOption options[XP_ADD_OPTIONS];
};
constexpr XpAddOptions XpAddOptionsWith(const Choice* authentications, const Choice* eapTypes)
{
    return {{
        {OPT_SSID, nullptr},
        {OPT_AUTHENTICATION, authentications},
        {OPT_ENCRYPTION, kXpEncryptionChoices},
        {OPT_NETWORK_KEY, nullptr},
        {OPT_KEY_INDEX, nullptr},
        {OPT_KEY_PROVIDED_AUTOMATICALLY, nullptr},
        {OPT_IEEE8021X_ENABLED, nullptr},
        {OPT_EAP_TYPE, eapTypes},
        {OPT_MACHINE_AUTH, nullptr},
        {OPT_GUEST_AUTH, nullptr},
        {OPT_INNER_AUTHENTICATION, nullptr},
        {OPT_USE_WINDOWS_LOGON_INFO, nullptr},
        {OPT_ENABLE_FAST_RECONNECT, nullptr},
        {OPT_VALIDATE_SERVER_CERT, nullptr},
        {OPT_TRUST_ROOT_CA, nullptr},
        {OPT_DEBUG_LOG, nullptr},
    }};
}

enum { XP_ADD_ECHO_LINES = 15, XP_REMOVE_ECHO_LINES = 1 };
extern const EchoLine kXpAddEcho[XP_ADD_ECHO_LINES];
extern const EchoLine kXpRemoveEcho[XP_REMOVE_ECHO_LINES];
