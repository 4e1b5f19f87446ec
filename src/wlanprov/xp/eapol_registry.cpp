#include "eapol_registry.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "../common/eap_record_options.h"
#include "../common/globals.h"
#include "eapol_entry.h"

namespace {

const wchar_t kInterfacesKey[] = L"SOFTWARE\\Microsoft\\EAPOL\\Parameters\\Interfaces";

enum { EAPOL_STEP_SKIPPED = 110 }; // ERROR_OPEN_FAILED

// The entry for the options; 13 after the "wrong data" line, or 8.
DWORD BuildEntryFor(const EapolEntryWriter* w, const OptionSet* o,
                    const BYTE (*thumbprints)[CERT_THUMBPRINT_BYTES], uint8_t** entry,
                    uint32_t* size)
{
    EapolEntryInput input = {};
    input.version = w->headerVersion;
    input.layout = EapolLayoutFor(o->eapType, o->innerMethod, w->allowedLayouts);
    if (input.layout == EAPOL_LAYOUT_NONE) {
        printf("%s :: wrong data\n", w->handlerName);
        return ERROR_INVALID_DATA;
    }
    input.machineAuth = o->machineAuth == 1;
    input.guestAuth = o->guestAuth == 1;
    input.ssid = reinterpret_cast<const uint8_t*>(o->ssid);
    input.ssidLength = (uint32_t)strlen(o->ssid);
    input.record = EapRecordInputOf(o, thumbprints);
    return BuildEapolEntry(&input, entry, size);
}

} // namespace

EapolStepOutcome UpdateEapolEntry(const EapolEntryWriter* w, bool adapterFailed,
                                  const wchar_t* adapterGuid, const OptionSet* o,
                                  const BYTE (*thumbprints)[CERT_THUMBPRINT_BYTES])
{
    HKEY interfaces = nullptr, adapter = nullptr;
    wchar_t name[SSID_VALUE_NAME_CHARACTERS];
    uint8_t* entry = nullptr;
    uint32_t size = 0;
    EapolStepOutcome outcome = {0, false};
    LONG status;

    if (adapterFailed) {
        printf("%s :: failed to open interfaces key: %ld\n", w->handlerName, (long)GetLastError());
        outcome.code = EAPOL_STEP_SKIPPED;
        goto done;
    }
    status = RegOpenKeyExW(HKEY_LOCAL_MACHINE, kInterfacesKey, 0, KEY_ALL_ACCESS, &interfaces);
    if (status != ERROR_SUCCESS) {
        interfaces = nullptr;
        printf("%s :: failed to open interfaces key: %ld\n", w->handlerName, (long)status);
        outcome.code = EAPOL_STEP_SKIPPED;
        goto done;
    }
    DebugPrint("%s :: Opened Interfaces entry\n", w->handlerName);
    status = RegOpenKeyExW(interfaces, adapterGuid, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &adapter);
    if (status != ERROR_SUCCESS) {
        adapter = nullptr;
        printf("%s :: failed to open guid key: %ld\n", w->handlerName, (long)status);
        outcome.code = (DWORD)status;
        goto done;
    }
    DebugPrint("%s :: Opened GUID key: %ls\n", w->handlerName, adapterGuid);

    if (FindSsidValue(adapter, &w->names, &w->scanLines, w->handlerName,
                      reinterpret_cast<const uint8_t*>(o->ssid), (uint32_t)strlen(o->ssid),
                      name) == SSID_VALUE_NONE) {
        printf("%s :: ERROR! Adding EAP entry failed.\n", w->handlerName);
        outcome = {ERROR_INVALID_DATA, true};
        goto done;
    }
    if (w->settingLineIsDebug)
        DebugPrint(w->settingLine, w->handlerName, name);
    else
        printf(w->settingLine, w->handlerName, name);
    if ((outcome.code = BuildEntryFor(w, o, thumbprints, &entry, &size)) != 0) {
        outcome.endsHandler = true;
        goto done;
    }
    status = RegSetValueExW(adapter, name, 0, REG_BINARY, entry, size);
    if (status != ERROR_SUCCESS) {
        printf("%s :: Failed to set value: %ld\n", w->handlerName, (long)status);
        outcome.code = (DWORD)status;
    }

done:
    free(entry);
    if (adapter)
        RegCloseKey(adapter);
    if (interfaces)
        RegCloseKey(interfaces);
    return outcome;
}
