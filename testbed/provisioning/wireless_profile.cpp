#include "wireless_profile.h"

#include <cstring>

#include "psk_derivation.h"

namespace {

enum {
    WZC_CTL_KEY_PRESENT = 0x0001,
    WZC_CTL_KEY_HEX = 0x0002,
    EAPOL_ONEX_ENABLED = 0x80000000u,
    AUTH_OPEN = 0,
    AUTH_SHARED = 1,
    AUTH_WPA = 3,
    AUTH_WPA_PSK = 4,
    AUTH_WPA2 = 6,
    AUTH_WPA2_PSK = 7,
    PRIVACY_WEP = 0,
    PRIVACY_NONE = 1,
    MAX_KEY_CHARACTERS = 64,
};

// The children in schema order; a missing required one gives its status.
enum Child {
    VERSION,
    SSID,
    CONNECTION_TYPE,
    AUTHENTICATION,
    ENCRYPTION,
    NETWORK_KEY,
    KEY_INDEX,
    KEY_PROVIDED_AUTOMATICALLY,
    ONEX_ENABLED,
    EAP_METHOD,
    CHILD_COUNT
};

struct ChildRule {
    const char16_t* name;
    uint32_t missingStatus; // PROFILE_SUCCESS: optional
};

const ChildRule kChildren[CHILD_COUNT] = {
    {u"version", PROFILE_NO_VERSION},
    {u"ssid", PROFILE_SSID_NOT_FOUND},
    {u"connectionType", PROFILE_CONNECTION_TYPE},
    {u"authentication", PROFILE_AUTHENTICATION},
    {u"encryption", PROFILE_ENCRYPTION},
    {u"networkKey", PROFILE_SUCCESS},
    {u"keyIndex", PROFILE_SUCCESS},
    {u"keyProvidedAutomatically", PROFILE_KEY_PROVIDED_AUTOMATICALLY},
    {u"IEEE802.1XEnabled", PROFILE_ONEX_ENABLED},
    {u"EAPMethod", PROFILE_SUCCESS},
};

struct NamedCode {
    const char16_t* text;
    uint32_t code;
};

const NamedCode kConnectionTypes[] = {{u"ESS", 1}, {u"IBSS", 0}, {nullptr, 0}};
const NamedCode kAuthentications[] = {{u"Open", AUTH_OPEN}, {u"Shared", AUTH_SHARED},
                                      {u"WPA", AUTH_WPA},   {u"WPAPSK", AUTH_WPA_PSK},
                                      {u"WPA2", AUTH_WPA2}, {u"WPA2PSK", AUTH_WPA2_PSK},
                                      {nullptr, 0}};
const NamedCode kEncryptions[] = {
    {u"WEP", PRIVACY_WEP}, {u"None", PRIVACY_NONE}, {u"TKIP", 4}, {u"AES", 6}, {nullptr, 0}};
// An empty method leaves the platform's default, EAP-TLS.
const NamedCode kEapMethods[] = {{u"PEAP", EAP_TYPE_PEAP},
                                 {u"EAP-TLS", EAP_TYPE_TLS},
                                 {u"", EAP_TYPE_TLS},
                                 {nullptr, 0}};

bool LookUp(const NamedCode* table, const std::u16string& text, uint32_t* code)
{
    for (; table->text; ++table) {
        if (text == table->text) {
            *code = table->code;
            return true;
        }
    }
    return false;
}

// Decimal digits only; values beyond 9999 are simply too large for every field.
bool ReadNumber(const std::u16string& text, uint32_t* value)
{
    if (text.empty())
        return false;
    uint32_t number = 0;
    for (char16_t c : text) {
        if (c < u'0' || c > u'9')
            return false;
        number = number > 9999 ? 10000 : number * 10 + (c - u'0');
    }
    *value = number;
    return true;
}

// A 0/1 switch; anything else gives the element's status.
bool ReadSwitch(const std::u16string& text, bool* value)
{
    uint32_t number = 0;
    if (!ReadNumber(text, &number) || number > 1)
        return false;
    *value = number == 1;
    return true;
}

bool IsHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool IsHexText(const std::string& text)
{
    for (char c : text) {
        if (!IsHexDigit(c))
            return false;
    }
    return true;
}

uint8_t HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return (uint8_t)(c - '0');
    return (uint8_t)((c | 0x20) - 'a' + 10);
}

