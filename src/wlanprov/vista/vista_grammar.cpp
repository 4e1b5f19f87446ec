#include "vista_grammar.h"

#include <cwchar>

#include "profile_document.h"

namespace {

// The WLAN API takes the WPA3 and Enhanced Open values of its profile schema too; their
// numbers are the platform's NDIS authentication modes.
const Choice kAuthentications[] = {{"open", 0},    {"shared", 1},   {"WPA", 3},
                                   {"WPAPSK", 4},  {"WPA2", 6},     {"WPA2PSK", 7},
                                   {"WPA3SAE", 9}, {"WPA3ENT", 11}, {"WPA3ENT192", 8},
                                   {"OWE", 10},    {nullptr, 0}};
// GCMP-256 has no NDIS encryption status: its number is never used.
const Choice kEncryptions[] = {{"WEP", 0},  {"none", 1},     {"AES", 6},
                               {"TKIP", 4}, {"GCMP256", -1}, {nullptr, 0}};
const Choice kConnectionModes[] = {{"auto", 0}, {"manual", 1}, {nullptr, 0}};
const Choice kMacRandomizations[] = {{"TRUE", MAC_RANDOMIZATION_ON},
                                     {"FALSE", MAC_RANDOMIZATION_OFF},
                                     {"DAILY", MAC_RANDOMIZATION_DAILY},
                                     {nullptr, 0}};
// The authentications whose profile carries 802.1X settings.
const wchar_t* const kOneXAuthentications[] = {L"WPA", L"WPA2", L"WPA3ENT", L"WPA3ENT192"};

const GrammarOption kAddOptions[] = {
    {OPT_SSID, nullptr},
    {OPT_AUTHENTICATION, kAuthentications},
    {OPT_ENCRYPTION, kEncryptions},
    {OPT_NETWORK_KEY, nullptr},
    {OPT_KEY_INDEX, nullptr},
    {OPT_EAP_TYPE, nullptr},
    {OPT_INNER_AUTHENTICATION, nullptr},
    {OPT_USE_WINDOWS_LOGON_INFO, nullptr},
    {OPT_ENABLE_FAST_RECONNECT, nullptr},
    {OPT_VALIDATE_SERVER_CERT, nullptr},
    {OPT_TRUST_ROOT_CA, nullptr},
    {OPT_DEBUG_LOG, nullptr},
    {OPT_NON_BROADCAST, nullptr},
    {OPT_TRANSITION_MODE, nullptr},
    {OPT_CONNECTION_MODE, kConnectionModes},
    {OPT_AUTO_SWITCH, nullptr},
    {OPT_MAC_RANDOMIZATION, kMacRandomizations},
    {OPT_SAVE_PROFILE, nullptr},
};
const EchoLine kAddEcho[] = {
    {OPT_SSID, ECHO_AS_STORED},
    {OPT_AUTHENTICATION, ECHO_AS_STORED},
    {OPT_ENCRYPTION, ECHO_AS_STORED},
    {OPT_NETWORK_KEY, ECHO_AS_STORED},
    {OPT_KEY_INDEX, ECHO_AS_STORED},
    {OPT_EAP_TYPE, ECHO_AS_STORED},
    {OPT_INNER_AUTHENTICATION, ECHO_AS_STORED},
    {OPT_USE_WINDOWS_LOGON_INFO, ECHO_AS_STORED},
    {OPT_ENABLE_FAST_RECONNECT, ECHO_AS_STORED},
    {OPT_VALIDATE_SERVER_CERT, ECHO_AS_STORED},
    {OPT_TRUST_ROOT_CA, ECHO_AS_STORED},
    // The profile's newer elements: a line only for those the command line holds.
    {OPT_NON_BROADCAST, ECHO_WHEN_GIVEN},
    {OPT_TRANSITION_MODE, ECHO_WHEN_GIVEN},
    {OPT_CONNECTION_MODE, ECHO_WHEN_GIVEN},
    {OPT_AUTO_SWITCH, ECHO_WHEN_GIVEN},
    {OPT_MAC_RANDOMIZATION, ECHO_WHEN_GIVEN},
    {OPT_SAVE_PROFILE, ECHO_WHEN_GIVEN},
};
// The profile name is the SSID as UTF-16, and so is its echo.
const EchoLine kRemoveEcho[] = {{OPT_SSID, ECHO_AS_UTF16}};

} // namespace

const HandlerGrammar kVistaAddGrammar = {
    kVistaAddName,
    kAddOptions,
    sizeof(kAddOptions) / sizeof(kAddOptions[0]),
    kAddEcho,
    sizeof(kAddEcho) / sizeof(kAddEcho[0]),
};
const HandlerGrammar kVistaRemoveGrammar = {
    kVistaRemoveName,
    kRemovalOptions,
    REMOVAL_OPTION_COUNT,
    kRemoveEcho,
    sizeof(kRemoveEcho) / sizeof(kRemoveEcho[0]),
};

const wchar_t* VistaUseOneX(const OptionSet* o)
{
    for (const wchar_t* authentication : kOneXAuthentications)
        if (wcscmp(o->authentication, authentication) == 0)
            return L"true";
    return L"false";
}

int32_t VistaEapTypeNumber(const OptionSet* o)
{
    return ChoiceNumber(o->eapTypeChoice, 25);
}
