// The WLAN reason codes (values of the platform's wlantypes.h / wlanapi.h) that the emulated
// API reports, and their texts for WlanReasonCodeToString.
#pragma once

#include <windows.h>

enum : DWORD {
    WLAN_REASON_SUCCESS = 0,
    WLAN_REASON_UNKNOWN = 0x10001,                         // L2 general base + 1
    WLAN_REASON_MSMSEC_INVALID_KEY_INDEX = 0x40001,         // MSMSEC base + 1
    WLAN_REASON_MSMSEC_KEY_LENGTH = 0x40003,
    WLAN_REASON_MSMSEC_PSK_LENGTH = 0x40004,
    WLAN_REASON_MSMSEC_INVALID_AUTH_CIPHER = 0x40009,
    WLAN_REASON_MSMSEC_ONEX_DISABLED = 0x4000A,
    WLAN_REASON_MSMSEC_ONEX_ENABLED = 0x4000B,
    WLAN_REASON_MSMSEC_PROFILE_WRONG_KEYTYPE = 0x40018,
    WLAN_REASON_INVALID_PROFILE_SCHEMA = 0x80001,           // profile base + 1
    WLAN_REASON_PROFILE_MISSING = 0x80002,
    WLAN_REASON_INVALID_PROFILE_NAME = 0x80003,
    WLAN_REASON_MSM_SECURITY_MISSING = 0x80006,
    WLAN_REASON_CONFLICT_SECURITY = 0x8000B,
    WLAN_REASON_SECURITY_MISSING = 0x8000C,
    WLAN_REASON_INVALID_BSS_TYPE = 0x8000D,
    WLAN_REASON_INVALID_ADHOC_CONNECTION_MODE = 0x8000E,
    WLAN_REASON_PROFILE_SSID_INVALID = 0x80013,
};

// The text of a reason code; a generic text for codes this API does not report.
const wchar_t* WlanReasonText(DWORD reason);
