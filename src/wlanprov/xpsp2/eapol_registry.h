// The EAPOL step of the XP add handlers: after an adapter has the network, the per-SSID value
// under the platform's EAPOL interface key gets this tool's EAP settings (eapol_entry.h).
// What differs between the handlers is data: their name, the entry's header version, the
// layouts they write, how they choose the value and the line that names it.
#pragma once

#include <windows.h>

#include "../front/certificate.h"
#include "../front/options.h"
#include "ssid_value_scan.h"

struct EapolEntryWriter {
    const char* handlerName;      // prefix of every line
    uint32_t headerVersion;       // 5 on XP SP2, 3 on XP SP1
    unsigned allowedLayouts;      // EAPOL_LAYOUTS_*
    SsidValueNames names;         // which value is written
    SsidScanLines scanLines;
    const char* settingLine;      // printf format: handler name, value name (%ls)
    bool settingLineIsDebug;
};

// Writes the adapter's entry. When adapterFailed (an earlier step of this adapter failed),
// or the interfaces key cannot be opened, prints "<name> :: failed to open interfaces key:
// %ld" and folds 110 into *result. A failure to open the adapter's key or to write the value
// is printed and leaves *result as it is. Returns 0 to go on with the next adapter, or the
// code with which the handler ends at once: 13 when no value can be chosen ("ERROR! Adding
// EAP entry failed.") or the EAP settings have no layout ("wrong data"), 8 without memory.
DWORD UpdateEapolEntry(const EapolEntryWriter* writer, bool adapterFailed,
                       const wchar_t* adapterGuid, const OptionSet* options,
                       const BYTE (*thumbprints)[CERT_THUMBPRINT_BYTES], DWORD* result);
