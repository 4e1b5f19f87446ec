#include "profile_check.h"

#include <cwctype>
#include <vector>

#include "wlan_reason.h"
#include "xml_tree.h"

namespace {

const wchar_t kWlanNs[] = L"http://www.microsoft.com/networking/WLAN/profile/v1";
const wchar_t kOneXNs[] = L"http://www.microsoft.com/networking/OneX/v1";
const wchar_t kEapHostNs[] = L"http://www.microsoft.com/provisioning/EapHostConfig";
const wchar_t kEapCommonNs[] = L"http://www.microsoft.com/provisioning/EapCommon";

// Finds the only child of that name in that namespace. *reason is set when the child is
// repeated; a missing child returns null with *reason unchanged.
const XmlElement* Child(const XmlElement& parent, const wchar_t* name, const wchar_t* ns,
                        DWORD* reason)
{
    const XmlElement* found = nullptr;
    for (const XmlElement& child : parent.children) {
        if (child.localName == name && child.namespaceUri == ns) {
            if (found)
                *reason = WLAN_REASON_INVALID_PROFILE_SCHEMA;
            found = &child;
        }
    }
    return found;
}

// Every child must be one of the names allowed here, in the given namespace.
bool OnlyChildren(const XmlElement& parent, std::initializer_list<const wchar_t*> names,
                  const wchar_t* ns)
{
    for (const XmlElement& child : parent.children) {
        bool known = false;
        for (const wchar_t* name : names)
            known = known || (child.localName == name && child.namespaceUri == ns);
        if (!known)
            return false;
    }
    return true;
}

bool IsOneOf(const std::wstring& value, std::initializer_list<const wchar_t*> choices)
{
    for (const wchar_t* choice : choices)
        if (value == choice)
            return true;
    return false;
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

DWORD CheckOneX(const XmlElement& oneX)
{
    DWORD reason = 0;
    const XmlElement* eapConfig = Child(oneX, L"EAPConfig", kOneXNs, &reason);
    if (!eapConfig || reason)
        return WLAN_REASON_INVALID_PROFILE_SCHEMA;
    const XmlElement* host = Child(*eapConfig, L"EapHostConfig", kEapHostNs, &reason);
    if (!host || reason || !OnlyChildren(*host, {L"EapMethod", L"ConfigBlob"}, kEapHostNs))
        return WLAN_REASON_INVALID_PROFILE_SCHEMA;
    const XmlElement* method = Child(*host, L"EapMethod", kEapHostNs, &reason);
    const XmlElement* blob = Child(*host, L"ConfigBlob", kEapHostNs, &reason);
    if (!method || !blob || reason)
        return WLAN_REASON_INVALID_PROFILE_SCHEMA;
    const XmlElement* type = Child(*method, L"Type", kEapCommonNs, &reason);
    for (const wchar_t* name : {L"Type", L"VendorId", L"VendorType", L"AuthorId"}) {
        const XmlElement* field = Child(*method, name, kEapCommonNs, &reason);
        if (!field || !IsDecimal(field->text))
            return WLAN_REASON_INVALID_PROFILE_SCHEMA;
    }
    if (reason || !ConfigBlobFits(blob->text, wcstoul(type->text.c_str(), nullptr, 10)))
        return WLAN_REASON_INVALID_PROFILE_SCHEMA;
    return 0;
}

DWORD CheckSharedKey(const XmlElement& sharedKey, const std::wstring& authentication,
                     const std::wstring& encryption)
{
    DWORD reason = 0;
    const XmlElement* keyType = Child(sharedKey, L"keyType", kWlanNs, &reason);
    const XmlElement* isProtected = Child(sharedKey, L"protected", kWlanNs, &reason);
    const XmlElement* material = Child(sharedKey, L"keyMaterial", kWlanNs, &reason);
    if (!keyType || !isProtected || !material || reason ||
        !IsOneOf(keyType->text, {L"networkKey", L"passPhrase"}) ||
        !IsOneOf(isProtected->text, {L"true", L"false"}))
        return WLAN_REASON_INVALID_PROFILE_SCHEMA;
    if (isProtected->text == L"true")
        return 0;   // encrypted key material: its clear length cannot be checked here
    const std::wstring& key = material->text;
    size_t length = key.size();
    if (encryption == L"WEP") {
        bool fits = keyType->text == L"networkKey" &&
                    (((length == 5 || length == 13) && IsPrintableAscii(key)) ||
                     ((length == 10 || length == 26) && IsHex(key)));
        return fits ? 0u : (DWORD)WLAN_REASON_MSMSEC_KEY_LENGTH;
    }
    if (authentication == L"WPAPSK" || authentication == L"WPA2PSK") {
        bool hexKey = length == 64 && IsHex(key);
        bool phrase = length >= 8 && length <= 63 && IsPrintableAscii(key);
        bool fits = keyType->text == L"passPhrase" ? (phrase || hexKey) : hexKey;
        return fits ? 0u : (DWORD)WLAN_REASON_MSMSEC_PSK_LENGTH;
    }
    return WLAN_REASON_CONFLICT_SECURITY;
}

DWORD CheckSecurity(const XmlElement& security)
{
    DWORD reason = 0;
    // Children come from two namespaces: the WLAN profile's and OneX's.
    for (const XmlElement& child : security.children) {
        bool known = (child.namespaceUri == kWlanNs &&
                      IsOneOf(child.localName, {L"authEncryption", L"sharedKey", L"keyIndex"})) ||
                     (child.namespaceUri == kOneXNs && child.localName == L"OneX");
        if (!known)
            return WLAN_REASON_INVALID_PROFILE_SCHEMA;
    }
    const XmlElement* authEncryption = Child(security, L"authEncryption", kWlanNs, &reason);
    if (!authEncryption)
        return WLAN_REASON_SECURITY_MISSING;
    const XmlElement* authentication = Child(*authEncryption, L"authentication", kWlanNs, &reason);
    const XmlElement* encryption = Child(*authEncryption, L"encryption", kWlanNs, &reason);
    const XmlElement* useOneX = Child(*authEncryption, L"useOneX", kWlanNs, &reason);
    if (reason || !authentication || !encryption ||
        !OnlyChildren(*authEncryption, {L"authentication", L"encryption", L"useOneX"}, kWlanNs) ||
        !IsOneOf(authentication->text, {L"open", L"shared", L"WPA", L"WPAPSK", L"WPA2", L"WPA2PSK"}) ||
        !IsOneOf(encryption->text, {L"none", L"WEP", L"TKIP", L"AES"}) ||
        (useOneX && !IsOneOf(useOneX->text, {L"true", L"false"})))
        return WLAN_REASON_INVALID_PROFILE_SCHEMA;
    const std::wstring& a = authentication->text;
    const std::wstring& e = encryption->text;
    bool keyless = a == L"open" || a == L"shared";
    bool pairFits = a == L"open" ? (e == L"none" || e == L"WEP")
                  : a == L"shared" ? e == L"WEP"
                  : (e == L"TKIP" || e == L"AES");
    if (!pairFits)
        return WLAN_REASON_MSMSEC_INVALID_AUTH_CIPHER;
    bool oneXOn = useOneX && useOneX->text == L"true";
    bool needsOneX = a == L"WPA" || a == L"WPA2";
    bool allowsOneX = needsOneX || (a == L"open" && e == L"WEP");
    if (needsOneX && !oneXOn)
        return WLAN_REASON_MSMSEC_ONEX_DISABLED;
    if (oneXOn && !allowsOneX)
        return WLAN_REASON_MSMSEC_ONEX_ENABLED;

    const XmlElement* oneX = Child(security, L"OneX", kOneXNs, &reason);
    const XmlElement* sharedKey = Child(security, L"sharedKey", kWlanNs, &reason);
    const XmlElement* keyIndex = Child(security, L"keyIndex", kWlanNs, &reason);
    if (reason || (oneX != nullptr) != oneXOn)
        return WLAN_REASON_INVALID_PROFILE_SCHEMA;
    if (oneX && (reason = CheckOneX(*oneX)) != 0)
        return reason;
    bool psk = a == L"WPAPSK" || a == L"WPA2PSK";
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

} // namespace

DWORD CheckProfileDocument(const std::wstring& document, std::wstring* profileName)
{
    XmlElement root;
    if (!ParseXmlDocument(document, &root, nullptr))
        return WLAN_REASON_INVALID_PROFILE_SCHEMA;
    if (root.localName != L"WLANProfile")
        return WLAN_REASON_PROFILE_MISSING;
    if (root.namespaceUri != kWlanNs ||
        !OnlyChildren(root, {L"name", L"SSIDConfig", L"connectionType", L"connectionMode",
                             L"autoSwitch", L"MSM"}, kWlanNs))
        return WLAN_REASON_INVALID_PROFILE_SCHEMA;
    DWORD reason = 0;
    const XmlElement* name = Child(root, L"name", kWlanNs, &reason);
    if (!name || name->text.empty() || name->text.size() > 255)
        return WLAN_REASON_INVALID_PROFILE_NAME;
    const XmlElement* ssidConfig = Child(root, L"SSIDConfig", kWlanNs, &reason);
    const XmlElement* ssid = ssidConfig ? Child(*ssidConfig, L"SSID", kWlanNs, &reason) : nullptr;
    const XmlElement* ssidName = ssid ? Child(*ssid, L"name", kWlanNs, &reason) : nullptr;
    if (!ssidName || ssidName->text.empty() || ssidName->text.size() > 32)
        return WLAN_REASON_PROFILE_SSID_INVALID;
    const XmlElement* type = Child(root, L"connectionType", kWlanNs, &reason);
    if (!type || !IsOneOf(type->text, {L"ESS", L"IBSS"}))
        return WLAN_REASON_INVALID_BSS_TYPE;
    const XmlElement* mode = Child(root, L"connectionMode", kWlanNs, &reason);
    if (!mode || !IsOneOf(mode->text, {L"auto", L"manual"}))
        return WLAN_REASON_INVALID_PROFILE_SCHEMA;
    if (type->text == L"IBSS" && mode->text == L"auto")
        return WLAN_REASON_INVALID_ADHOC_CONNECTION_MODE;
    const XmlElement* msm = Child(root, L"MSM", kWlanNs, &reason);
    const XmlElement* security = msm ? Child(*msm, L"security", kWlanNs, &reason) : nullptr;
    if (reason)
        return WLAN_REASON_INVALID_PROFILE_SCHEMA;
    if (!security)
        return WLAN_REASON_MSM_SECURITY_MISSING;
    if ((reason = CheckSecurity(*security)) != 0)
        return reason;
    *profileName = name->text;
    return 0;
}
