#include "option_rules.h"

#include <cstdio>
#include <cwchar>

namespace {

bool Is(const wchar_t* value, const wchar_t* text)
{
    return wcscmp(value, text) == 0;
}

} // namespace

DWORD FirstBrokenRule(const OptionRule* rules, size_t count, const char* handlerName)
{
    for (size_t i = 0; i < count; ++i) {
        if (rules[i].broken) {
            printf(rules[i].line, handlerName);
            return ERROR_INVALID_DATA;
        }
    }
    return 0;
}

DWORD CheckEapRules(const OptionSet* o, const char* handlerName)
{
    bool peap = Is(o->eapType, L"PEAP");
    bool secureW2 = Is(o->eapType, L"SecureW2");
    bool tlsLike = Is(o->eapType, L"EAP-TLS") || secureW2;
    bool inner = o->innerMethod[0] != L'\0';
    bool fastReconnect = o->enableFastReconnect == 1;
    const OptionRule rules[] = {
        {peap && !inner, "%s :: the element [InnerAuthenticationMethod] should be set\n"},
        {tlsLike && inner, "%s :: the element [InnerAuthenticationMethod] should not be set\n"},
        {tlsLike && o->useWindowsLogonInfo == 1,
         "%s :: the element [UseWindowsLogonInfo] should not be set\n"},
        {tlsLike && fastReconnect, "%s :: the element [EnableFastReconnect] should not be set\n"},
        {secureW2 && o->validateServerCert == 1,
         "%s :: the element [ValidateServercert] should not be set\n"},
        {secureW2 && o->trustRootCaCount > 0,
         "%s :: the element [TrustRootCA] should not be set\n"},
        {inner && !peap, "%s :: the element [EAPType] should be set to PEAP\n"},
        {o->useWindowsLogonInfo == 1 && !Is(o->innerMethod, L"MSCHAPv2"),
         "%s :: the element [InnerAuthenticationMethod] should be set to MSCHAPv2\n"},
        {fastReconnect && !peap, "%s :: the element [EAPType] should be set to PEAP\n"},
        {fastReconnect && !inner,
         "%s :: the element [InnerAuthenticationMethod] should be set to GTC or MSCHAPv2\n"},
        {o->trustRootCaCount > 0 && o->validateServerCert != 1,
         "%s :: [ValidateServerCert] is not set.\n"},
    };
    return FirstBrokenRule(rules, sizeof(rules) / sizeof(rules[0]), handlerName);
}
