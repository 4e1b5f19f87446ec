// The WLAN profile document (profile schema v1) that WZC_Vista hands to WlanSetProfile: one
// line of UTF-16 text, values XML-escaped. Free of windows.h.
#pragma once

#include <cstddef>
#include <cstdint>

#include "../common/xml_escape.h" // XmlEscapedLength

enum ProfileKind {
    PROFILE_WITHOUT_KEY,    // open or shared with encryption none; OWE
    PROFILE_NETWORK_KEY,    // open or shared with WEP
    PROFILE_PASS_PHRASE,    // WPAPSK, WPA2PSK, WPA3SAE
    PROFILE_PRE_SHARED_KEY, // WPAPSK, WPA2PSK with the 64 hexadecimal digits of the key itself
    PROFILE_ONEX,           // WPA, WPA2, WPA3ENT, WPA3ENT192: 802.1X with an EAP record
};

// A boolean element: absent, or written with its value.
enum ProfileSwitch { SWITCH_ABSENT, SWITCH_FALSE, SWITCH_TRUE };
enum ProfileMacRandomization {
    MAC_RANDOMIZATION_ABSENT,
    MAC_RANDOMIZATION_OFF,
    MAC_RANDOMIZATION_ON,
    MAC_RANDOMIZATION_DAILY, // on, with a new address every day
};

struct ProfileValues {
    const wchar_t* ssid;
    const wchar_t* authentication;
    const wchar_t* encryption;
    const wchar_t* useOneX;
    const wchar_t* networkKey; // network-key and pass-phrase documents
    int32_t keyIndex;          // 1 to 4 from the command line; the document holds keyIndex - 1
    int32_t eapTypeNumber;     // 802.1X document
    const wchar_t* configBlob; // 802.1X document: hex text of the EAP record
    // Elements written only when asked for; the zero value of each leaves the document as it
    // is without them.
    const wchar_t* ssidHex;        // the SSID's bytes as upper-case hex, before its name
    const wchar_t* connectionMode; // "manual"; null: "auto"
    ProfileSwitch nonBroadcast;
    ProfileSwitch autoSwitch;
    ProfileSwitch transitionMode;
    ProfileMacRandomization macRandomization;
};

// Bytes reserved for the fixed text of each kind, its terminator and its numbers' digits.
size_t ProfileFixedBytes(ProfileKind kind);

// Size in bytes of the buffer for the document: twice the number of characters of every
// (escaped) value it receives, plus ProfileFixedBytes(kind).
size_t ProfileDocumentBytes(ProfileKind kind, const ProfileValues* values);

// Allocates (malloc) a zero-filled buffer of ProfileDocumentBytes and formats the document
// into it. The caller releases *document with free(). Returns 0, or 8 when the buffer cannot
// be had; *document and *bytes are untouched on failure.
uint32_t BuildProfileDocument(ProfileKind kind, const ProfileValues* values, wchar_t** document,
                              size_t* bytes);
