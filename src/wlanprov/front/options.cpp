#include "options.h"

#include <cstdio>
#include <cstring>
#include <cwchar>

#include "globals.h"

namespace {

enum OptionKind { KIND_SSID, KIND_CHOICE, KIND_KEY, KIND_BOOL, KIND_CA, KIND_DEBUG_LOG };

// Which handlers accept an option.
enum : unsigned {
    FOR_ADD_VISTA = 1u << HANDLER_ADD_VISTA,
    FOR_ADD_XP_SP2 = 1u << HANDLER_ADD_XP_SP2,
    FOR_ADD_XP_SP1 = 1u << HANDLER_ADD_XP_SP1,
    FOR_ADD_XP = FOR_ADD_XP_SP2 | FOR_ADD_XP_SP1,
    FOR_ADD = FOR_ADD_VISTA | FOR_ADD_XP,
    FOR_ALL = FOR_ADD | 1u << HANDLER_REMOVE_VISTA | 1u << HANDLER_REMOVE_XP_SP2 |
              1u << HANDLER_REMOVE_XP_SP1,
};

enum OptionId {
    OPT_SSID, OPT_AUTHENTICATION, OPT_ENCRYPTION, OPT_NETWORK_KEY, OPT_KEY_INDEX,
    OPT_KEY_PROVIDED_AUTOMATICALLY, OPT_IEEE8021X_ENABLED, OPT_EAP_TYPE, OPT_MACHINE_AUTH,
    OPT_GUEST_AUTH, OPT_INNER_AUTHENTICATION, OPT_USE_WINDOWS_LOGON_INFO,
    OPT_ENABLE_FAST_RECONNECT, OPT_VALIDATE_SERVER_CERT, OPT_TRUST_ROOT_CA, OPT_DEBUG_LOG,
};

struct OptionRule {
    OptionId id;
    const char* token;    // compared byte for byte over its whole length, colon included
    const char* element;  // the name in the messages' brackets
    OptionKind kind;
    unsigned handlers;
};

// In the order the handlers test them.
const OptionRule kOptions[] = {
    {OPT_SSID, "/SSID:", "SSID", KIND_SSID, FOR_ALL},
    {OPT_AUTHENTICATION, "/Authentication:", "AuthenticationMode", KIND_CHOICE, FOR_ADD},
    {OPT_ENCRYPTION, "/Encryption:", "Encryptiontype", KIND_CHOICE, FOR_ADD},
    {OPT_NETWORK_KEY, "/NetworkKey:", "NetworkKey", KIND_KEY, FOR_ADD},
    {OPT_KEY_INDEX, "/KeyIndex:", "KeyIndex", KIND_CHOICE, FOR_ADD},
    {OPT_KEY_PROVIDED_AUTOMATICALLY, "/KeyProvidedAutomatically:", "KeyProvidedAutomatically",
     KIND_BOOL, FOR_ADD_XP},
    {OPT_IEEE8021X_ENABLED, "/IEEE8021xEnabled:", "IEEE8021xEnabled", KIND_BOOL, FOR_ADD_XP},
    {OPT_EAP_TYPE, "/EAPType:", "EAPType", KIND_CHOICE, FOR_ADD},
    {OPT_MACHINE_AUTH, "/MACHINE_AUTH:", "MACHINE_AUTH", KIND_BOOL, FOR_ADD_XP},
    {OPT_GUEST_AUTH, "/GUEST_AUTH:", "GUEST_AUTH", KIND_BOOL, FOR_ADD_XP},
    {OPT_INNER_AUTHENTICATION, "/InnerAuthentication:", "InnerAuthenticationMethod",
     KIND_CHOICE, FOR_ADD},
    {OPT_USE_WINDOWS_LOGON_INFO, "/UseWindowsLogonInfo:", "UseWindowsLogonInfo", KIND_BOOL,
     FOR_ADD},
    {OPT_ENABLE_FAST_RECONNECT, "/EnableFastReconnect:", "EnableFastReconnect", KIND_BOOL,
     FOR_ADD},
    {OPT_VALIDATE_SERVER_CERT, "/ValidateServerCert:", "ValidateServerCert", KIND_BOOL,
     FOR_ADD},
    {OPT_TRUST_ROOT_CA, "/TrustRootCA:", "TrustRootCA", KIND_CA, FOR_ADD},
    {OPT_DEBUG_LOG, "/DebugLog:", "EnableDebugLog", KIND_DEBUG_LOG, FOR_ALL},
};

// An accepted value and the number it stands for (a code, an EAP type, a key index).
struct Choice {
    const char* text;
    LONG number;
};

// The WLAN API takes the WPA3 and Enhanced Open values of its profile schema too; their numbers
// are the platform's NDIS authentication modes, which no XP record ever receives.
const Choice kAuthVista[] = {{"open", 0}, {"shared", 1}, {"WPA", 3}, {"WPAPSK", 4},
                             {"WPA2", 6}, {"WPA2PSK", 7}, {"WPA3SAE", 9}, {"WPA3ENT", 11},
                             {"WPA3ENT192", 8}, {"OWE", 10}, {nullptr, 0}};
const Choice kAuthXpSp2[] = {{"Open", 0}, {"Shared", 1}, {"WPA", 3}, {"WPAPSK", 4},
                             {"WPA2", 6}, {"WPA2PSK", 7}, {nullptr, 0}};
const Choice kAuthXpSp1[] = {{"Open", 0}, {"Shared", 1}, {"WPA", 3}, {"WPAPSK", 4},
                             {nullptr, 0}};
// GCMP-256 has no NDIS encryption status: its number is never used.
const Choice kEncryptionVista[] = {{"WEP", 0}, {"none", 1}, {"AES", 6}, {"TKIP", 4},
                                   {"GCMP256", -1}, {nullptr, 0}};
const Choice kEncryptionXp[] = {{"WEP", 0}, {"None", 1}, {"AES", 6}, {"TKIP", 4},
                                {nullptr, 0}};
const Choice kKeyIndex[] = {{"1", 1}, {"2", 2}, {"3", 3}, {"4", 4}, {nullptr, 0}};
const Choice kEapType[] = {{"PEAP", 25}, {"EAP-TLS", 13}, {nullptr, 0}};
const Choice kEapTypeXpSp2[] = {{"PEAP", 25}, {"EAP-TLS", 13}, {"SecureW2", 0}, {nullptr, 0}};
const Choice kInnerMethod[] = {{"GTC", 0}, {"MSCHAPv2", 0}, {nullptr, 0}};
const Choice kBool[] = {{"TRUE", 1}, {"FALSE", 0}, {nullptr, 0}};
// The Vista authentications whose profile carries 802.1X settings (useOneX "true").
const Choice kOneXAuthentications[] = {{"WPA", 0}, {"WPA2", 0}, {"WPA3ENT", 0},
                                       {"WPA3ENT192", 0}, {nullptr, 0}};

const Choice* ChoicesFor(OptionId id, HandlerKind kind)
{
    switch (id) {
    case OPT_AUTHENTICATION:
        return kind == HANDLER_ADD_VISTA ? kAuthVista
             : kind == HANDLER_ADD_XP_SP2 ? kAuthXpSp2 : kAuthXpSp1;
    case OPT_ENCRYPTION:
        return kind == HANDLER_ADD_VISTA ? kEncryptionVista : kEncryptionXp;
    case OPT_KEY_INDEX:
        return kKeyIndex;
    case OPT_EAP_TYPE:
        return kind == HANDLER_ADD_XP_SP2 ? kEapTypeXpSp2 : kEapType;
    case OPT_INNER_AUTHENTICATION:
        return kInnerMethod;
    default:
        return kBool;
    }
}

// The whole value, terminator included, must equal one accepted text.
const Choice* FindChoice(const Choice* choices, const char* value)
{
    for (; choices->text; ++choices)
        if (strcmp(choices->text, value) == 0)
            return choices;
    return nullptr;
}

// A value stored as UTF-16 text is the whole value after the token, blanks included,
// converted from the system's ANSI code page exactly as the add handlers convert the SSID.
// The lengths were checked in bytes first, and an ANSI text never has more characters than
// bytes, so capacity always holds it. Returns false when the conversion fails.
bool StoreWideText(const char* value, wchar_t* out, size_t capacity)
{
    if (MultiByteToWideChar(CP_ACP, 0, value, -1, out, (int)capacity) != 0)
        return true;
    out[0] = L'\0';
    return false;
}

LONG* FlagField(OptionId id, OptionSet* o)
{
    switch (id) {
    case OPT_KEY_PROVIDED_AUTOMATICALLY: return &o->keyProvidedAutomatically;
    case OPT_IEEE8021X_ENABLED: return &o->ieee8021xEnabled;
    case OPT_MACHINE_AUTH: return &o->machineAuth;
    case OPT_GUEST_AUTH: return &o->guestAuth;
    case OPT_USE_WINDOWS_LOGON_INFO: return &o->useWindowsLogonInfo;
    case OPT_ENABLE_FAST_RECONNECT: return &o->enableFastReconnect;
    case OPT_VALIDATE_SERVER_CERT: return &o->validateServerCert;
    default: return nullptr;
    }
}

// Stores an accepted choice and what the handler derives from it.
void StoreChoice(OptionId id, const Choice* choice, HandlerKind kind, OptionSet* o)
{
    const char* text = choice->text;
    switch (id) {
    case OPT_AUTHENTICATION:
        StoreWideText(text, o->authentication, MAX_AUTHENTICATION_TEXT + 1);
        o->authenticationCode = choice->number;
        if (kind == HANDLER_ADD_VISTA) {
            bool oneX = FindChoice(kOneXAuthentications, text) != nullptr;
            wcscpy(o->useOneX, oneX ? L"true" : L"false");
        }
        break;
    case OPT_ENCRYPTION:
        StoreWideText(text, o->encryption, MAX_SHORT_TEXT + 1);
        o->encryptionCode = choice->number;
        break;
    case OPT_KEY_INDEX:
        o->keyIndex = choice->number;
        break;
    case OPT_EAP_TYPE:
        StoreWideText(text, o->eapType, MAX_SHORT_TEXT + 1);
        if (kind == HANDLER_ADD_VISTA || kind == HANDLER_ADD_XP_SP1)
            o->eapTypeNumber = choice->number;
        break;
    case OPT_INNER_AUTHENTICATION:
        StoreWideText(text, o->innerMethod, MAX_SHORT_TEXT + 1);
        break;
    default:
        *FlagField(id, o) = choice->number;
        break;
    }
}

void PrintInvalid(HandlerKind kind, const OptionRule& rule)
{
    printf("%s :: [%s] : invalid input\n", HandlerName(kind), rule.element);
}

// Checks and stores one value. Returns 0, or 13 after printing the option's message.
DWORD TakeValue(const OptionRule& rule, const char* value, HandlerKind kind, OptionSet* o)
{
    size_t length = strlen(value);
    switch (rule.kind) {
    case KIND_SSID:
        if (length < 1 || length > MAX_SSID_BYTES)
            break;
        if (kind == HANDLER_REMOVE_VISTA && !StoreWideText(value, o->ssidWide, MAX_SSID_BYTES + 1))
            break;
        memcpy(o->ssid, value, length + 1);
        return 0;
    case KIND_KEY:
        if (length > MAX_NETWORK_KEY)
            break;
        if (!StoreWideText(value, o->networkKey, MAX_NETWORK_KEY + 1))
            break;
        return 0;
    case KIND_CA:
        if (length < 1 || length > MAX_CA_NAME)
            break;
        if (o->trustRootCaCount >= MAX_TRUST_ROOT_CA) {
            printf("%s :: [TrustRootCA] : the max number of certificates is %d.\n",
                   HandlerName(kind), MAX_TRUST_ROOT_CA);
            return ERROR_INVALID_DATA;
        } else {
            wchar_t* slot = o->trustRootCa[o->trustRootCaCount];
            if (!StoreWideText(value, slot, MAX_CA_NAME + 1))
                break;
            ++o->trustRootCaCount;
            // Scripts write the blanks of a CA name as underscores.
            for (wchar_t* c = slot; *c; ++c)
                if (*c == L'_')
                    *c = L' ';
        }
        return 0;
    case KIND_DEBUG_LOG:
        if (const Choice* choice = FindChoice(kBool, value)) {
            g_bDebugLog = choice->number;
            return 0;
        }
        break;
    case KIND_CHOICE:
    case KIND_BOOL:
        if (const Choice* choice = FindChoice(ChoicesFor(rule.id, kind), value)) {
            StoreChoice(rule.id, choice, kind, o);
            return 0;
        }
        break;
    }
    PrintInvalid(kind, rule);
    return ERROR_INVALID_DATA;
}

const OptionRule* MatchToken(const char* argument, HandlerKind kind)
{
    for (const OptionRule& rule : kOptions) {
        if (!(rule.handlers & (1u << kind)))
            continue;
        if (strncmp(argument, rule.token, strlen(rule.token)) == 0)
            return &rule;
    }
    return nullptr;
}

} // namespace

