#include "vista_rules.h"

#include <cstdio>
#include <cwchar>

namespace {

bool Is(const wchar_t* value, const wchar_t* text)
{
    return wcscmp(value, text) == 0;
}

// WPA, WPA2 and WPA3-Enterprise (both modes): the parser marks them for 802.1X.
bool IsOneX(const OptionSet* o)
{
    return Is(o->useOneX, L"true");
}

bool IsPsk(const OptionSet* o)
{
    return Is(o->authentication, L"WPAPSK") || Is(o->authentication, L"WPA2PSK");
}

bool IsSae(const OptionSet* o)
{
    return Is(o->authentication, L"WPA3SAE");
}

bool IsOwe(const OptionSet* o)
{
    return Is(o->authentication, L"OWE");
}

bool EncryptionFits(const OptionSet* o)
{
    const wchar_t* a = o->authentication;
    bool keyless = Is(a, L"open") || Is(a, L"shared");
    bool wpa = Is(a, L"WPA") || Is(a, L"WPA2") || IsPsk(o);
    if (keyless)
        return Is(o->encryption, L"WEP") || Is(o->encryption, L"none");
    if (wpa)
        return Is(o->encryption, L"AES") || Is(o->encryption, L"TKIP");
    // The WPA3 modes and Enhanced Open each have one cipher; GCMP-256 only the 192-bit mode.
    if (IsSae(o) || IsOwe(o) || Is(a, L"WPA3ENT"))
        return Is(o->encryption, L"AES");
    if (Is(a, L"WPA3ENT192"))
        return Is(o->encryption, L"GCMP256");
    return false;
}

bool WepKeyLengthFits(size_t length)
{
    return length == 5 || length == 13 || length == 10 || length == 26;
}

bool HasInnerMethod(const OptionSet* o)
{
    return o->innerMethod[0] != L'\0';
}

// One rule: when broken is true its line is printed and the handler stops.
struct Rule {
    bool broken;
    const char* line;
};

} // namespace

DWORD CheckVistaRules(const OptionSet* o)
{
    size_t keyLength = wcslen(o->networkKey);
    bool peap = Is(o->eapType, L"PEAP");
    bool tls = Is(o->eapType, L"EAP-TLS");
    // WPA3-Personal and Enhanced Open carry no 802.1X settings.
    bool noOneX = IsSae(o) || IsOwe(o);
    const Rule rules[] = {
        {o->ssid[0] == '\0', "WZC_Vista :: [SSID] must be set\n"},
        {(IsOneX(o) || IsOwe(o)) && keyLength != 0, "WZC_Vista :: [NetworkKey] should not be set\n"},
        {(IsPsk(o) || IsSae(o)) && keyLength == 0, "WZC_Vista :: [NetworkKey] must be set\n"},
        {!EncryptionFits(o), "WZC_Vista :: [Encryptiontype] : invalid input\n"},
        {Is(o->authentication, L"open") && Is(o->encryption, L"none") && keyLength != 0,
         "WZC_Vista :: [NetworkKey] should not be set\n"},
        {Is(o->encryption, L"WEP") && !WepKeyLengthFits(keyLength),
         "WZC_Vista :: [NetworkKey] : invalid input\n"},
        {IsPsk(o) && (keyLength < 8 || keyLength > 64),
         "WZC_Vista :: [NetworkKey] : invalid input\n"},
        // SAE takes a password, never a 64-digit key.
        {IsSae(o) && (keyLength < 8 || keyLength > 63),
         "WZC_Vista :: [NetworkKey] : invalid input\n"},
        {noOneX && o->eapType[0] != L'\0', "WZC_Vista :: the element [EAPType] should not be set\n"},
        {noOneX && HasInnerMethod(o),
         "WZC_Vista :: the element [InnerAuthenticationMethod] should not be set\n"},
        {noOneX && o->useWindowsLogonInfo == 1,
         "WZC_Vista :: the element [UseWindowsLogonInfo] should not be set\n"},
        {noOneX && o->enableFastReconnect == 1,
         "WZC_Vista :: the element [EnableFastReconnect] should not be set\n"},
        {noOneX && o->validateServerCert == 1,
         "WZC_Vista :: the element [ValidateServerCert] should not be set\n"},
        {noOneX && o->trustRootCaCount > 0,
         "WZC_Vista :: the element [TrustRootCA] should not be set\n"},
        {peap && !HasInnerMethod(o),
         "WZC_Vista :: the element [InnerAuthenticationMethod] should be set\n"},
        {tls && HasInnerMethod(o),
         "WZC_Vista :: the element [InnerAuthenticationMethod] should not be set\n"},
        {tls && o->useWindowsLogonInfo == 1,
         "WZC_Vista :: the element [UseWindowsLogonInfo] should not be set\n"},
        {tls && o->enableFastReconnect == 1,
         "WZC_Vista :: the element [EnableFastReconnect] should not be set\n"},
        {HasInnerMethod(o) && !peap, "WZC_Vista :: the element [EAPType] should be set to PEAP\n"},
        {o->useWindowsLogonInfo == 1 && !Is(o->innerMethod, L"MSCHAPv2"),
         "WZC_Vista :: the element [InnerAuthenticationMethod] should be set to MSCHAPv2\n"},
        {o->enableFastReconnect == 1 && !peap,
         "WZC_Vista :: the element [EAPType] should be set to PEAP\n"},
        {o->enableFastReconnect == 1 && !HasInnerMethod(o),
         "WZC_Vista :: the element [InnerAuthenticationMethod] should be set to GTC or MSCHAPv2\n"},
        {o->trustRootCaCount > 0 && o->validateServerCert != 1,
         "WZC_Vista :: [ValidateServerCert] is not set.\n"},
        // An 802.1X network needs an EAP method: without one there is no record to write.
        {IsOneX(o) && o->eapType[0] == L'\0', "WZC_Vista :: the element [EAPType] should be set\n"},
        // The 192-bit mode authenticates with certificates only.
        {Is(o->authentication, L"WPA3ENT192") && !tls,
         "WZC_Vista :: the element [EAPType] should be set to EAP-TLS\n"},
    };
    for (const Rule& rule : rules) {
        if (rule.broken) {
            printf("%s", rule.line);
            return ERROR_INVALID_DATA;
        }
    }
    return 0;
}
