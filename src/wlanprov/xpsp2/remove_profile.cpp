// WZCRemoveProfile_XP_SP2: -delete on XP SP2 and later. Deletes the wireless service's stored
// network of the SSID ("Static#00NN") of every adapter, with the service stopped meanwhile so
// that it does not write its list back over the edit. EAPOL entries stay.
#include <cstdio>
#include <cstring>

#include "../front/adapter_result.h"
#include "../front/globals.h"
#include "../front/handlers.h"
#include "../front/options.h"
#include "../xpsp1/preferred_list.h"
#include "../xpsp1/service_control.h"
#include "ssid_value_scan.h"

namespace {

const char kName[] = "WZCRemoveProfile_XP_SP2";
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
        printf("WZCRemoveProfile_XP_SP2 :: failed to open interfaces key: %ld\n", (long)status);
        result = status;
        goto done;
    }
    DebugPrint("WZCRemoveProfile_XP_SP2 :: Opened Interfaces entry\n");
    status = RegOpenKeyExW(interfaces, guid, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &adapter);
    if (status != ERROR_SUCCESS) {
        adapter = nullptr;
        printf("WZCRemoveProfile_XP_SP2 :: failed to open guid key: %ld\n", (long)status);
        result = status;
        goto done;
    }
    DebugPrint("WZCRemoveProfile_XP_SP2 :: Opened GUID key: %ls\n", guid);
    if (FindSsidValue(adapter, &kStaticValues, &kNoMoreLines, kName,
                      reinterpret_cast<const uint8_t*>(o->ssid), (uint32_t)strlen(o->ssid),
                      name) != SSID_VALUE_MATCHED) {
        printf("WZCRemoveProfile_XP_SP2 :: ERROR! registry entry not found.\n");
        result = ERROR_INVALID_DATA;
        goto done;
    }
    printf("WZCRemoveProfile_XP_SP2 :: delete the entry %ls\n", name);
    status = RegDeleteValueW(adapter, name);
    if (status != ERROR_SUCCESS) {
        printf("WZCRemoveProfile_XP_SP2 :: Failed to set value : %ld\n", (long)status);
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

    DWORD result = ParseOptions(argc, argv, HANDLER_REMOVE_XP_SP2, &options);
    if (result != 0)
        goto done;
    if (options.ssid[0] == '\0') {
        printf("WZCRemoveProfile_XP_SP2 :: [SSID] must be set\n");
        result = ERROR_INVALID_DATA;
        goto done;
    }
    EchoOptions(&options, HANDLER_REMOVE_XP_SP2);

    if ((result = WZCInit(&binding)) != 0)
        goto done;
    if ((result = WZCEnumAdapters(binding, &adapters)) != 0)
        goto done;
    DebugPrint("WZCRemoveProfile_XP_SP2 :: NumAdapters=%d\n", (int)adapters.count);
    for (DWORD j = 0; j < adapters.count; ++j) {
        DebugPrint("WZCRemoveProfile_XP_SP2 :: Adapter[%d] : %ls\n", (int)j, adapters.guids[j]);
        // A service that may still be running would write its list back over the edit.
        DWORD adapterResult = ZT_StopWZCSVC();
        if (adapterResult != 0 && adapterResult != ERROR_SERVICE_NOT_ACTIVE)
            printf("WZCRemoveProfile_XP_SP2 :: failed to stop the wireless service: %ld\n",
                   (long)adapterResult);
        else
            adapterResult = RemoveFromAdapter(adapters.guids[j], &options);
        FoldRemovalResult(&removal, adapterResult, ERROR_INVALID_DATA);
        // Started again whatever happened; one left stopped outranks the edit's outcome.
        DWORD started = ZT_StartWZCSVC(0);
        if (started != 0 && started != ERROR_SERVICE_ALREADY_RUNNING) {
            printf("WZCRemoveProfile_XP_SP2 :: failed to start the wireless service: %ld\n",
                   (long)started);
            FoldRemovalResult(&removal, started, ERROR_INVALID_DATA);
        }
    }
    result = RemovalOutcomeIfAnyMissed(&removal);

done:
    if (binding)
        WZCUninit(binding);
    DebugPrint("WZCRemoveProfile_XP_SP2 :: returning %ld\n", (long)result);
    return result;
}
