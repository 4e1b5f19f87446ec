#include "xp_rules.h"

#include <cstdio>
#include <cwchar>

#include "../common/option_rules.h"

namespace {

bool Is(const wchar_t* value, const wchar_t* text)
{
    return wcscmp(value, text) == 0;
}

bool IsOneX(const OptionSet* o)
{
    return Is(o->authentication, L"WPA") || Is(o->authentication, L"WPA2");
}

bool IsPsk(const OptionSet* o)
{
    return Is(o->authentication, L"WPAPSK") || Is(o->authentication, L"WPA2PSK");
}

bool EncryptionFits(const OptionSet* o)
{
    if (Is(o->encryption, L"WEP") || Is(o->encryption, L"None"))
        return Is(o->authentication, L"Open") || Is(o->authentication, L"Shared");
    if (Is(o->encryption, L"AES") || Is(o->encryption, L"TKIP"))
        return IsOneX(o) || IsPsk(o);
    return false;
}

// A key that breaks its length rule is taken when the key comes automatically.
bool KeyLengthBroken(const OptionSet* o, size_t length)
{
    bool broken = false;
    if (Is(o->encryption, L"WEP"))
        broken = length != 5 && length != 10 && length != 13 && length != 26;
    else if (IsPsk(o))
        broken = length < 8 || length > 64;
    return broken && o->keyProvidedAutomatically != 1;
}

bool Given(const wchar_t* text)
{
    return text[0] != L'\0';
}

} // namespace

DWORD CheckXpRules(const OptionSet* o, const char* handlerName)
{
    size_t keyLength = wcslen(o->networkKey);
    bool key = keyLength != 0;
    bool oneXOn = o->ieee8021xEnabled == 1;
    bool inner = Given(o->innerMethod);
    const OptionRule rules[] = {
        {o->ssid[0] == '\0', "%s :: [SSID] must be set\n"},
        {IsOneX(o) && key, "%s :: [NetworkKey] should not be set\n"},
        {IsOneX(o) && o->keyProvidedAutomatically != 1,
         "%s :: [keyProvidedAutomatically] must be set to TRUE\n"},
        {IsOneX(o) && !oneXOn, "%s :: [IEEE8021xEnabled] must be set to TRUE\n"},
        {IsPsk(o) && o->keyProvidedAutomatically != 0,
         "%s :: [keyProvidedAutomatically] must be set to FALSE\n"},
        {IsPsk(o) && oneXOn, "%s :: [IEEE8021xEnabled] must be set to FALSE\n"},
        {IsPsk(o) && !key, "%s :: [NetworkKey] must be set\n"},
        {!EncryptionFits(o), "%s :: [Encryptiontype] : invalid input\n"},
        {Is(o->authentication, L"Open") && Is(o->encryption, L"None") && key,
         "%s :: [NetworkKey] should not be set\n"},
        {KeyLengthBroken(o, keyLength), "%s :: [NetworkKey] : invalid input\n"},
        {oneXOn && Is(o->encryption, L"None"),
         "%s ::  [IEEE8021xEnabled] must set to FALSE because data encryption is "
         "disabled\n"},
        {!oneXOn && Given(o->eapType),
         "%s :: the element [EAPType] should not be set because IEEE8021x is disabled\n"},
        {!oneXOn && o->machineAuth == 1,
         "%s :: the element [MACHINE_AUTH] should not be set because IEEE8021x is "
         "disabled\n"},
        {!oneXOn && o->guestAuth == 1,
         "%s :: the element [GUEST_AUTH] should not be set because IEEE8021x is "
         "disabled\n"},
        {!oneXOn && inner,
         "%s :: the element [InnerAuthenticationMethod] should not be set because "
         "IEEE8021x is disabled\n"},
        {!oneXOn && o->useWindowsLogonInfo == 1,
         "%s :: the element [UseWindowsLogonInfo] should not be set because IEEE8021x "
         "is disabled\n"},
        {!oneXOn && o->enableFastReconnect == 1,
         "%s :: the element [EnableFastReconnect] should not be set because IEEE8021x "
         "is disabled\n"},
    };
    DWORD result = FirstBrokenRule(rules, sizeof(rules) / sizeof(rules[0]), handlerName);
    return result != 0 ? result : CheckEapRules(o, handlerName);
}