const char* HandlerName(HandlerKind kind)
{
    switch (kind) {
    case HANDLER_ADD_VISTA: return "WZC_Vista";
    case HANDLER_ADD_XP_SP2: return "WZC_XP_SP2";
    case HANDLER_ADD_XP_SP1: return "WZC_XP_SP1";
    case HANDLER_REMOVE_VISTA: return "WZCRemoveProfile_Vista";
    case HANDLER_REMOVE_XP_SP2: return "WZCRemoveProfile_XP_SP2";
    case HANDLER_REMOVE_XP_SP1: return "WZCRemoveProfile_XP_SP1";
    }
    return "wlanprov";
}

void InitOptionSet(OptionSet* options, HandlerKind kind)
{
    memset(options, 0, sizeof(*options));
    options->keyIndex = 1;
    wcscpy(options->useOneX, L"false");
    if (kind == HANDLER_ADD_XP_SP1) {
        options->authenticationCode = 3;
        options->encryptionCode = 4;
        options->eapTypeNumber = 13;
    } else {
        options->eapTypeNumber = 25;
    }
}

DWORD ParseOptions(int argc, char** argv, HandlerKind kind, OptionSet* options)
{
    InitOptionSet(options, kind);
    for (int i = 2; i < argc; ++i) {
        const OptionRule* rule = MatchToken(argv[i], kind);
        if (!rule) {
            printf("%s :: invalid input\n", HandlerName(kind));
            return ERROR_INVALID_DATA;
        }
        // The value is everything after the token's colon, which is the argument's first.
        DWORD result = TakeValue(*rule, argv[i] + strlen(rule->token), kind, options);
        if (result != 0)
            return result;
    }
    if (kind == HANDLER_ADD_XP_SP1) {
        options->eapFlags = (options->ieee8021xEnabled == 1 ? 0x80000000u : 0) |
                            (options->machineAuth == 1 ? 0x40000000u : 0) |
                            (options->guestAuth == 1 ? 0x20000000u : 0);
    }
    return 0;
}

