// Finds, among the numbered REG_BINARY values of a registry key, the one stored for an SSID:
// the EAPOL entries of an adapter ("1", "2", ...) and the wireless service's networks
// ("Static#0000", ...). Each handler passes how its values are named and which one it takes.
#pragma once

#include <windows.h>

#include <cstdint>

struct SsidValueNames {
    const wchar_t* format; // wsprintfW format of a name from its number (one %lu)
    DWORD first;           // numbers first..last, in order
    DWORD last;            // 0: no upper bound
    bool missingNameEnds;  // a number without a value ends the scan and is taken
};

// Debug lines beyond the three match lines, each printf format taking the handler's name
// first; null prints nothing.
struct SsidScanLines {
    const char* valueRead;  // then the value name (%ls) and its size in bytes (%ld)
    const char* storedSsid; // then the stored SSID's length (int) and bytes (%.*s)
};

enum SsidScanOutcome {
    SSID_VALUE_MATCHED, // *name is the first value whose SSID matches
    SSID_VALUE_FREE,    // *name is the first number without a value
    SSID_VALUE_NONE,    // no value matched within the numbers scanned
};

enum { SSID_VALUE_NAME_CHARACTERS = 32, SSID_VALUE_READ_BYTES = 1024 };

// Reads each value into a zeroed 1024-byte buffer; values that are longer, or that cannot be
// read, are passed over. Prints "<handlerName> :: SSID Length MisMatch", "... SSID Value
// Mismatch" and "... SSID Value Match" in debug mode, as the values compare.
SsidScanOutcome FindSsidValue(HKEY key, const SsidValueNames* names, const SsidScanLines* lines,
                              const char* handlerName, const uint8_t* ssid, uint32_t ssidLength,
                              wchar_t name[SSID_VALUE_NAME_CHARACTERS]);
