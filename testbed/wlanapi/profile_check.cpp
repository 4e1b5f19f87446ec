#include "profile_check.h"

#include <cwctype>
#include <vector>

#include "ssid_bytes.h"
#include "wlan_reason.h"
#include "xml_tree.h"

namespace {

const wchar_t kWlanNs[] = L"http://www.microsoft.com/networking/WLAN/profile/v1";
// Later schema versions add elements in namespaces of their own.
const wchar_t kWlanV3Ns[] = L"http://www.microsoft.com/networking/WLAN/profile/v3";
const wchar_t kWlanV4Ns[] = L"http://www.microsoft.com/networking/WLAN/profile/v4";
const wchar_t kOneXNs[] = L"http://www.microsoft.com/networking/OneX/v1";
const wchar_t kEapHostNs[] = L"http://www.microsoft.com/provisioning/EapHostConfig";
const wchar_t kEapCommonNs[] = L"http://www.microsoft.com/provisioning/EapCommon";

// One element that the profile schema allows at a place, in the schema's order. An element
// whose absence the platform reports with a reason of its own is checked where it is used.
struct Particle {
    const wchar_t* name;
    const wchar_t* ns;
    bool required;
    const struct Particle* content; // its child elements; null: text only
};

const Particle kEapMethod[] = {{L"Type", kEapCommonNs, true, nullptr},
                               {L"VendorId", kEapCommonNs, true, nullptr},
                               {L"VendorType", kEapCommonNs, true, nullptr},
                               {L"AuthorId", kEapCommonNs, true, nullptr},
                               {}};
const Particle kEapHostConfig[] = {{L"EapMethod", kEapHostNs, true, kEapMethod},
                                   {L"ConfigBlob", kEapHostNs, true, nullptr},
                                   {}};
const Particle kEapConfig[] = {{L"EapHostConfig", kEapHostNs, true, kEapHostConfig}, {}};
const Particle kOneX[] = {{L"EAPConfig", kOneXNs, true, kEapConfig}, {}};
const Particle kAuthEncryption[] = {{L"authentication", kWlanNs, true, nullptr},
                                    {L"encryption", kWlanNs, true, nullptr},
                                    {L"useOneX", kWlanNs, false, nullptr},
                                    {L"transitionMode", kWlanV4Ns, false, nullptr},
                                    {}};
const Particle kSharedKey[] = {{L"keyType", kWlanNs, true, nullptr},
                               {L"protected", kWlanNs, true, nullptr},
                               {L"keyMaterial", kWlanNs, true, nullptr},
                               {}};
const Particle kSecurity[] = {{L"authEncryption", kWlanNs, false, kAuthEncryption},
                              {L"sharedKey", kWlanNs, false, kSharedKey},
                              {L"keyIndex", kWlanNs, false, nullptr},
                              {L"OneX", kOneXNs, false, kOneX},
                              {}};
const Particle kMsm[] = {{L"security", kWlanNs, false, kSecurity}, {}};
const Particle kSsid[] = {{L"hex", kWlanNs, false, nullptr},
                          {L"name", kWlanNs, false, nullptr},
                          {}};
const Particle kSsidConfig[] = {{L"SSID", kWlanNs, false, kSsid},
                                {L"nonBroadcast", kWlanNs, false, nullptr},
                                {}};
const Particle kMacRandomization[] = {{L"enableRandomization", kWlanV3Ns, false, nullptr},
                                      {L"randomizeEveryday", kWlanV3Ns, false, nullptr},
                                      {L"randomizationSeed", kWlanV3Ns, false, nullptr},
                                      {}};
const Particle kWlanProfile[] = {{L"name", kWlanNs, false, nullptr},
                                 {L"SSIDConfig", kWlanNs, false, kSsidConfig},
                                 {L"connectionType", kWlanNs, false, nullptr},
                                 {L"connectionMode", kWlanNs, true, nullptr},
                                 {L"autoSwitch", kWlanNs, false, nullptr},
                                 {L"MSM", kWlanNs, false, kMsm},
                                 {L"MacRandomization", kWlanV3Ns, false, kMacRandomization},
                                 {}};

bool IsBlank(const std::wstring& text)
{
    return text.find_first_not_of(L" \t\r\n") == std::wstring::npos;
}

// Only namespace declarations: the profile schema defines no attribute.
bool OnlyNamespaceDeclarations(const XmlElement& element)
{
    for (const auto& attribute : element.attributes)
        if (attribute.first != L"xmlns" && attribute.first.compare(0, 6, L"xmlns:") != 0)
            return false;
    return true;
}

// The element against its declaration: no attribute, text only where text belongs, and its
// children known, each at most once, in the schema's order, none required missing.
bool FollowsSchema(const XmlElement& element, const Particle* content)
{
    if (!OnlyNamespaceDeclarations(element))
        return false;
    if (!content)
        return element.children.empty();
    if (!IsBlank(element.text))
        return false;
    const Particle* next = content;
    for (const XmlElement& child : element.children) {
        while (next->name && (child.localName != next->name || child.namespaceUri != next->ns)) {
            if (next->required)
                return false;
            ++next;
        }
        if (!next->name || !FollowsSchema(child, next->content))
            return false;
        ++next;
    }
    for (; next->name; ++next)
        if (next->required)
            return false;
    return true;
}

// The child of that name in that namespace (the schema allows one at most), or null.
const XmlElement* Child(const XmlElement& parent, const wchar_t* name, const wchar_t* ns)
{
    for (const XmlElement& child : parent.children)
        if (child.localName == name && child.namespaceUri == ns)
            return &child;
    return nullptr;
}

// The child of an element that may itself be missing.
const XmlElement* ChildOf(const XmlElement* parent, const wchar_t* name, const wchar_t* ns)
{
    return parent ? Child(*parent, name, ns) : nullptr;
}

bool IsOneOf(const std::wstring& value, std::initializer_list<const wchar_t*> choices)
{
    for (const wchar_t* choice : choices)
        if (value == choice)
            return true;
    return false;
}

// Every optional flag that is present reads true or false.
bool FlagsFit(std::initializer_list<const XmlElement*> flags)
{
    for (const XmlElement* flag : flags)
        if (flag && !IsOneOf(flag->text, {L"true", L"false"}))
            return false;
    return true;
}

bool IsHex(const std::wstring& text)
{
    for (wchar_t c : text)
        if (!iswxdigit(c) || c > 0x7F)
            return false;
    return true;
}

bool IsPrintableAscii(const std::wstring& text)
{
    for (wchar_t c : text)
        if (c < 0x20 || c > 0x7E)
            return false;
    return true;
}

bool IsDecimal(const std::wstring& text)
{
    if (text.empty() || text.size() > 9)
        return false;
    for (wchar_t c : text)
        if (c < L'0' || c > L'9')
            return false;
    return true;
}

// The randomization seed is a DWORD.
bool IsDword(const std::wstring& text)
{
    if (text.empty() || text.size() > 10)
        return false;
    for (wchar_t c : text)
        if (c < L'0' || c > L'9')
            return false;
    return wcstoull(text.c_str(), nullptr, 10) <= 0xFFFFFFFFull;
}

// Characters, not UTF-16 units: a surrogate pair is one.
size_t CharacterCount(const std::wstring& text)
{
    size_t count = 0;
    for (wchar_t c : text)
        count += c < 0xDC00 || c > 0xDFFF;
    return count;
}

uint32_t ReadU32(const std::vector<uint8_t>& bytes, size_t offset)
{
    return bytes[offset] | bytes[offset + 1] << 8 | bytes[offset + 2] << 16 |
           (uint32_t)bytes[offset + 3] << 24;
}

// The EAP record must suit its method: PEAP records start with version 1, EAP-TLS records
// with version 2, and the size field must equal the record's length.
bool ConfigBlobFits(const std::wstring& hex, unsigned long eapType)
{
    if (hex.empty() || hex.size() % 2 != 0 || !IsHex(hex))
        return false;
    std::vector<uint8_t> bytes(hex.size() / 2);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = (uint8_t)wcstoul(hex.substr(2 * i, 2).c_str(), nullptr, 16);
    if (bytes.size() < 8 || ReadU32(bytes, 4) != bytes.size())
        return false;
    if (eapType == 25)
        return ReadU32(bytes, 0) == 1 && bytes.size() >= 54;
    if (eapType == 13)
        return ReadU32(bytes, 0) == 2 && bytes.size() >= 42;
    return false;
}

// The authentication and encryption pairs of the profile schema that Windows 11 accepts
// ("WPA3" is the schema's older name of "WPA3ENT192").
struct AuthCipher {
    const wchar_t* authentication;
    const wchar_t* encryption;
};
const AuthCipher kPairs[] = {
    {L"open", L"none"},          {L"open", L"WEP"},    {L"shared", L"WEP"},
    {L"WPA", L"TKIP"},           {L"WPA", L"AES"},     {L"WPAPSK", L"TKIP"},
    {L"WPAPSK", L"AES"},         {L"WPA2", L"TKIP"},   {L"WPA2", L"AES"},
    {L"WPA2PSK", L"TKIP"},       {L"WPA2PSK", L"AES"}, {L"WPA3", L"GCMP256"},
    {L"WPA3ENT192", L"GCMP256"}, {L"WPA3ENT", L"AES"}, {L"WPA3ENT", L"GCMP256"},
    {L"WPA3SAE", L"AES"},        {L"OWE", L"AES"},
};

bool KnownAuthentication(const std::wstring& value)
{
    for (const AuthCipher& pair : kPairs)
        if (value == pair.authentication)
            return true;
    return false;
}

bool PairFits(const std::wstring& authentication, const std::wstring& encryption)
{
    for (const AuthCipher& pair : kPairs)
        if (authentication == pair.authentication && encryption == pair.encryption)
            return true;
    return false;
}

// The structure was checked against the schema already: every element used here is there.
DWORD CheckOneX(const XmlElement& oneX)
{
    const XmlElement* host = Child(*Child(oneX, L"EAPConfig", kOneXNs), L"EapHostConfig",
                                   kEapHostNs);
    const XmlElement* method = Child(*host, L"EapMethod", kEapHostNs);
    const XmlElement* blob = Child(*host, L"ConfigBlob", kEapHostNs);
    for (const XmlElement& field : method->children)
        if (!IsDecimal(field.text))
            return WLAN_REASON_INVALID_PROFILE_SCHEMA;
    const XmlElement* type = Child(*method, L"Type", kEapCommonNs);
    if (!ConfigBlobFits(blob->text, wcstoul(type->text.c_str(), nullptr, 10)))
        return WLAN_REASON_INVALID_PROFILE_SCHEMA;
    return 0;
}

DWORD CheckSharedKey(const XmlElement& sharedKey, const std::wstring& authentication,
                     const std::wstring& encryption)
{
    const XmlElement* keyType = Child(sharedKey, L"keyType", kWlanNs);
    const XmlElement* isProtected = Child(sharedKey, L"protected", kWlanNs);
    const XmlElement* material = Child(sharedKey, L"keyMaterial", kWlanNs);
    if (!IsOneOf(keyType->text, {L"networkKey", L"passPhrase"}) ||
        !IsOneOf(isProtected->text, {L"true", L"false"}))
        return WLAN_REASON_INVALID_PROFILE_SCHEMA;
    if (isProtected->text == L"true")
        return 0; // encrypted key material: its clear length cannot be checked here
    const std::wstring& key = material->text;
    size_t length = key.size();
    bool passPhrase = keyType->text == L"passPhrase";
    bool phrase = passPhrase && length >= 8 && length <= 63 && IsPrintableAscii(key);
    if (encryption == L"WEP") {
        bool fits = keyType->text == L"networkKey" &&
                    (((length == 5 || length == 13) && IsPrintableAscii(key)) ||
                     ((length == 10 || length == 26) && IsHex(key)));
        return fits ? 0u : (DWORD)WLAN_REASON_MSMSEC_KEY_LENGTH;
    }
    // The two forms of a pre-shared key: what does not fit the form its key type names is
    // the wrong key type, 64 hexadecimal digits written as a pass phrase included.
    if (authentication == L"WPAPSK" || authentication == L"WPA2PSK") {
        bool fits = passPhrase ? phrase : length == 64 && IsHex(key);
        return fits ? 0u : (DWORD)WLAN_REASON_MSMSEC_PROFILE_WRONG_KEYTYPE;
    }
    // SAE derives its keys from the password itself: a 64-digit key is no password.
    if (authentication == L"WPA3SAE")
        return phrase ? 0u : (DWORD)WLAN_REASON_MSMSEC_PSK_LENGTH;
    return WLAN_REASON_CONFLICT_SECURITY;
}

DWORD CheckSecurity(const XmlElement& security)
{
    DWORD reason = 0;
    const XmlElement* authEncryption = Child(security, L"authEncryption", kWlanNs);
    if (!authEncryption)
        return WLAN_REASON_SECURITY_MISSING;
    const XmlElement* authentication = Child(*authEncryption, L"authentication", kWlanNs);
    const XmlElement* encryption = Child(*authEncryption, L"encryption", kWlanNs);
    const XmlElement* useOneX = Child(*authEncryption, L"useOneX", kWlanNs);
    if (!KnownAuthentication(authentication->text) ||
        !IsOneOf(encryption->text, {L"none", L"WEP", L"TKIP", L"AES", L"GCMP256"}) ||
        !FlagsFit({useOneX, Child(*authEncryption, L"transitionMode", kWlanV4Ns)}))
        return WLAN_REASON_INVALID_PROFILE_SCHEMA;
    const std::wstring& a = authentication->text;
    const std::wstring& e = encryption->text;
    if (!PairFits(a, e))
        return WLAN_REASON_MSMSEC_INVALID_AUTH_CIPHER;
    bool keyless = a == L"open" || a == L"shared";
    bool oneXOn = useOneX && useOneX->text == L"true";
    bool needsOneX = IsOneOf(a, {L"WPA", L"WPA2", L"WPA3", L"WPA3ENT192", L"WPA3ENT"});
    bool allowsOneX = needsOneX || (a == L"open" && e == L"WEP");
    if (needsOneX && !oneXOn)
        return WLAN_REASON_MSMSEC_ONEX_DISABLED;
    if (oneXOn && !allowsOneX)
        return WLAN_REASON_MSMSEC_ONEX_ENABLED;

    const XmlElement* oneX = Child(security, L"OneX", kOneXNs);
    const XmlElement* sharedKey = Child(security, L"sharedKey", kWlanNs);
    const XmlElement* keyIndex = Child(security, L"keyIndex", kWlanNs);
    if ((oneX != nullptr) != oneXOn)
        return WLAN_REASON_INVALID_PROFILE_SCHEMA;
    if (oneX && (reason = CheckOneX(*oneX)) != 0)
        return reason;
    bool psk = IsOneOf(a, {L"WPAPSK", L"WPA2PSK", L"WPA3SAE"});
    if (psk && !sharedKey)
        return WLAN_REASON_SECURITY_MISSING;
    if (sharedKey && (oneXOn || e == L"none"))
        return WLAN_REASON_CONFLICT_SECURITY;
    if (sharedKey && (reason = CheckSharedKey(*sharedKey, a, e)) != 0)
        return reason;
    if (keyIndex) {
        if (e != L"WEP" || !keyless)
            return WLAN_REASON_CONFLICT_SECURITY;
        if (!IsOneOf(keyIndex->text, {L"0", L"1", L"2", L"3"}))
            return WLAN_REASON_MSMSEC_INVALID_KEY_INDEX;
    }
    return 0;
}

// An SSID names its network by hex, by name or both (the hex wins); a name has 1 to 32
// characters even beside a hex.
DWORD CheckSsid(const XmlElement* ssid, std::vector<uint8_t>* bytes)
{
    const XmlElement* hex = ChildOf(ssid, L"hex", kWlanNs);
    const XmlElement* name = ChildOf(ssid, L"name", kWlanNs);
    size_t characters = name ? CharacterCount(name->text) : 0;
    if (name && (characters == 0 || characters > 32))
        return WLAN_REASON_PROFILE_SSID_INVALID;
    bool fits = hex ? SsidFromHex(hex->text, bytes) : name && SsidFromName(name->text, bytes);
    return fits ? 0u : (DWORD)WLAN_REASON_PROFILE_SSID_INVALID;
}

} // namespace