void EchoOptions(const OptionSet* o, HandlerKind kind)
{
    const char* name = HandlerName(kind);
    switch (kind) {
    case HANDLER_REMOVE_VISTA:
        printf("%s :: input parameter: SSID : %ls\n", name, o->ssidWide);
        return;
    case HANDLER_REMOVE_XP_SP2:
    case HANDLER_REMOVE_XP_SP1:
        printf("%s :: input parameter: SSID : %s\n", name, o->ssid);
        return;
    default:
        break;
    }
    bool xp = kind != HANDLER_ADD_VISTA;
    printf("%s :: input parameter: SSID : %s\n", name, o->ssid);
    printf("%s :: input parameter: AuthenticationMode : %ls\n", name, o->authentication);
    printf("%s :: input parameter: EncryptionType : %ls\n", name, o->encryption);
    printf("%s :: input parameter: NetworkKey : %ls\n", name, o->networkKey);
    printf("%s :: input parameter: KeyIndex : %d\n", name, (int)o->keyIndex);
    if (xp) {
        printf("%s :: input parameter: keyProvidedAutomatically : %d\n", name,
               (int)o->keyProvidedAutomatically);
        printf("%s :: input parameter: IEEE8021xEnabled : %d\n", name, (int)o->ieee8021xEnabled);
    }
    printf("%s :: input parameter: EAPType : %ls\n", name, o->eapType);
    if (xp) {
        printf("%s :: input parameter: MACHINE_AUTH : %d\n", name, (int)o->machineAuth);
        printf("%s :: input parameter: GUEST_AUTH : %d\n", name, (int)o->guestAuth);
    }
    printf("%s :: input parameter: InnerAuthenticaionMode : %ls\n", name, o->innerMethod);
    printf("%s :: input parameter: UseWindowsLogonInfo : %d\n", name, (int)o->useWindowsLogonInfo);
    printf("%s :: input parameter: EnableFastReconnect : %d\n", name, (int)o->enableFastReconnect);
    printf("%s :: input parameter: ValidateServerCert : %d\n", name, (int)o->validateServerCert);
    for (LONG i = 0; i < o->trustRootCaCount; ++i)
        printf("%s :: input parameter: TrustRootCA[%d] : %ls\n", name, (int)i, o->trustRootCa[i]);
}
