// The EAPOL step of the XP add handlers: after an adapter has the network, the per-SSID value
// under the platform's EAPOL interface key gets this tool's EAP settings (eapol_entry.h).
// What differs between the handlers is data: their name, the entry's header version, the
// layouts they write, how they choose the value and the line that names it.
#pragma once

#include <windows.h>

#include "../common/certificate.h"
#include "../common/option_grammar.h"
#include "ssid_value_scan.h"

struct EapolEntryWriter {
    const char* handlerName; // prefix of every line
    uint32_t headerVersion;  // 5 on XP SP2, 3 on XP SP1
    unsigned allowedLayouts; // EAPOL_LAYOUTS_*
    SsidValueNames names;    // which value is written
    SsidScanLines scanLines;
    const char* settingLine; // printf format: handler name, value name (%ls)
    bool settingLineIsDebug;
};

// What the step leaves for one adapter: code is that adapter's outcome, which the caller folds
// with the add-result rule, unless endsHandler is set; the handler then ends at once with code.
struct EapolStepOutcome {
    DWORD code;
    bool endsHandler;
};

// Writes the adapter's entry. When adapterFailed (an earlier step of this adapter failed),
// or the interfaces key cannot be opened, prints "<name> :: failed to open interfaces key:
// %ld" and the outcome is 110. A failure to open the adapter's key or to write the value is
// printed and is the outcome: the network is there without its 802.1X entry. The handler ends
// with 13 when no value can be chosen ("ERROR! Adding EAP entry failed.") or the EAP settings
// have no layout ("wrong data"), or with 8 without memory.
EapolStepOutcome UpdateEapolEntry(const EapolEntryWriter* writer, bool adapterFailed,
                                  const wchar_t* adapterGuid, const OptionSet* options,
                                  const BYTE (*thumbprints)[CERT_THUMBPRINT_BYTES]);
