// The option grammar that every handler shares: /Name:value tokens matched byte for byte,
// values checked and stored into a record of parsed values, one message and 13 on the first
// bad token, and the "input parameter:" echo lines. What a handler accepts, and how it echoes,
// is its HandlerGrammar: data that the handler's back end owns. The grammar derives nothing
// for any back end; each derives its own values from the parsed record.
#pragma once

#include <windows.h>

#include <cstddef>

enum {
    MAX_SSID_BYTES = 32,
    MAX_SHORT_TEXT = 9,           // encryption, EAP type, inner method
    MAX_AUTHENTICATION_TEXT = 10, // "WPA3ENT192"
    MAX_NETWORK_KEY = 64,
    MAX_TRUST_ROOT_CA = 10,
    MAX_CA_NAME = 256,
    MAX_PROFILE_PATH = 259, // MAX_PATH without its terminator
};

// Every option that some handler takes. The grammar knows each one's token, value rule, the
// element its messages name and the label of its echo line.
enum OptionId {
    OPT_SSID,
    OPT_AUTHENTICATION,
    OPT_ENCRYPTION,
    OPT_NETWORK_KEY,
    OPT_KEY_INDEX,
    OPT_KEY_PROVIDED_AUTOMATICALLY,
    OPT_IEEE8021X_ENABLED,
    OPT_EAP_TYPE,
    OPT_MACHINE_AUTH,
    OPT_GUEST_AUTH,
    OPT_INNER_AUTHENTICATION,
    OPT_USE_WINDOWS_LOGON_INFO,
    OPT_ENABLE_FAST_RECONNECT,
    OPT_VALIDATE_SERVER_CERT,
    OPT_TRUST_ROOT_CA,
    OPT_DEBUG_LOG,
    OPT_NON_BROADCAST,
    OPT_TRANSITION_MODE,
    OPT_CONNECTION_MODE,
    OPT_AUTO_SWITCH,
    OPT_MAC_RANDOMIZATION,
    OPT_SAVE_PROFILE,
    OPTION_COUNT
};

// An accepted value and the number it stands for (a code, an EAP type, a key index). A table
// ends with a null text.
struct Choice {
    const char* text;
    LONG number;
};

// Values every handler spells alike.
extern const Choice kBoolChoices[];        // TRUE 1, FALSE 0
extern const Choice kKeyIndexChoices[];    // 1 to 4
extern const Choice kEapTypeChoices[];     // PEAP 25, EAP-TLS 13
extern const Choice kInnerMethodChoices[]; // GTC, MSCHAPv2

// One token a handler takes, with the values it accepts for a choice (null: the option's
// usual table, kBoolChoices for a TRUE/FALSE option).
struct GrammarOption {
    OptionId id;
    const Choice* choices;
};

// The tokens of every removal handler: the SSID and the debug switch.
enum { REMOVAL_OPTION_COUNT = 2 };
extern const GrammarOption kRemovalOptions[REMOVAL_OPTION_COUNT];

// One "input parameter:" line: the option's value as stored, the same only when the option was
// given, or the SSID in UTF-16 (converted from the ANSI code page as the WLAN API handlers
// convert it).
enum EchoForm { ECHO_AS_STORED, ECHO_WHEN_GIVEN, ECHO_AS_UTF16 };
struct EchoLine {
    OptionId id;
    EchoForm form;
};

struct HandlerGrammar {
    const char* name;             // the routine name that prefixes every line it prints
    const GrammarOption* options; // the tokens it takes, in the order it tests them
    size_t optionCount;
    const EchoLine* echo; // its "input parameter:" lines, in order
    size_t echoCount;
};

// The parsed values. A choice keeps its text as UTF-16 and the entry of the handler's table
// that matched (null while the option is absent).
struct OptionSet {
    char ssid[MAX_SSID_BYTES + 1]; // narrow bytes as given
    wchar_t authentication[MAX_AUTHENTICATION_TEXT + 1];
    const Choice* authenticationChoice;
    wchar_t encryption[MAX_SHORT_TEXT + 1];
    const Choice* encryptionChoice;
    wchar_t networkKey[MAX_NETWORK_KEY + 1];
    LONG keyIndex;
    LONG keyProvidedAutomatically;
    LONG ieee8021xEnabled;
    wchar_t eapType[MAX_SHORT_TEXT + 1];
    const Choice* eapTypeChoice;
    LONG machineAuth;
    LONG guestAuth;
    wchar_t innerMethod[MAX_SHORT_TEXT + 1];
    LONG useWindowsLogonInfo;
    LONG enableFastReconnect;
    LONG validateServerCert;
    wchar_t trustRootCa[MAX_TRUST_ROOT_CA][MAX_CA_NAME + 1];
    LONG trustRootCaCount;
    LONG nonBroadcast;
    LONG transitionMode;
    wchar_t connectionMode[MAX_SHORT_TEXT + 1];
    LONG autoSwitch;
    wchar_t macRandomization[MAX_SHORT_TEXT + 1];
    const Choice* macRandomizationChoice;
    wchar_t profilePath[MAX_PROFILE_PATH + 1];
    bool given[OPTION_COUNT]; // which options the command line holds
};

// Sets the initial values: all empty or zero, key index 1.
void InitOptionSet(OptionSet* options);

// Parses arguments 2 to argc - 1 into options (initialised here). Returns 0, or 13 after
// printing the one line that names the first bad token.
DWORD ParseOptions(int argc, char** argv, const HandlerGrammar* grammar, OptionSet* options);

// Prints the handler's "input parameter:" lines for the accepted values.
void EchoOptions(const OptionSet* options, const HandlerGrammar* grammar);

// The number of the accepted choice, or fallback while the option is absent.
LONG ChoiceNumber(const Choice* accepted, LONG fallback);

// Converts a narrow value from the system's ANSI code page, as values stored as UTF-16 are
// converted. Returns false, with out emptied, when the conversion fails.
bool ConvertAnsiText(const char* value, wchar_t* out, size_t capacity);
