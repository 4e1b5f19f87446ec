#include "xp_grammar.h"

// The numbers are the privacy values of the wireless service's network record.
const Choice kXpEncryptionChoices[] = {{"WEP", 0}, {"None", 1}, {"AES", 6}, {"TKIP", 4},
                                       {nullptr, 0}};

const EchoLine kXpAddEcho[XP_ADD_ECHO_LINES] = {
    {OPT_SSID, ECHO_AS_STORED},
    {OPT_AUTHENTICATION, ECHO_AS_STORED},
    {OPT_ENCRYPTION, ECHO_AS_STORED},
    {OPT_NETWORK_KEY, ECHO_AS_STORED},
    {OPT_KEY_INDEX, ECHO_AS_STORED},
    {OPT_KEY_PROVIDED_AUTOMATICALLY, ECHO_AS_STORED},
    {OPT_IEEE8021X_ENABLED, ECHO_AS_STORED},
    {OPT_EAP_TYPE, ECHO_AS_STORED},
    {OPT_MACHINE_AUTH, ECHO_AS_STORED},
    {OPT_GUEST_AUTH, ECHO_AS_STORED},
    {OPT_INNER_AUTHENTICATION, ECHO_AS_STORED},
    {OPT_USE_WINDOWS_LOGON_INFO, ECHO_AS_STORED},
    {OPT_ENABLE_FAST_RECONNECT, ECHO_AS_STORED},
    {OPT_VALIDATE_SERVER_CERT, ECHO_AS_STORED},
    {OPT_TRUST_ROOT_CA, ECHO_AS_STORED},
};
const EchoLine kXpRemoveEcho[XP_REMOVE_ECHO_LINES] = {{OPT_SSID, ECHO_AS_STORED}};
