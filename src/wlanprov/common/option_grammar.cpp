#include "option_grammar.h"

#include <cstdio>
#include <cstring>
#include <cwchar>

#include "globals.h"

namespace {

enum ValueRule { VALUE_SSID, VALUE_CHOICE, VALUE_KEY, VALUE_CA, VALUE_DEBUG_LOG, VALUE_PATH };

struct OptionTraits {
    const char* token;   // compared byte for byte over its whole length, colon included
    const char* element; // the name in the messages' brackets
    ValueRule rule;
    const Choice* choices; // the usual accepted values of a choice
    const char* echoLabel;
};

// Indexed by OptionId.
const OptionTraits kTraits[OPTION_COUNT] = {
    {"/SSID:", "SSID", VALUE_SSID, nullptr, "SSID"},
    {"/Authentication:", "AuthenticationMode", VALUE_CHOICE, nullptr, "AuthenticationMode"},
    {"/Encryption:", "Encryptiontype", VALUE_CHOICE, nullptr, "EncryptionType"},
    {"/NetworkKey:", "NetworkKey", VALUE_KEY, nullptr, "NetworkKey"},
    {"/KeyIndex:", "KeyIndex", VALUE_CHOICE, kKeyIndexChoices, "KeyIndex"},
    {"/KeyProvidedAutomatically:", "KeyProvidedAutomatically", VALUE_CHOICE, kBoolChoices,
     "keyProvidedAutomatically"},
    {"/IEEE8021xEnabled:", "IEEE8021xEnabled", VALUE_CHOICE, kBoolChoices, "IEEE8021xEnabled"},
    {"/EAPType:", "EAPType", VALUE_CHOICE, kEapTypeChoices, "EAPType"},
    {"/MACHINE_AUTH:", "MACHINE_AUTH", VALUE_CHOICE, kBoolChoices, "MACHINE_AUTH"},
    {"/GUEST_AUTH:", "GUEST_AUTH", VALUE_CHOICE, kBoolChoices, "GUEST_AUTH"},
    {"/InnerAuthentication:", "InnerAuthenticationMethod", VALUE_CHOICE, kInnerMethodChoices,
     "InnerAuthenticaionMode"},
    {"/UseWindowsLogonInfo:", "UseWindowsLogonInfo", VALUE_CHOICE, kBoolChoices,
     "UseWindowsLogonInfo"},
    {"/EnableFastReconnect:", "EnableFastReconnect", VALUE_CHOICE, kBoolChoices,
     "EnableFastReconnect"},
    {"/ValidateServerCert:", "ValidateServerCert", VALUE_CHOICE, kBoolChoices,
     "ValidateServerCert"},
    {"/TrustRootCA:", "TrustRootCA", VALUE_CA, nullptr, "TrustRootCA"},
    {"/DebugLog:", "EnableDebugLog", VALUE_DEBUG_LOG, kBoolChoices, nullptr},
    {"/NonBroadcast:", "NonBroadcast", VALUE_CHOICE, kBoolChoices, "NonBroadcast"},
    {"/TransitionMode:", "TransitionMode", VALUE_CHOICE, kBoolChoices, "TransitionMode"},
    {"/ConnectionMode:", "ConnectionMode", VALUE_CHOICE, nullptr, "ConnectionMode"},
    {"/AutoSwitch:", "AutoSwitch", VALUE_CHOICE, kBoolChoices, "AutoSwitch"},
    {"/MacRandomization:", "MacRandomization", VALUE_CHOICE, nullptr, "MacRandomization"},
    {"/SaveProfile:", "SaveProfile", VALUE_PATH, nullptr, "SaveProfile"},
};

// The whole value, terminator included, must equal one accepted text.
const Choice* FindChoice(const Choice* choices, const char* value)
{
    for (; choices && choices->text; ++choices)
        if (strcmp(choices->text, value) == 0)
            return choices;
    return nullptr;
}

LONG* NumberField(OptionId id, OptionSet* o)
{
    switch (id) {
    case OPT_KEY_INDEX: return &o->keyIndex;
    case OPT_KEY_PROVIDED_AUTOMATICALLY: return &o->keyProvidedAutomatically;
    case OPT_IEEE8021X_ENABLED: return &o->ieee8021xEnabled;
    case OPT_MACHINE_AUTH: return &o->machineAuth;
    case OPT_GUEST_AUTH: return &o->guestAuth;
    case OPT_USE_WINDOWS_LOGON_INFO: return &o->useWindowsLogonInfo;
    case OPT_ENABLE_FAST_RECONNECT: return &o->enableFastReconnect;
    case OPT_VALIDATE_SERVER_CERT: return &o->validateServerCert;
    case OPT_NON_BROADCAST: return &o->nonBroadcast;
    case OPT_TRANSITION_MODE: return &o->transitionMode;
    case OPT_AUTO_SWITCH: return &o->autoSwitch;
    default: return nullptr;
    }
}

// A value stored as UTF-16 text: where it goes, and where a choice's matched entry goes.
struct TextField {
    wchar_t* text;
    size_t capacity;
    const Choice** choice;
};

TextField TextFieldOf(OptionId id, OptionSet* o)
{
    switch (id) {
    case OPT_AUTHENTICATION:
        return {o->authentication, MAX_AUTHENTICATION_TEXT + 1, &o->authenticationChoice};
    case OPT_ENCRYPTION: return {o->encryption, MAX_SHORT_TEXT + 1, &o->encryptionChoice};
    case OPT_EAP_TYPE: return {o->eapType, MAX_SHORT_TEXT + 1, &o->eapTypeChoice};
    case OPT_INNER_AUTHENTICATION: return {o->innerMethod, MAX_SHORT_TEXT + 1, nullptr};
    case OPT_CONNECTION_MODE: return {o->connectionMode, MAX_SHORT_TEXT + 1, nullptr};
    case OPT_MAC_RANDOMIZATION:
        return {o->macRandomization, MAX_SHORT_TEXT + 1, &o->macRandomizationChoice};
    case OPT_SAVE_PROFILE: return {o->profilePath, MAX_PROFILE_PATH + 1, nullptr};
    default: return {nullptr, 0, nullptr};
    }
}

void StoreChoice(OptionId id, const Choice* choice, OptionSet* o)
{
    TextField field = TextFieldOf(id, o);
    if (!field.text) {
        *NumberField(id, o) = choice->number;
        return;
    }
    ConvertAnsiText(choice->text, field.text, field.capacity);
    if (field.choice)
        *field.choice = choice;
}

void PrintInvalid(const HandlerGrammar* grammar, const OptionTraits& traits)
{
    printf("%s :: [%s] : invalid input\n", grammar->name, traits.element);
}

// Checks and stores one value. Returns 0, or 13 after printing the option's message.
DWORD TakeValue(const HandlerGrammar* grammar, const GrammarOption& option, const char* value,
                OptionSet* o)
{
    const OptionTraits& traits = kTraits[option.id];
    const Choice* choices = option.choices ? option.choices : traits.choices;
    size_t length = strlen(value);
    switch (traits.rule) {
    case VALUE_SSID:
        if (length < 1 || length > MAX_SSID_BYTES)
            break;
        memcpy(o->ssid, value, length + 1);
        return 0;
    case VALUE_KEY:
        if (length > MAX_NETWORK_KEY)
            break;
        if (!ConvertAnsiText(value, o->networkKey, MAX_NETWORK_KEY + 1))
            break;
        return 0;
    case VALUE_CA:
        if (length < 1 || length > MAX_CA_NAME)
            break;
        if (o->trustRootCaCount >= MAX_TRUST_ROOT_CA) {
            printf("%s :: [TrustRootCA] : the max number of certificates is %d.\n", grammar->name,
                   MAX_TRUST_ROOT_CA);
            return ERROR_INVALID_DATA;
        } else {
            wchar_t* slot = o->trustRootCa[o->trustRootCaCount];
            if (!ConvertAnsiText(value, slot, MAX_CA_NAME + 1))
                break;
            ++o->trustRootCaCount;
            // Scripts write the blanks of a CA name as underscores.
            for (wchar_t* c = slot; *c; ++c)
                if (*c == L'_')
                    *c = L' ';
        }
        return 0;
    case VALUE_PATH:
        if (length < 1 || length > MAX_PROFILE_PATH)
            break;
        if (!ConvertAnsiText(value, o->profilePath, MAX_PROFILE_PATH + 1))
            break;
        return 0;
    case VALUE_DEBUG_LOG:
        if (const Choice* choice = FindChoice(choices, value)) {
            g_bDebugLog = choice->number;
            return 0;
        }
        break;
    case VALUE_CHOICE:
        if (const Choice* choice = FindChoice(choices, value)) {
            StoreChoice(option.id, choice, o);
            return 0;
        }
        break;
    }
    PrintInvalid(grammar, traits);
    return ERROR_INVALID_DATA;
}

const GrammarOption* MatchToken(const HandlerGrammar* grammar, const char* argument)
{
    for (size_t i = 0; i < grammar->optionCount; ++i) {
        const char* token = kTraits[grammar->options[i].id].token;
        if (strncmp(argument, token, strlen(token)) == 0)
            return &grammar->options[i];
    }
    return nullptr;
}

void EchoLineOf(const HandlerGrammar* grammar, const EchoLine& line, const OptionSet* o)
{
    const char* name = grammar->name;
    const char* label = kTraits[line.id].echoLabel;
    if (line.form == ECHO_WHEN_GIVEN && !o->given[line.id])
        return;
    switch (line.id) {
    case OPT_SSID:
        if (line.form == ECHO_AS_UTF16) {
            wchar_t ssid[MAX_SSID_BYTES + 1];
            ConvertAnsiText(o->ssid, ssid, MAX_SSID_BYTES + 1);
            printf("%s :: input parameter: %s : %ls\n", name, label, ssid);
        } else {
            printf("%s :: input parameter: %s : %s\n", name, label, o->ssid);
        }
        return;
    case OPT_NETWORK_KEY:
        printf("%s :: input parameter: %s : %ls\n", name, label, o->networkKey);
        return;
    case OPT_TRUST_ROOT_CA:
        for (LONG i = 0; i < o->trustRootCaCount; ++i)
            printf("%s :: input parameter: %s[%d] : %ls\n", name, label, (int)i, o->trustRootCa[i]);
        return;
    default: break;
    }
    OptionSet* values = const_cast<OptionSet*>(o); // read only
    TextField field = TextFieldOf(line.id, values);
    if (field.text)
        printf("%s :: input parameter: %s : %ls\n", name, label, field.text);
    else if (const LONG* number = NumberField(line.id, values))
        printf("%s :: input parameter: %s : %d\n", name, label, (int)*number);
}

} // namespace