DWORD CheckProfileDocument(const std::wstring& document, std::wstring* profileName,
                           std::vector<uint8_t>* ssidBytes)
{
    XmlElement root;
    if (!ParseXmlDocument(document, &root))
        return WLAN_REASON_INVALID_PROFILE_SCHEMA;
    if (root.localName != L"WLANProfile")
        return WLAN_REASON_PROFILE_MISSING;
    if (root.namespaceUri != kWlanNs || !FollowsSchema(root, kWlanProfile))
        return WLAN_REASON_INVALID_PROFILE_SCHEMA;
    const XmlElement* name = Child(root, L"name", kWlanNs);
    if (!name || name->text.empty() || name->text.size() > 255)
        return WLAN_REASON_INVALID_PROFILE_NAME;
    const XmlElement* ssidConfig = Child(root, L"SSIDConfig", kWlanNs);
    std::vector<uint8_t> bytes;
    DWORD reason = CheckSsid(ChildOf(ssidConfig, L"SSID", kWlanNs), &bytes);
    if (reason != 0)
        return reason;
    const XmlElement* mac = Child(root, L"MacRandomization", kWlanV3Ns);
    const XmlElement* seed = ChildOf(mac, L"randomizationSeed", kWlanV3Ns);
    if (!FlagsFit({Child(*ssidConfig, L"nonBroadcast", kWlanNs),
                   Child(root, L"autoSwitch", kWlanNs),
                   ChildOf(mac, L"enableRandomization", kWlanV3Ns),
                   ChildOf(mac, L"randomizeEveryday", kWlanV3Ns)}) ||
        (seed && !IsDword(seed->text)))
        return WLAN_REASON_INVALID_PROFILE_SCHEMA;
    const XmlElement* type = Child(root, L"connectionType", kWlanNs);
    if (!type || !IsOneOf(type->text, {L"ESS", L"IBSS"}))
        return WLAN_REASON_INVALID_BSS_TYPE;
    const XmlElement* mode = Child(root, L"connectionMode", kWlanNs);
    if (!IsOneOf(mode->text, {L"auto", L"manual"}))
        return WLAN_REASON_INVALID_PROFILE_SCHEMA;
    if (type->text == L"IBSS" && mode->text == L"auto")
        return WLAN_REASON_INVALID_ADHOC_CONNECTION_MODE;
    const XmlElement* msm = Child(root, L"MSM", kWlanNs);
    const XmlElement* security = msm ? Child(*msm, L"security", kWlanNs) : nullptr;
    if (!security)
        return WLAN_REASON_MSM_SECURITY_MISSING;
    reason = CheckSecurity(*security);
    if (reason != 0)
        return reason;
    *profileName = name->text;
    if (ssidBytes)
        *ssidBytes = bytes;
    return 0;
}
