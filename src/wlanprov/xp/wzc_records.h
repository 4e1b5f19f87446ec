// The records that the Wireless Zero Configuration client library (wzcsapi.dll) of Windows XP
// exchanges. Free of windows.h so that it can be built and fuzzed natively.
//
// All integers are 32-bit little-endian; pointer fields are those of a 32-bit process.
#pragma once

#include <cstddef>
#include <cstdint>

#include "../common/wzc_build_class.h"

enum {
    WZC_SEL_PREFLIST = 0x00040000,     // interface record field: the preferred list
    WZC_SEL_CAPABILITIES = 0x00080000, // interface record field: dwCapabilities
    WZC_CFG_KEY_PRESENT = 0x0001,      // network record control flag: key material stored
    WZC_CFG_KEY_HEX = 0x0002,          // the key was entered as hexadecimal digits
    WZC_CAP_WPA = 0x00000100,          // dwCapabilities: the adapter can do WPA
    WZC_SSID_BYTES = 32,
    WZC_KEY_BYTES = 32,
    WZC_NO_MEMORY = 8,     // ERROR_NOT_ENOUGH_MEMORY
    WZC_INVALID_DATA = 13, // ERROR_INVALID_DATA
    WZC_NO_DATA = 232,     // ERROR_NO_DATA
};

// One preferred network as the wireless service stores it (160 bytes). Records read from the
// service travel byte for byte; only the fields below are ever set by this program.
struct WzcNetworkConfig {
    uint32_t length;       // 160
    uint32_t controlFlags; // WZC_CFG_KEY_*
    uint8_t unset8[8];
    uint32_t ssidLength;          // 1..32
    uint8_t ssid[WZC_SSID_BYTES]; // zero-padded; two records name one network when equal
    uint32_t privacy;             // WEP 0, None 1, TKIP 4, AES 6
    uint8_t unset56[40];
    uint32_t infrastructureMode; // 1
    uint8_t unset100[8];
    uint32_t keyIndex; // key index minus 1 when key material is stored
    uint32_t keyLength;
    uint8_t keyMaterial[WZC_KEY_BYTES];
    uint32_t authenticationMode; // Open 0, Shared 1, WPA 3, WPAPSK 4
    uint8_t unset152[8];
};
static_assert(sizeof(WzcNetworkConfig) == 160, "network record size");
static_assert(offsetof(WzcNetworkConfig, ssid) == 20, "SSID offset");
static_assert(offsetof(WzcNetworkConfig, privacy) == 52, "privacy offset");
static_assert(offsetof(WzcNetworkConfig, infrastructureMode) == 96, "mode offset");
static_assert(offsetof(WzcNetworkConfig, keyIndex) == 108, "key index offset");
static_assert(offsetof(WzcNetworkConfig, authenticationMode) == 148, "authentication offset");

// The preferred-list blob (WzcConfigList): count n, an index word written as n, then n
// network records in list order; 8 + 160 n bytes.
enum { WZC_CONFIG_LIST_HEADER = 8 };

// The per-SSID EAPOL parameters of an adapter (52 bytes).
struct WzcEapolParams {
    uint32_t fromService; // as the get call returned it
    uint32_t reserved;    // 0 before the set call
    uint32_t eapFlags;    // 0x80000000 802.1X, 0x40000000 machine, 0x20000000 guest
    uint32_t eapType;     // 13 EAP-TLS, 25 PEAP
    uint32_t ssidLength;
    uint8_t ssid[WZC_SSID_BYTES];
};
static_assert(sizeof(WzcEapolParams) == 52, "EAPOL parameters size");

// Where the interface record of a build keeps the fields this program reads. The GUID
// pointer is always at offset 0; capabilitiesOffset is 0 where the layout has none.
struct WzcInterfaceLayout {
    uint32_t size;
    uint32_t capabilitiesOffset;
    uint32_t listLengthOffset;
    uint32_t listPointerOffset;
};
// The short record of build class 3 (76 bytes) and the record of every other class (80).
constexpr WzcInterfaceLayout kWzcLayout1106 = {76, 0, 60, 64};
constexpr WzcInterfaceLayout kWzcLayout1181 = {80, 36, 64, 68};
