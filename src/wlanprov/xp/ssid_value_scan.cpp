#include "ssid_value_scan.h"

#include <cstring>

#include "../common/globals.h"
#include "../common/secret_wipe.h"
#include "eapol_entry.h"

SsidScanOutcome FindSsidValue(HKEY key, const SsidValueNames* names, const SsidScanLines* lines,
                              const char* handlerName, const uint8_t* ssid, uint32_t ssidLength,
                              wchar_t name[SSID_VALUE_NAME_CHARACTERS])
{
    static_assert(SSID_VALUE_NAME_CHARACTERS >= 17 + 1, "Static# and ten digits");
    // A stored network's value holds its key: the room is wiped before every return.
    uint8_t value[SSID_VALUE_READ_BYTES];
    SsidScanOutcome outcome = SSID_VALUE_NONE;
    for (DWORD number = names->first;; ++number) {
        wsprintfW(name, names->format, (unsigned long)number);
        memset(value, 0, sizeof(value));
        DWORD type = 0, size = sizeof(value);
        LONG read = RegQueryValueExW(key, name, nullptr, &type, value, &size);
        // Only a name without a value is free: a value that could not be read for another
        // reason is passed over, never overwritten.
        if (read == ERROR_FILE_NOT_FOUND && names->missingNameEnds) {
            outcome = SSID_VALUE_FREE;
            break;
        }
        if (read == ERROR_SUCCESS) {
            if (lines->valueRead)
                DebugPrint(lines->valueRead, handlerName, name, (long)size);
            StoredSsidMatch match = MatchStoredSsid(value, size, ssid, ssidLength);
            if (match != STORED_SSID_LENGTH_MISMATCH && lines->storedSsid)
                DebugPrint(lines->storedSsid, handlerName, (int)ssidLength,
                           reinterpret_cast<const char*>(value + EAPOL_SSID_OFFSET));
            if (match == STORED_SSID_MATCH) {
                DebugPrint("%s :: SSID Value Match\n", handlerName);
                outcome = SSID_VALUE_MATCHED;
                break;
            }
            DebugPrint(match == STORED_SSID_LENGTH_MISMATCH ? "%s :: SSID Length MisMatch\n"
                                                            : "%s :: SSID Value Mismatch\n",
                       handlerName);
        }
        if (number == names->last || number == MAXDWORD)
            break;
    }
    WipeSecret(value, sizeof(value));
    return outcome;
}