const Choice kBoolChoices[] = {{"TRUE", 1}, {"FALSE", 0}, {nullptr, 0}};
const Choice kKeyIndexChoices[] = {{"1", 1}, {"2", 2}, {"3", 3}, {"4", 4}, {nullptr, 0}};
const Choice kEapTypeChoices[] = {{"PEAP", 25}, {"EAP-TLS", 13}, {nullptr, 0}};
const Choice kInnerMethodChoices[] = {{"GTC", 0}, {"MSCHAPv2", 0}, {nullptr, 0}};
const GrammarOption kRemovalOptions[REMOVAL_OPTION_COUNT] = {{OPT_SSID, nullptr},
                                                             {OPT_DEBUG_LOG, nullptr}};

bool ConvertAnsiText(const char* value, wchar_t* out, size_t capacity)
{
    if (MultiByteToWideChar(CP_ACP, 0, value, -1, out, (int)capacity) != 0)
        return true;
    out[0] = L'\0';
    return false;
}

LONG ChoiceNumber(const Choice* accepted, LONG fallback)
{
    return accepted ? accepted->number : fallback;
}

void InitOptionSet(OptionSet* options)
{
    memset(options, 0, sizeof(*options));
    options->keyIndex = 1;
}

DWORD ParseOptions(int argc, char** argv, const HandlerGrammar* grammar, OptionSet* options)
{
    InitOptionSet(options);
    for (int i = 2; i < argc; ++i) {
        const GrammarOption* option = MatchToken(grammar, argv[i]);
        if (!option) {
            printf("%s :: invalid input\n", grammar->name);
            return ERROR_INVALID_DATA;
        }
        // The value is everything after the token's colon, which is the argument's first.
        DWORD result = TakeValue(grammar, *option, argv[i] + strlen(kTraits[option->id].token),
                                 options);
        if (result != 0)
            return result;
        options->given[option->id] = true;
    }
    return 0;
}

void EchoOptions(const OptionSet* options, const HandlerGrammar* grammar)
{
    for (size_t i = 0; i < grammar->echoCount; ++i)
        EchoLineOf(grammar, grammar->echo[i], options);
}
