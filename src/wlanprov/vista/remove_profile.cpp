// WZCRemoveProfile_Vista: -delete on Vista. Removes the profile named by the SSID from every
// wireless interface. The name is converted exactly as WZC_Vista converts it for the profile
// it writes, so the same /SSID: value removes what -add wrote. An interface without the
// profile (ERROR_NOT_FOUND) is no failure that hides others; any other failure is kept.
#include <cstdio>

#include "../front/adapter_result.h"
#include "../front/globals.h"
#include "../front/handlers.h"
#include "../front/options.h"
#include "wlan_binding.h"

DWORD WZCRemoveProfile_Vista(int argc, char** argv)
{
    OptionSet options;
    WlanSession wlan = {};
    RemovalResult removal = {};

    DWORD result = ParseOptions(argc, argv, HANDLER_REMOVE_VISTA, &options);
    if (result != 0)
        goto done;
    if (options.ssidWide[0] == L'\0') {
        printf("WZCRemoveProfile_Vista :: [SSID] must be set\n");
        result = ERROR_INVALID_DATA;
        goto done;
    }
    EchoOptions(&options, HANDLER_REMOVE_VISTA);

    if ((result = OpenWlanSession(&wlan)) != 0)
        goto done;
    // No interface holds anything to remove: a failure, as on XP without an adapter.
    if (wlan.interfaces->dwNumberOfItems == 0) {
        result = ERROR_NO_DATA;
        goto done;
    }
    for (DWORD i = 0; i < wlan.interfaces->dwNumberOfItems; ++i) {
        const WLAN_INTERFACE_INFO& info = wlan.interfaces->InterfaceInfo[i];
        DebugPrint("WZCRemoveProfile_Vista :: Adapter: %ls\n", info.strInterfaceDescription);
        DWORD deleted = wlan.api.WlanDeleteProfile(wlan.handle, &info.InterfaceGuid,
                                                   options.ssidWide, nullptr);
        FoldRemovalResult(&removal, deleted, ERROR_NOT_FOUND);
        if (deleted == 0)
            printf("WZCRemoveProfile_Vista :: the profile is deleted successfully\n");
        else
            printf("WZCRemoveProfile_Vista :: ERROR!! profile removal failed and return error "
                   "[%ld]\n", (long)deleted);
    }
    result = RemovalOutcome(&removal);

done:
    CloseWlanSession(&wlan);
    DebugPrint("WZCRemoveProfile_Vista :: returning %ld\n", (long)result);
    return result;
}
