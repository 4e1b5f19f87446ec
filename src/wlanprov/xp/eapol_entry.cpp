#include "eapol_entry.h"

#include <cstdlib>
#include <cstring>
#include <cwchar>

#include "../common/little_endian.h"

namespace {

enum : uint32_t {
    ITEM_HEADER_BYTES = 8,
    ITEM_TRAILER_BYTES = 4,
    DEFAULT_TLS_RECORD_BYTES = 40,
    DEFAULT_TLS_FLAGS = 5,
};

uint32_t GetU32(const uint8_t* value, size_t valueBytes, size_t offset)
{
    uint32_t number = 0;
    for (size_t i = 0; i < 4; ++i)
        if (offset + i < valueBytes)
            number |= static_cast<uint32_t>(value[offset + i]) << (8 * i);
    return number;
}

bool Is(const wchar_t* value, const wchar_t* text)
{
    return value && wcscmp(value, text) == 0;
}

uint32_t HeaderEapType(EapolLayout layout)
{
    switch (layout) {
    case EAPOL_LAYOUT_TLS: return EAP_TYPE_TLS;
    case EAPOL_LAYOUT_SECUREW2: return EAP_TYPE_SECUREW2;
    default: return EAP_TYPE_PEAP;
    }
}

// The record of the layout's last item: TLS or PEAP; none for SecureW2.
uint32_t BuildMethodRecord(const EapolEntryInput* input, uint8_t** record, uint32_t* size)
{
    switch (input->layout) {
    case EAPOL_LAYOUT_TLS: return BuildTlsRecord(&input->record, record, size);
    case EAPOL_LAYOUT_PEAP_GTC:
        return BuildPeapRecord(INNER_METHOD_GTC, &input->record, record, size);
    case EAPOL_LAYOUT_PEAP_MSCHAPV2:
        return BuildPeapRecord(INNER_METHOD_MSCHAPV2, &input->record, record, size);
    default:
        *record = nullptr;
        *size = 0;
        return 0;
    }
}

uint8_t* PutItem(uint8_t* at, uint32_t eapType, const uint8_t* data, uint32_t size)
{
    at = PutU32(at, eapType);
    at = PutU32(at, size);
    memcpy(at, data, size);
    return at + size + ITEM_TRAILER_BYTES;
}

} // namespace

EapolLayout EapolLayoutFor(const wchar_t* eapType, const wchar_t* innerMethod,
                           unsigned allowedLayouts)
{
    EapolLayout layout = EAPOL_LAYOUT_NONE;
    if (Is(eapType, L"EAP-TLS"))
        layout = EAPOL_LAYOUT_TLS;
    else if (Is(eapType, L"PEAP") && Is(innerMethod, L"GTC"))
        layout = EAPOL_LAYOUT_PEAP_GTC;
    else if (Is(eapType, L"PEAP") && Is(innerMethod, L"MSCHAPv2"))
        layout = EAPOL_LAYOUT_PEAP_MSCHAPV2;
    else if (Is(eapType, L"SecureW2"))
        layout = EAPOL_LAYOUT_SECUREW2;
    return (allowedLayouts & (1u << layout)) ? layout : EAPOL_LAYOUT_NONE;
}

uint32_t BuildEapolEntry(const EapolEntryInput* input, uint8_t** entry, uint32_t* size)
{
    if (!input || input->layout == EAPOL_LAYOUT_NONE || input->layout > EAPOL_LAYOUT_SECUREW2 ||
        input->ssidLength < 1 || input->ssidLength > EAPOL_SSID_BYTES || !input->ssid)
        return EAP_RECORD_INVALID_PARAMETER;
    uint8_t* record = nullptr;
    uint32_t recordSize = 0;
    uint32_t result = BuildMethodRecord(input, &record, &recordSize);
    if (result != 0)
        return result;

    static const uint8_t kDefaultTls[DEFAULT_TLS_RECORD_BYTES] = {
        0, 0, 0, 0, DEFAULT_TLS_RECORD_BYTES, 0, 0, 0, DEFAULT_TLS_FLAGS, 0, 0, 0};
    const uint32_t itemOverhead = ITEM_HEADER_BYTES + ITEM_TRAILER_BYTES;
    bool tlsOnly = input->layout == EAPOL_LAYOUT_TLS;
    uint32_t total = EAPOL_HEADER_BYTES + (recordSize ? itemOverhead + recordSize : 0) +
                     (tlsOnly ? 0 : itemOverhead + DEFAULT_TLS_RECORD_BYTES);
    uint8_t* buffer = static_cast<uint8_t*>(calloc(1, total));
    if (!buffer) {
        free(record);
        return EAP_RECORD_NO_MEMORY;
    }

    uint8_t* at = PutU32(buffer, input->version);
    at = PutU32(at, 0); // reserved
    at = PutU32(at, EAPOL_FLAG_ENABLED | (input->machineAuth ? EAPOL_FLAG_MACHINE_AUTH : 0u) |
                        (input->guestAuth ? EAPOL_FLAG_GUEST_AUTH : 0u));
    at = PutU32(at, HeaderEapType(input->layout));
    at = PutU32(at, input->ssidLength);
    memcpy(at, input->ssid, input->ssidLength);
    at += EAPOL_SSID_BYTES;
    if (!tlsOnly)
        at = PutItem(at, EAP_TYPE_TLS, kDefaultTls, DEFAULT_TLS_RECORD_BYTES);
    if (recordSize)
        PutItem(at, tlsOnly ? EAP_TYPE_TLS : EAP_TYPE_PEAP, record, recordSize);
    free(record);
    *entry = buffer;
    *size = total;
    return 0;
}

StoredSsidMatch MatchStoredSsid(const uint8_t* value, size_t valueBytes, const uint8_t* ssid,
                                uint32_t ssidLength)
{
    if (GetU32(value, valueBytes, EAPOL_SSID_LENGTH_OFFSET) != ssidLength)
        return STORED_SSID_LENGTH_MISMATCH;
    for (uint32_t i = 0; i < ssidLength; ++i) {
        size_t offset = EAPOL_SSID_OFFSET + i;
        uint8_t stored = offset < valueBytes ? value[offset] : 0;
        if (stored != ssid[i])
            return STORED_SSID_VALUE_MISMATCH;
    }
    return STORED_SSID_MATCH;
}