bool IsPresharedKeyMode(uint32_t authentication)
{
    return authentication == AUTH_WPA_PSK || authentication == AUTH_WPA2_PSK;
}

bool IsOneXMode(uint32_t authentication)
{
    return authentication == AUTH_WPA || authentication == AUTH_WPA2;
}

// Key as hex digits: 10 or 26 for WEP, 64 for the PSK modes.
bool IsHexKey(const WirelessNetwork& n)
{
    size_t length = n.key.size();
    bool hexLength = n.privacy == PRIVACY_WEP
                         ? (length == 10 || length == 26)
                         : IsPresharedKeyMode(n.authentication) && length == 64;
    return hexLength && IsHexText(n.key);
}

// Key lengths the cipher takes: WEP 5 or 13 characters or 10 or 26 hex digits; a passphrase
// of 8 to 63 characters or 64 hex digits.
bool KeyFits(const WirelessNetwork& n)
{
    size_t length = n.key.size();
    if (length == 0)
        return true;
    if (n.privacy == PRIVACY_WEP)
        return length == 5 || length == 13 || IsHexKey(n);
    if (IsPresharedKeyMode(n.authentication))
        return (length >= 8 && length <= 63) || IsHexKey(n);
    return true;
}

uint32_t ReadValues(const ProfileElement* const children[CHILD_COUNT], WirelessNetwork* n,
                    bool* keyProvidedAutomatically)
{
    uint32_t number = 0;
    if (!ReadNumber(children[VERSION]->text, &number))
        return PROFILE_BAD_VERSION;
    if (number != 1)
        return PROFILE_UNSUPPORTED_VERSION;
    const ProfileElement* ssid = children[SSID];
    if (!ssid->ansiExact || ssid->ansiText.empty() || ssid->ansiText.size() > MAX_SSID_BYTES)
        return PROFILE_BAD_SSID;
    n->ssid = ssid->ansiText;
    if (!LookUp(kConnectionTypes, children[CONNECTION_TYPE]->text, &n->infrastructure))
        return PROFILE_CONNECTION_TYPE;
    if (!LookUp(kAuthentications, children[AUTHENTICATION]->text, &n->authentication))
        return PROFILE_AUTHENTICATION;
    if (!LookUp(kEncryptions, children[ENCRYPTION]->text, &n->privacy))
        return PROFILE_ENCRYPTION;
    if (const ProfileElement* key = children[NETWORK_KEY]) {
        if (!key->ansiExact || key->ansiText.empty() || key->ansiText.size() > MAX_KEY_CHARACTERS)
            return PROFILE_BAD_NETWORK_KEY;
        n->key = key->ansiText;
    }
    if (children[KEY_INDEX]) {
        if (!ReadNumber(children[KEY_INDEX]->text, &n->keyIndex))
            return PROFILE_BAD_KEY_INDEX;
        if (n->keyIndex < 1 || n->keyIndex > 4)
            return PROFILE_KEY_INDEX_RANGE;
    }
    if (!ReadSwitch(children[KEY_PROVIDED_AUTOMATICALLY]->text, keyProvidedAutomatically))
        return PROFILE_KEY_PROVIDED_AUTOMATICALLY;
    if (!ReadSwitch(children[ONEX_ENABLED]->text, &n->oneXEnabled))
        return PROFILE_ONEX_ENABLED;
    if (children[EAP_METHOD] && !LookUp(kEapMethods, children[EAP_METHOD]->text, &n->eapType))
        return PROFILE_EAP_METHOD;
    return PROFILE_SUCCESS;
}

