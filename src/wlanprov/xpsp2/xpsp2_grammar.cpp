#include "xpsp2_grammar.h"

#include "../xp/xp_grammar.h"

namespace {

// The provisioning service's WirelessProfile values; it takes WPA2 and SecureW2 too.
const Choice kAuthentications[] = {{"Open", 0}, {"Shared", 1},  {"WPA", 3},  {"WPAPSK", 4},
                                   {"WPA2", 6}, {"WPA2PSK", 7}, {nullptr, 0}};
const Choice kEapTypes[] = {{"PEAP", 25}, {"EAP-TLS", 13}, {"SecureW2", 0}, {nullptr, 0}};

const GrammarOption kAddOptions[] = {
    {OPT_SSID, nullptr},
    {OPT_AUTHENTICATION, kAuthentications},
    {OPT_ENCRYPTION, kXpEncryptionChoices},
    {OPT_NETWORK_KEY, nullptr},
    {OPT_KEY_INDEX, nullptr},
    {OPT_KEY_PROVIDED_AUTOMATICALLY, nullptr},
    {OPT_IEEE8021X_ENABLED, nullptr},
    {OPT_EAP_TYPE, kEapTypes},
    {OPT_MACHINE_AUTH, nullptr},
    {OPT_GUEST_AUTH, nullptr},
    {OPT_INNER_AUTHENTICATION, nullptr},
    {OPT_USE_WINDOWS_LOGON_INFO, nullptr},
    {OPT_ENABLE_FAST_RECONNECT, nullptr},
    {OPT_VALIDATE_SERVER_CERT, nullptr},
    {OPT_TRUST_ROOT_CA, nullptr},
    {OPT_DEBUG_LOG, nullptr},
};

} // namespace

const HandlerGrammar kXpSp2AddGrammar = {
    kXpSp2AddName, kAddOptions,       sizeof(kAddOptions) / sizeof(kAddOptions[0]),
    kXpAddEcho,    XP_ADD_ECHO_LINES,
};
const HandlerGrammar kXpSp2RemoveGrammar = {
    kXpSp2RemoveName, kRemovalOptions, REMOVAL_OPTION_COUNT, kXpRemoveEcho, XP_REMOVE_ECHO_LINES,
};
