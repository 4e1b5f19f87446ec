#include "wlan_reason.h"

namespace {

struct ReasonText {
    DWORD code;
    const wchar_t* text;
};

const ReasonText kTexts[] = {
    {WLAN_REASON_SUCCESS, L"The operation was successful."},
    {WLAN_REASON_UNKNOWN, L"An unknown error occurred."},
    {WLAN_REASON_MSMSEC_INVALID_KEY_INDEX, L"The key index specified is not valid."},
    {WLAN_REASON_MSMSEC_KEY_LENGTH, L"The network key length is not valid."},
    {WLAN_REASON_MSMSEC_PSK_LENGTH, L"The pass phrase or pre-shared key length is not valid."},
    {WLAN_REASON_MSMSEC_INVALID_AUTH_CIPHER,
     L"The authentication and encryption pair is not valid."},
    {WLAN_REASON_MSMSEC_ONEX_DISABLED, L"802.1X is disabled but the security settings require it."},
    {WLAN_REASON_MSMSEC_ONEX_ENABLED,
     L"802.1X is enabled but the security settings do not allow it."},
    {WLAN_REASON_MSMSEC_PROFILE_WRONG_KEYTYPE, L"The key type is not valid for the key material."},
    {WLAN_REASON_INVALID_PROFILE_SCHEMA, L"The profile is invalid according to the schema."},
    {WLAN_REASON_PROFILE_MISSING, L"The WLANProfile element is missing."},
    {WLAN_REASON_INVALID_PROFILE_NAME, L"The name of the profile is invalid."},
    {WLAN_REASON_MSM_SECURITY_MISSING, L"The MSM security settings are missing."},
    {WLAN_REASON_CONFLICT_SECURITY, L"The security settings conflict with each other."},
    {WLAN_REASON_SECURITY_MISSING, L"Required security settings are missing."},
    {WLAN_REASON_INVALID_BSS_TYPE, L"The BSS type is not valid."},
    {WLAN_REASON_INVALID_ADHOC_CONNECTION_MODE, L"The ad hoc connection mode is not valid."},
    {WLAN_REASON_PROFILE_SSID_INVALID, L"The profile SSID is invalid."},
};

} // namespace

const wchar_t* WlanReasonText(DWORD reason)
{
    for (const ReasonText& entry : kTexts)
        if (entry.code == reason)
            return entry.text;
    return L"The reason code is not recognized.";
}
