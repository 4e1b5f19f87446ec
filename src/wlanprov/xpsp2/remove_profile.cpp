// WZCRemoveProfile_XP_SP2: -delete on XP SP2 and later. Deletes the wireless service's stored
// network of the SSID ("Static#00NN") of every adapter, with the service stopped meanwhile so
// that it does not write its list back over the edit. EAPOL entries stay.
#include <cstdio>
#include <cstring>

#include "../common/adapter_result.h"
#include "../common/globals.h"
#include "../common/handlers.h"
#include "../common/option_grammar.h"
#include "../xp/preferred_list.h"
#include "../xp/service_control.h"
#include "../xp/ssid_value_scan.h"
#include "xpsp2_grammar.h"

namespace {

const wchar_t kInterfacesKey[] = L"SOFTWARE\\Microsoft\\WZCSVC\\Parameters\\Interfaces";
// "Static#0000" to "Static#0031": the index always four digits wide.
const SsidValueNames kStaticValues = {L"Static#%04lu", 0, 31, false};
const SsidScanLines kNoMoreLines = {nullptr, nullptr};

// Deletes the adapter's value of the SSID. Returns 0, 13 when it has none, or the
// registry's code.
DWORD RemoveFromAdapter(const wchar_t* guid, const OptionSet* o)
{
    HKEY interfaces = nullptr, adapter = nullptr;
    wchar_t name[SSID_VALUE_NAME_CHARACTERS];
    DWORD result = 0;
    LONG status = RegOpenKeyExW(HKEY_LOCAL_MACHINE, kInterfacesKey, 0, KEY_ALL_ACCESS, &interfaces);
    if (status != ERROR_SUCCESS) {
        interfaces = nullptr;
        printf("%s :: failed to open interfaces key: %ld\n", kXpSp2RemoveName, (long)status);
        result = status;
        goto done;
    }
    DebugPrint("%s :: Opened Interfaces entry\n", kXpSp2RemoveName);
    status = RegOpenKeyExW(interfaces, guid, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &adapter);
    if (status != ERROR_SUCCESS) {
        adapter = nullptr;
        printf("%s :: failed to open guid key: %ld\n", kXpSp2RemoveName, (long)status);
        result = status;
        goto done;
    }
    DebugPrint("%s :: Opened GUID key: %ls\n", kXpSp2RemoveName, guid);
    if (FindSsidValue(adapter, &kStaticValues, &kNoMoreLines, kXpSp2RemoveName,
                      reinterpret_cast<const uint8_t*>(o->ssid), (uint32_t)strlen(o->ssid),
                      name) != SSID_VALUE_MATCHED) {
        printf("%s :: ERROR! registry entry not found.\n", kXpSp2RemoveName);
        result = ERROR_INVALID_DATA;
        goto done;
    }
    printf("%s :: delete the entry %ls\n", kXpSp2RemoveName, name);
    status = RegDeleteValueW(adapter, name);
    if (status != ERROR_SUCCESS) {
        printf("%s :: Failed to set value : %ld\n", kXpSp2RemoveName, (long)status);
        result = status;
    }

done:
    if (adapter)
        RegCloseKey(adapter);
    if (interfaces)
        RegCloseKey(interfaces);
    return result;
}

} // namespace

DWORD WZCRemoveProfile_XP_SP2(int argc, char** argv)
{
    OptionSet options;
    WzcBinding* binding = nullptr;
    WzcAdapterList adapters = {};
    // An adapter without the network is reported with 13, which a later adapter's success
    // does not reset; a failure to stop or start the service or to reach or edit the
    // registry outranks it and is never hidden by a later adapter.
    RemovalResult removal = {};

    DWORD result = ParseOptions(argc, argv, &kXpSp2RemoveGrammar, &options);
    if (result != 0)
        goto done;
    if (options.ssid[0] == '\0') {
        printf("%s :: [SSID] must be set\n", kXpSp2RemoveName);
        result = ERROR_INVALID_DATA;
        goto done;
    }
    EchoOptions(&options, &kXpSp2RemoveGrammar);

    if ((result = WZCInit(&binding)) != 0)
        goto done;
    if ((result = WZCEnumAdapters(binding, &adapters)) != 0)
        goto done;
    DebugPrint("%s :: NumAdapters=%d\n", kXpSp2RemoveName, (int)adapters.count);
    for (DWORD j = 0; j < adapters.count; ++j) {
        DebugPrint("%s :: Adapter[%d] : %ls\n", kXpSp2RemoveName, (int)j, adapters.guids[j]);
        // A service that may still be running would write its list back over the edit.
        DWORD adapterResult = ZT_StopWZCSVC();
        if (adapterResult != 0 && adapterResult != ERROR_SERVICE_NOT_ACTIVE)
            printf("%s :: failed to stop the wireless service: %ld\n", kXpSp2RemoveName,
                   (long)adapterResult);
        else
            adapterResult = RemoveFromAdapter(adapters.guids[j], &options);
        FoldRemovalResult(&removal, adapterResult, ERROR_INVALID_DATA);
        // Started again whatever happened; one left stopped outranks the edit's outcome.
        DWORD started = ZT_StartWZCSVC(0);
        if (started != 0 && started != ERROR_SERVICE_ALREADY_RUNNING) {
            printf("%s :: failed to start the wireless service: %ld\n", kXpSp2RemoveName,
                   (long)started);
            FoldRemovalResult(&removal, started, ERROR_INVALID_DATA);
        }
    }
    result = RemovalOutcomeIfAnyMissed(&removal);

done:
    if (binding)
        WZCUninit(binding);
    DebugPrint("%s :: returning %ld\n", kXpSp2RemoveName, (long)result);
    return result;
}