uint32_t CheckCombination(const ProfileElement* const children[CHILD_COUNT], WirelessNetwork* n,
                          bool keyProvidedAutomatically)
{
    bool psk = IsPresharedKeyMode(n->authentication);
    bool wpa = IsOneXMode(n->authentication);
    bool hasKey = children[NETWORK_KEY] != nullptr;
    if (n->infrastructure == 0 && (wpa || psk))
        return PROFILE_AUTHENTICATION_FOR_CONNECTION_TYPE;
    bool wepOrNone = n->privacy == PRIVACY_WEP || n->privacy == PRIVACY_NONE;
    if (wepOrNone == (wpa || psk))
        return PROFILE_ENCRYPTION_FOR_AUTHENTICATION;
    if (n->privacy == PRIVACY_NONE && n->oneXEnabled)
        return PROFILE_ONEX_NOT_ALLOWED;
    // WPA and WPA2 take their keys from 802.1X.
    if (wpa && hasKey)
        return PROFILE_BAD_NETWORK_KEY;
    if (wpa && !keyProvidedAutomatically)
        return PROFILE_KEY_PROVIDED_AUTOMATICALLY;
    if (wpa && !n->oneXEnabled)
        return PROFILE_ONEX_ENABLED;
    if (psk && n->oneXEnabled)
        return PROFILE_ONEX_NOT_ALLOWED_KEY_REQUIRED;
    if (psk && keyProvidedAutomatically)
        return PROFILE_KEY_PROVIDED_AUTOMATICALLY;
    if (!hasKey && (psk || (n->privacy == PRIVACY_WEP && !keyProvidedAutomatically)))
        return PROFILE_KEY_REQUIRED;
    if (children[KEY_INDEX] && (psk || !hasKey))
        return PROFILE_KEY_INDEX_NOT_APPLICABLE;
    if (hasKey && !psk && !children[KEY_INDEX])
        return PROFILE_KEY_INDEX_REQUIRED;
    if (n->oneXEnabled && !children[EAP_METHOD])
        return PROFILE_EAP_METHOD_REQUIRED;
    if (!n->oneXEnabled && children[EAP_METHOD])
        return PROFILE_EAP_METHOD_NOT_APPLICABLE;
    // A key provided automatically replaces the one given; no cipher uses a key with None.
    if (keyProvidedAutomatically || n->privacy == PRIVACY_NONE)
        n->key.clear();
    if (!KeyFits(*n))
        return PROFILE_BAD_NETWORK_KEY;
    if (!n->oneXEnabled)
        n->eapType = 0;
    return PROFILE_SUCCESS;
}

void PutU32(std::vector<uint8_t>* bytes, size_t offset, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        (*bytes)[offset + i] = (uint8_t)(value >> (8 * i));
}

uint32_t GetU32(const std::vector<uint8_t>& bytes, size_t offset)
{
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | bytes[offset + i];
    return value;
}

size_t SsidSize(const std::string& ssid)
{
    return ssid.size() < (size_t)MAX_SSID_BYTES ? ssid.size() : (size_t)MAX_SSID_BYTES;
}

// The SSID zero-padded to its 32-byte field.
bool SsidFieldEquals(const std::vector<uint8_t>& bytes, size_t offset, const std::string& ssid)
{
    uint8_t field[MAX_SSID_BYTES] = {};
    memcpy(field, ssid.data(), SsidSize(ssid));
    return bytes.size() >= offset + MAX_SSID_BYTES &&
           memcmp(&bytes[offset], field, sizeof(field)) == 0;
}

} // namespace

