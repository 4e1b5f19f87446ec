#include "network_record.h"

#include <cstring>

namespace {

int HexValue(uint8_t c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

bool IsHexDigits(const uint8_t* text, uint32_t length)
{
    for (uint32_t i = 0; i < length; ++i)
        if (HexValue(text[i]) < 0)
            return false;
    return true;
}

NetworkKeyForm ChooseKeyForm(const NetworkRecordInput* in)
{
    if (in->keyLength == 0 || in->keyProvidedAutomatically)
        return KEY_FORM_NONE;
    if ((in->wep && (in->keyLength == 10 || in->keyLength == 26)) ||
        (in->wpaPsk && in->keyLength == 64))
        return KEY_FORM_HEX;
    if (in->wpaPsk && in->keyLength > WZC_KEY_BYTES)
        return KEY_FORM_DERIVED;
    return KEY_FORM_BYTES;
}

void FillNetworkRecord(const NetworkRecordInput* in, const uint8_t* derivedKey,
                       WzcNetworkConfig* record)
{
    memset(record, 0, sizeof(*record));
    record->length = sizeof(WzcNetworkConfig);
    record->ssidLength = in->ssidLength;
    const uint32_t ssidRoom = WZC_SSID_BYTES, keyRoom = WZC_KEY_BYTES;
    memcpy(record->ssid, in->ssid, in->ssidLength < ssidRoom ? in->ssidLength : ssidRoom);
    record->privacy = in->privacy;
    record->infrastructureMode = 1;
    record->authenticationMode = in->authenticationMode;

    NetworkKeyForm form = ChooseKeyForm(in);
    if (form == KEY_FORM_NONE)
        return;
    record->controlFlags = WZC_CFG_KEY_PRESENT;
    record->keyIndex = (uint32_t)(in->keyIndex - 1);
    switch (form) {
    case KEY_FORM_HEX:
        record->controlFlags |= WZC_CFG_KEY_HEX;
        record->keyLength = in->keyLength / 2;
        for (uint32_t i = 0; i < record->keyLength; ++i)
            record->keyMaterial[i] = (uint8_t)(HexValue(in->key[2 * i]) << 4 |
                                               HexValue(in->key[2 * i + 1]));
        break;
    case KEY_FORM_DERIVED:
        // Stored exactly like a key of 64 hexadecimal digits.
        record->controlFlags |= WZC_CFG_KEY_HEX;
        record->keyLength = WZC_KEY_BYTES;
        memcpy(record->keyMaterial, derivedKey, WZC_KEY_BYTES);
        break;
    default:
        record->keyLength = in->keyLength < keyRoom ? in->keyLength : keyRoom;
        memcpy(record->keyMaterial, in->key, record->keyLength);
        break;
    }
}
