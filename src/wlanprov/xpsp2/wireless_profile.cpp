#include "wireless_profile.h"

#include <cstdlib>
#include <cwchar>

#include "../common/secret_wipe.h"
#include "../common/xml_escape.h"

namespace {

const wchar_t kHead[] = L"<?xml version=\"1.0\"?> <wp:WirelessProfile"
                        L" xmlns=\"http://www.microsoft.com/provisioning/WirelessProfile\""
                        L" xmlns:wp=\"http://www.microsoft.com/provisioning/WirelessProfile\">";
const wchar_t kTail[] = L" </wp:WirelessProfile>";
const wchar_t kVersion[] = L"1";
const wchar_t kConnectionType[] = L"ESS";

enum Element {
    EL_END,
    EL_VERSION,
    EL_SSID,
    EL_CONNECTION_TYPE,
    EL_AUTHENTICATION,
    EL_ENCRYPTION,
    EL_NETWORK_KEY,
    EL_KEY_INDEX,
    EL_KEY_PROVIDED_AUTOMATICALLY,
    EL_IEEE8021X,
    EL_EAP_METHOD,
};

const wchar_t* const kElementNames[] = {
    nullptr,       L"version",    L"ssid",     L"connectionType",           L"authentication",
    L"encryption", L"networkKey", L"keyIndex", L"keyProvidedAutomatically", L"IEEE802.1XEnabled",
    L"EAPMethod",
};

// The children of wp:WirelessProfile of each template, in document order.
const Element kNoKey[] = {EL_VERSION,        EL_SSID,       EL_CONNECTION_TYPE,
                          EL_AUTHENTICATION, EL_ENCRYPTION, EL_KEY_PROVIDED_AUTOMATICALLY,
                          EL_IEEE8021X,      EL_END};
const Element kPassPhrase[] = {EL_VERSION,
                               EL_SSID,
                               EL_CONNECTION_TYPE,
                               EL_AUTHENTICATION,
                               EL_ENCRYPTION,
                               EL_NETWORK_KEY,
                               EL_KEY_PROVIDED_AUTOMATICALLY,
                               EL_IEEE8021X,
                               EL_END};
const Element kNetworkKey[] = {EL_VERSION,         EL_SSID,
                               EL_CONNECTION_TYPE, EL_AUTHENTICATION,
                               EL_ENCRYPTION,      EL_NETWORK_KEY,
                               EL_KEY_INDEX,       EL_KEY_PROVIDED_AUTOMATICALLY,
                               EL_IEEE8021X,       EL_END};
const Element kOneXNoKey[] = {EL_VERSION,        EL_SSID,       EL_CONNECTION_TYPE,
                              EL_AUTHENTICATION, EL_ENCRYPTION, EL_KEY_PROVIDED_AUTOMATICALLY,
                              EL_IEEE8021X,      EL_EAP_METHOD, EL_END};
const Element kOneXKey[] = {EL_VERSION,
                            EL_SSID,
                            EL_CONNECTION_TYPE,
                            EL_AUTHENTICATION,
                            EL_ENCRYPTION,
                            EL_NETWORK_KEY,
                            EL_KEY_INDEX,
                            EL_KEY_PROVIDED_AUTOMATICALLY,
                            EL_IEEE8021X,
                            EL_EAP_METHOD,
                            EL_END};

bool Is(const wchar_t* value, const wchar_t* text)
{
    return value && wcscmp(value, text) == 0;
}

bool HasKey(const WirelessProfileValues* v)
{
    return v->networkKey && v->networkKey[0] != L'\0';
}

// The first template whose condition holds, in this order.
const Element* TemplateFor(const WirelessProfileValues* v)
{
    if (v->ieee8021xEnabled == 0 && !HasKey(v))
        return kNoKey;
    if (Is(v->authentication, L"WPAPSK") || Is(v->authentication, L"WPA2PSK"))
        return kPassPhrase;
    if (v->ieee8021xEnabled == 0)
        return kNetworkKey;
    if (!HasKey(v))
        return kOneXNoKey;
    return kOneXKey;
}

// Text of an element, or null for the numeric ones.
const wchar_t* TextOf(Element element, const WirelessProfileValues* v)
{
    switch (element) {
    case EL_VERSION: return kVersion;
    case EL_SSID: return v->ssid;
    case EL_CONNECTION_TYPE: return kConnectionType;
    case EL_AUTHENTICATION: return v->authentication;
    case EL_ENCRYPTION: return v->encryption;
    case EL_NETWORK_KEY: return v->networkKey;
    case EL_EAP_METHOD: return v->eapMethod;
    default: return nullptr;
    }
}

int32_t NumberOf(Element element, const WirelessProfileValues* v)
{
    switch (element) {
    case EL_KEY_INDEX: return v->keyIndex;
    case EL_KEY_PROVIDED_AUTOMATICALLY: return v->keyProvidedAutomatically;
    default: return v->ieee8021xEnabled;
    }
}

bool IsNumeric(Element element)
{
    return element == EL_KEY_INDEX || element == EL_KEY_PROVIDED_AUTOMATICALLY ||
           element == EL_IEEE8021X;
}

// Characters of " <wp:NAME>" and "</wp:NAME>" around a value.
size_t TagsLength(Element element)
{
    return 12 + 2 * wcslen(kElementNames[element]);
}

size_t NumberLength(int32_t number)
{
    wchar_t digits[16];
    return (size_t)swprintf(digits, sizeof(digits) / sizeof(digits[0]), L"%ld", (long)number);
}

void Format(const Element* elements, const WirelessProfileValues* v, XmlWriter* w)
{
    XmlPutText(w, kHead);
    for (; *elements != EL_END; ++elements) {
        XmlPutText(w, L" <wp:");
        XmlPutText(w, kElementNames[*elements]);
        XmlPutText(w, L">");
        if (IsNumeric(*elements))
            XmlPutNumber(w, NumberOf(*elements, v));
        else
            XmlPutEscaped(w, TextOf(*elements, v));
        XmlPutText(w, L"</wp:");
        XmlPutText(w, kElementNames[*elements]);
        XmlPutText(w, L">");
    }
    XmlPutText(w, kTail);
}

} // namespace

size_t WirelessProfileBytes(const WirelessProfileValues* v)
{
    size_t characters = wcslen(kHead) + wcslen(kTail) + 1;
    for (const Element* e = TemplateFor(v); *e != EL_END; ++e)
        characters += TagsLength(*e) + (IsNumeric(*e) ? NumberLength(NumberOf(*e, v))
                                                      : XmlEscapedLength(TextOf(*e, v)));
    size_t bytes = characters * sizeof(wchar_t);
    const size_t minimum = WIRELESS_PROFILE_MIN_BYTES;
    return bytes < minimum ? minimum : bytes;
}

uint32_t BuildWirelessProfile(const WirelessProfileValues* values, wchar_t** document,
                              size_t* bytes)
{
    size_t size = WirelessProfileBytes(values);
    wchar_t* buffer = static_cast<wchar_t*>(calloc(1, size));
    if (!buffer)
        return 8;
    XmlWriter writer = XmlWriterOver(buffer, size / sizeof(wchar_t));
    Format(TemplateFor(values), values, &writer);
    // The size covers every value; a document is never handed out cut short.
    if (writer.overflow) {
        FreeSecret(buffer, size);
        return 8;
    }
    *document = buffer;
    *bytes = size;
    return 0;
}