uint32_t ReadWirelessProfile(const std::vector<ProfileElement>& elements, WirelessNetwork* network)
{
    const ProfileElement* children[CHILD_COUNT] = {};
    int next = 0;
    for (const ProfileElement& element : elements) {
        int slot = 0;
        while (slot < CHILD_COUNT && element.name != kChildren[slot].name)
            ++slot;
        // Unknown, repeated, out of order, in another namespace, or with element content.
        if (slot == CHILD_COUNT || slot < next || !element.conforming)
            return PROFILE_VALIDATION_FAILED;
        children[slot] = &element;
        next = slot + 1;
    }
    for (int slot = 0; slot < CHILD_COUNT; ++slot) {
        if (!children[slot] && kChildren[slot].missingStatus != PROFILE_SUCCESS)
            return kChildren[slot].missingStatus;
    }
    WirelessNetwork n;
    bool keyProvidedAutomatically = false;
    uint32_t status = ReadValues(children, &n, &keyProvidedAutomatically);
    if (status == PROFILE_SUCCESS)
        status = CheckCombination(children, &n, keyProvidedAutomatically);
    if (status == PROFILE_SUCCESS)
        *network = n;
    return status;
}

std::vector<uint8_t> BuildNetworkRecord(const WirelessNetwork& n)
{
    std::vector<uint8_t> record(WZC_RECORD_BYTES, 0);
    PutU32(&record, 0, WZC_RECORD_BYTES);
    size_t ssidSize = SsidSize(n.ssid);
    PutU32(&record, 16, (uint32_t)ssidSize);
    memcpy(&record[20], n.ssid.data(), ssidSize);
    PutU32(&record, 52, n.privacy);
    PutU32(&record, 96, n.infrastructure);
    PutU32(&record, 148, n.authentication);
    if (n.key.empty())
        return record;
    uint8_t material[PRESHARED_KEY_BYTES] = {};
    uint32_t flags = WZC_CTL_KEY_PRESENT;
    size_t length = 0;
    if (IsHexKey(n)) {
        flags |= WZC_CTL_KEY_HEX;
        length = n.key.size() / 2;
        for (size_t i = 0; i < length; ++i)
            material[i] = (uint8_t)(HexValue(n.key[2 * i]) << 4 | HexValue(n.key[2 * i + 1]));
    } else if (IsPresharedKeyMode(n.authentication)) {
        length = PRESHARED_KEY_BYTES;
        DerivePresharedKey(reinterpret_cast<const uint8_t*>(n.key.data()), n.key.size(),
                           reinterpret_cast<const uint8_t*>(n.ssid.data()), ssidSize, material);
    } else {
        length = n.key.size() < sizeof(material) ? n.key.size() : sizeof(material);
        memcpy(material, n.key.data(), length);
    }
    PutU32(&record, 4, flags);
    // Only WEP keys are indexed.
    PutU32(&record, 108, IsPresharedKeyMode(n.authentication) ? 0 : n.keyIndex - 1);
    PutU32(&record, 112, (uint32_t)length);
    memcpy(&record[116], material, length);
    return record;
}

bool RecordNamesNetwork(const std::vector<uint8_t>& record, const std::string& ssid)
{
    return SsidFieldEquals(record, 20, ssid);
}

std::vector<uint8_t> BuildEapolHeader(const std::string& ssid, uint32_t eapType)
{
    std::vector<uint8_t> header(EAPOL_HEADER_BYTES, 0);
    size_t ssidSize = SsidSize(ssid);
    PutU32(&header, 0, EAPOL_HEADER_VERSION);
    PutU32(&header, 8, EAPOL_ONEX_ENABLED);
    PutU32(&header, 12, eapType);
    PutU32(&header, 16, (uint32_t)ssidSize);
    memcpy(&header[20], ssid.data(), ssidSize);
    return header;
}

bool EapolValueNamesNetwork(const std::vector<uint8_t>& value, const std::string& ssid)
{
    return value.size() >= EAPOL_HEADER_BYTES && GetU32(value, 16) == ssid.size() &&
           ssid.size() <= MAX_SSID_BYTES && memcmp(&value[20], ssid.data(), ssid.size()) == 0;
}
