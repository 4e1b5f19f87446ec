// The per-SSID value under the platform's EAPOL interface key: which EAP method an SSID uses
// and that method's connection properties. Free of windows.h.
//
// EapolEntry, all little-endian, packed:
//   header (52 bytes): version, reserved 0, EAPOL flags, EAP type, SSID length, SSID[32]
//   then EapDataItems: EAP type, data size S, S data bytes, 4 zero bytes.
// Layouts (n trusted roots):
//   EAP-TLS         {13, TlsConfigRecord}                                   106 / 82 + 24n
//   PEAP, GTC       {13, default TLS record}, {25, PeapConfigRecord (GTC)}       170 + 24n
//   PEAP, MSCHAPv2  {13, default TLS record}, {25, PeapConfigRecord (MSCHAPv2)}  178 + 24n
//   SecureW2        {13, default TLS record}                                     104
// The default TLS record is 40 bytes: version 0, size 40, flags 5, 28 zero bytes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "../common/eap_records.h"

enum EapolLayout {
    EAPOL_LAYOUT_NONE,
    EAPOL_LAYOUT_TLS,
    EAPOL_LAYOUT_PEAP_GTC,
    EAPOL_LAYOUT_PEAP_MSCHAPV2,
    EAPOL_LAYOUT_SECUREW2,
};

// Sets of layouts a writer allows, as bits (1u << layout).
enum : unsigned {
    EAPOL_LAYOUTS_TLS_AND_PEAP = 1u << EAPOL_LAYOUT_TLS | 1u << EAPOL_LAYOUT_PEAP_GTC |
                                 1u << EAPOL_LAYOUT_PEAP_MSCHAPV2,
    EAPOL_LAYOUTS_ALL = EAPOL_LAYOUTS_TLS_AND_PEAP | 1u << EAPOL_LAYOUT_SECUREW2,
};

enum : uint32_t {
    EAPOL_HEADER_BYTES = 52,
    EAPOL_SSID_LENGTH_OFFSET = 16,
    EAPOL_SSID_OFFSET = 20,
    EAPOL_SSID_BYTES = 32,
    EAPOL_FLAG_ENABLED = 0x80000000u,
    EAPOL_FLAG_MACHINE_AUTH = 0x40000000u,
    EAPOL_FLAG_GUEST_AUTH = 0x20000000u,
    EAP_TYPE_SECUREW2 = 21,
};

// The layout for the EAP type and inner method texts, tested in this order: "EAP-TLS";
// "PEAP" with "GTC"; "PEAP" with "MSCHAPv2"; "SecureW2". EAPOL_LAYOUT_NONE when none applies
// or the one that applies is not among allowedLayouts.
EapolLayout EapolLayoutFor(const wchar_t* eapType, const wchar_t* innerMethod,
                           unsigned allowedLayouts);

struct EapolEntryInput {
    uint32_t version; // 5 (XP SP2) or 3 (XP SP1)
    EapolLayout layout;
    bool machineAuth;
    bool guestAuth;
    const uint8_t* ssid;
    uint32_t ssidLength;   // 1 to 32
    EapRecordInput record; // trusted roots and flags of the TLS or PEAP record
};

// Allocates (malloc) the zero-filled entry at its exact size and fills it; the caller
// releases *entry with free(). Returns 0, EAP_RECORD_NO_MEMORY, or
// EAP_RECORD_INVALID_PARAMETER (no layout, bad SSID length, bad record input). Outputs are
// untouched on failure.
uint32_t BuildEapolEntry(const EapolEntryInput* input, uint8_t** entry, uint32_t* size);

// How a stored value's SSID compares with a profile's. EAPOL entries and the wireless
// service's network records both keep the SSID length at offset 16 and the SSID at 20.
enum StoredSsidMatch {
    STORED_SSID_LENGTH_MISMATCH,
    STORED_SSID_VALUE_MISMATCH,
    STORED_SSID_MATCH,
};
// value holds valueBytes bytes of the stored value; bytes beyond them count as zero.
StoredSsidMatch MatchStoredSsid(const uint8_t* value, size_t valueBytes, const uint8_t* ssid,
                                uint32_t ssidLength);
