// WZCRemoveProfile_XP_SP1: -delete on XP SP1. Removes the network with the given SSID from
// the preferred list of every wireless adapter. The EAPOL entries stay as they are.
#include <cstdio>
#include <cstring>

#include "../common/adapter_result.h"
#include "../common/globals.h"
#include "../common/handlers.h"
#include "../common/option_grammar.h"
#include "../xp/preferred_list.h"
#include "../xp/wzc_binding.h"
#include "xpsp1_grammar.h"

DWORD WZCRemoveProfile_XP_SP1(int argc, char** argv)
{
    OptionSet options;
    WzcBinding* binding = nullptr;
    WzcAdapterList adapters = {};
    WzcNetworkConfig key = {};
    RemovalResult removal = {};
    size_t ssidLength = 0;

    DWORD result = ParseOptions(argc, argv, &kXpSp1RemoveGrammar, &options);
    if (result != 0)
        goto done;
    if (options.ssid[0] == '\0') {
        printf("%s :: [SSID] must be set\n", kXpSp1RemoveName);
        result = ERROR_INVALID_DATA;
        goto done;
    }
    EchoOptions(&options, &kXpSp1RemoveGrammar);

    // Only the SSID bytes of the search record take part in the search.
    ssidLength = strlen(options.ssid);
    key.length = sizeof(key);
    key.ssidLength = (uint32_t)ssidLength;
    memcpy(key.ssid, options.ssid, ssidLength);

    if ((result = WZCInit(&binding)) != 0)
        goto done;
    if ((result = WZCEnumAdapters(binding, &adapters)) != 0)
        goto done;
    DebugPrint("%s :: NumAdapters=%d\n", kXpSp1RemoveName, (int)adapters.count);
    for (DWORD i = 0; i < adapters.count; ++i) {
        DebugPrint("%s :: Adapter[%d] : %ls\n", kXpSp1RemoveName, (int)i, adapters.guids[i]);
        FoldRemovalResult(&removal, WZCRemovePreferedConfig(binding, adapters.guids[i], key),
                          ERROR_NO_DATA);
    }
    result = RemovalOutcome(&removal);

done:
    if (binding)
        WZCUninit(binding);
    DebugPrint("%s :: returning %ld\n", kXpSp1RemoveName, (long)result);
    return result;
}
