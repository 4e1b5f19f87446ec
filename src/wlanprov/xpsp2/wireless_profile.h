// The WirelessProfile document (the platform's wireless-provisioning profile schema) that
// WZC_XP_SP2 hands to the provisioning service: one line of UTF-16 text, one of five
// templates by the options, values XML-escaped. Free of windows.h.
#pragma once

#include <cstddef>
#include <cstdint>

struct WirelessProfileValues {
    const wchar_t* ssid;
    const wchar_t* authentication;
    const wchar_t* encryption;
    const wchar_t* networkKey; // empty or null: no key
    int32_t keyIndex;          // written as given, 1 to 4
    int32_t keyProvidedAutomatically;
    int32_t ieee8021xEnabled;
    const wchar_t* eapMethod; // "PEAP" or "EAP-TLS"; empty when none was given
};

// The size the provisioning call has always been given, enough for every unescaped document.
enum { WIRELESS_PROFILE_MIN_BYTES = 1388 };

// Size in bytes of the buffer for the document: room for the escaped values and the
// terminator, never below WIRELESS_PROFILE_MIN_BYTES.
size_t WirelessProfileBytes(const WirelessProfileValues* values);

// Allocates (malloc) a zero-filled buffer of WirelessProfileBytes and formats the document
// into it. The caller releases *document with free(). Returns 0, or 8 when the buffer cannot
// be had; *document and *bytes are untouched on failure.
uint32_t BuildWirelessProfile(const WirelessProfileValues* values, wchar_t** document,
                              size_t* bytes);
