// How the wireless provisioning service reads a WirelessProfile document (the children of its
// root, in schema order) and the records it stores for it: the wireless service's 160-byte
// network record and the 52-byte header of the per-SSID EAPOL value. Free of windows.h so that
// it can be built and fuzzed natively.
//
// Schema order of the children, "?" optional:
//   version ssid connectionType authentication encryption networkKey? keyIndex?
//   keyProvidedAutomatically IEEE802.1XEnabled EAPMethod?
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The status word CreateProfile reports (its fourth argument), with the platform's numbers.
enum ProvisioningStatus : uint32_t {
    PROFILE_SUCCESS = 0,
    PROFILE_NO_VERSION = 1,
    PROFILE_BAD_VERSION = 2,
    PROFILE_UNSUPPORTED_VERSION = 3,
    PROFILE_SSID_NOT_FOUND = 4,
    PROFILE_BAD_SSID = 5,
    PROFILE_CONNECTION_TYPE = 6,
    PROFILE_AUTHENTICATION = 7,
    PROFILE_ENCRYPTION = 8,
    PROFILE_KEY_PROVIDED_AUTOMATICALLY = 9,
    PROFILE_ONEX_ENABLED = 10,
    PROFILE_EAP_METHOD = 11,
    PROFILE_BAD_KEY_INDEX = 12,
    PROFILE_KEY_INDEX_RANGE = 13,
    PROFILE_BAD_NETWORK_KEY = 14,
    PROFILE_AUTHENTICATION_FOR_CONNECTION_TYPE = 15,
    PROFILE_ENCRYPTION_FOR_AUTHENTICATION = 16,
    PROFILE_KEY_REQUIRED = 17,
    PROFILE_KEY_INDEX_REQUIRED = 18,
    PROFILE_KEY_INDEX_NOT_APPLICABLE = 19,
    PROFILE_ONEX_NOT_ALLOWED = 20,
    PROFILE_ONEX_NOT_ALLOWED_KEY_REQUIRED = 21,
    PROFILE_EAP_METHOD_REQUIRED = 23,
    PROFILE_EAP_METHOD_NOT_APPLICABLE = 24,
    PROFILE_DUPLICATE_NETWORK = 27,
    PROFILE_MEMORY_ALLOCATION = 28,
    PROFILE_READING_ONEX_CONFIG = 29,
    PROFILE_WRITING_ONEX_CONFIG = 30,
    PROFILE_WRITING_WZC_CONFIG = 31,
    PROFILE_NOT_SUPPORTED = 32,
    PROFILE_FAILED_TO_LOAD_XML = 33,
    PROFILE_VALIDATION_FAILED = 35,
    PROFILE_INTERNAL_ERROR = 36,
};

enum {
    WZC_RECORD_BYTES = 160,
    EAPOL_HEADER_BYTES = 52,
    MAX_SSID_BYTES = 32,
    EAP_TYPE_TLS = 13,
    EAP_TYPE_PEAP = 25,
    EAPOL_HEADER_VERSION = 5,
};

// One child of the document's root.
struct ProfileElement {
    std::u16string name;     // local name
    std::u16string text;     // character data, exactly as in the document
    std::string ansiText;    // the same in the ANSI code page (SSID and key bytes)
    bool ansiExact = false;  // the conversion lost no character
    bool conforming = false; // in the profile's namespace, holding character data only
};

// What a valid document describes, in the wireless service's codes.
struct WirelessNetwork {
    std::string ssid;            // 1..32 bytes
    uint32_t infrastructure = 1; // ESS 1, IBSS 0
    uint32_t authentication = 0; // Open 0, Shared 1, WPA 3, WPAPSK 4, WPA2 6, WPA2PSK 7
    uint32_t privacy = 0;        // WEP 0, None 1, TKIP 4, AES 6
    std::string key;             // the key to store (bytes as given), empty for none
    uint32_t keyIndex = 1;       // 1..4, as given
    bool oneXEnabled = false;
    uint32_t eapType = 0; // 802.1X only: PEAP 25, EAP-TLS 13 (also for an empty method)
};

// Checks the children in schema order, then each value, then the combination. Returns
// PROFILE_SUCCESS and fills *network, or the status of the first problem.
uint32_t ReadWirelessProfile(const std::vector<ProfileElement>& elements, WirelessNetwork* network);

// The network record: length 160, control flags (0x1 key present, 0x2 key given as hex
// digits), SSID length @16 and bytes @20, privacy @52, infrastructure mode @96, key index - 1
// @108, key length @112, key bytes @116, authentication mode @148. A passphrase is stored as
// its 32-byte pre-shared key; a key is stored only for WEP and the PSK modes.
std::vector<uint8_t> BuildNetworkRecord(const WirelessNetwork& network);

// True when the record's 32 SSID bytes equal the SSID zero-padded (the service's identity of a
// network; the SSID length is not compared).
bool RecordNamesNetwork(const std::vector<uint8_t>& record, const std::string& ssid);

// The EAPOL value header: version 5, reserved 0, flags 0x80000000 (802.1X enabled), EAP type,
// SSID length, 32 SSID bytes.
std::vector<uint8_t> BuildEapolHeader(const std::string& ssid, uint32_t eapType);

// True when an EAPOL value's header holds this SSID: its length, and as many bytes.
bool EapolValueNamesNetwork(const std::vector<uint8_t>& value, const std::string& ssid);
