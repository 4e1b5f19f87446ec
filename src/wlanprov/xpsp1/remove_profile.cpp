// WZCRemoveProfile_XP_SP1: -delete on XP SP1. Removes the network with the given SSID from
// the preferred list of every wireless adapter. The EAPOL entries stay as they are.
#include <cstdio>
#include <cstring>

#include "../front/adapter_result.h"
#include "../front/globals.h"
#include "../front/handlers.h"
#include "../front/options.h"
#include "preferred_list.h"
#include "wzc_binding.h"

DWORD WZCRemoveProfile_XP_SP1(int argc, char** argv)
{
    OptionSet options;
    WzcBinding* binding = nullptr;
    WzcAdapterList adapters = {};
    WzcNetworkConfig key = {};
    RemovalResult removal = {};
    size_t ssidLength = 0;

    DWORD result = ParseOptions(argc, argv, HANDLER_REMOVE_XP_SP1, &options);
    if (result != 0)
        goto done;
    if (options.ssid[0] == '\0') {
        printf("WZCRemoveProfile_XP_SP1 :: [SSID] must be set\n");
        result = ERROR_INVALID_DATA;
        goto done;
    }
    EchoOptions(&options, HANDLER_REMOVE_XP_SP1);

    // Only the SSID bytes of the search record take part in the search.
    ssidLength = strlen(options.ssid);
    key.length = sizeof(key);
    key.ssidLength = (uint32_t)ssidLength;
    memcpy(key.ssid, options.ssid, ssidLength);

    if ((result = WZCInit(&binding)) != 0)
        goto done;
    if ((result = WZCEnumAdapters(binding, &adapters)) != 0)
        goto done;
    DebugPrint("WZCRemoveProfile_XP_SP1 :: NumAdapters=%d\n", (int)adapters.count);
    for (DWORD i = 0; i < adapters.count; ++i) {
        DebugPrint("WZCRemoveProfile_XP_SP1 :: Adapter[%d] : %ls\n", (int)i, adapters.guids[i]);
        FoldRemovalResult(&removal, WZCRemovePreferedConfig(binding, adapters.guids[i], key),
                          ERROR_NO_DATA);
    }
    result = RemovalOutcome(&removal);

done:
    if (binding)
        WZCUninit(binding);
    DebugPrint("WZCRemoveProfile_XP_SP1 :: returning %ld\n", (long)result);
    return result;
}
