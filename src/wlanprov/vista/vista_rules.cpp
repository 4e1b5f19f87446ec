#include "vista_rules.h"

#include <cstdio>
#include <cwchar>

#include "../common/option_rules.h"
#include "ssid_bytes.h"
#include "vista_grammar.h"

namespace {

bool Is(const wchar_t* value, const wchar_t* text)
{
    return wcscmp(value, text) == 0;
}

// WPA, WPA2 and WPA3-Enterprise (both modes): their profile carries 802.1X settings.
bool IsOneX(const OptionSet* o)
{
    return Is(VistaUseOneX(o), L"true");
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

} // namespace

DWORD CheckVistaRules(const OptionSet* o)
{
    size_t keyLength = wcslen(o->networkKey);
    bool tls = Is(o->eapType, L"EAP-TLS");
    // WPA3-Personal and Enhanced Open carry no 802.1X settings.
    bool noOneX = IsSae(o) || IsOwe(o);
    // The SSID's length counts its bytes on the air: its UTF-8 form, longer than the bytes as
    // given only outside ASCII. One that does not convert has no bytes to name it by.
    BYTE ssidBytes[SSID_UTF8_ROOM];
    int utf8Bytes = SsidIsAscii(o) ? 0 : SsidUtf8Bytes(o, ssidBytes);
    bool ssidTooLong = utf8Bytes < 0 || utf8Bytes > MAX_SSID_BYTES;
    bool manual = Is(o->connectionMode, L"manual");
    const OptionRule rules[] = {
        {o->ssid[0] == '\0', "%s :: [SSID] must be set\n"},
        {ssidTooLong, "%s :: [SSID] : invalid input\n"},
        {(IsOneX(o) || IsOwe(o)) && keyLength != 0, "%s :: [NetworkKey] should not be set\n"},
        {(IsPsk(o) || IsSae(o)) && keyLength == 0, "%s :: [NetworkKey] must be set\n"},
        {!EncryptionFits(o), "%s :: [Encryptiontype] : invalid input\n"},
        {Is(o->authentication, L"open") && Is(o->encryption, L"none") && keyLength != 0,
         "%s :: [NetworkKey] should not be set\n"},
        {Is(o->encryption, L"WEP") && !WepKeyLengthFits(keyLength),
         "%s :: [NetworkKey] : invalid input\n"},
        {IsPsk(o) && (keyLength < 8 || keyLength > 64), "%s :: [NetworkKey] : invalid input\n"},
        // SAE takes a password, never a 64-digit key.
        {IsSae(o) && (keyLength < 8 || keyLength > 63), "%s :: [NetworkKey] : invalid input\n"},
        {noOneX && o->eapType[0] != L'\0', "%s :: the element [EAPType] should not be set\n"},
        {noOneX && HasInnerMethod(o),
         "%s :: the element [InnerAuthenticationMethod] should not be set\n"},
        {noOneX && o->useWindowsLogonInfo == 1,
         "%s :: the element [UseWindowsLogonInfo] should not be set\n"},
        {noOneX && o->enableFastReconnect == 1,
         "%s :: the element [EnableFastReconnect] should not be set\n"},
        {noOneX && o->validateServerCert == 1,
         "%s :: the element [ValidateServerCert] should not be set\n"},
        {noOneX && o->trustRootCaCount > 0, "%s :: the element [TrustRootCA] should not be set\n"},
        // The WPA2/WPA3 transition is a mode of WPA3-Personal only.
        {o->given[OPT_TRANSITION_MODE] && !IsSae(o),
         "%s :: the element [TransitionMode] should not be set\n"},
        {manual && o->autoSwitch == 1,
         "%s :: the element [AutoSwitch] should not be set because ConnectionMode is manual\n"},
    };
    const OptionRule afterEapRules[] = {
        // An 802.1X network needs an EAP method: without one there is no record to write.
        {IsOneX(o) && o->eapType[0] == L'\0', "%s :: the element [EAPType] should be set\n"},
        // The 192-bit mode authenticates with certificates only.
        {Is(o->authentication, L"WPA3ENT192") && !tls,
         "%s :: the element [EAPType] should be set to EAP-TLS\n"},
    };
    DWORD result = FirstBrokenRule(rules, sizeof(rules) / sizeof(rules[0]), kVistaAddName);
    if (result == 0)
        result = CheckEapRules(o, kVistaAddName);
    if (result == 0)
        result = FirstBrokenRule(afterEapRules, sizeof(afterEapRules) / sizeof(afterEapRules[0]),
                                 kVistaAddName);
    return result;
}
