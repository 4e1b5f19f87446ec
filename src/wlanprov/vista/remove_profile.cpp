// WZCRemoveProfile_Vista: -delete on Vista. Removes the profile named by the SSID from every
// wireless interface.
#include <cstdio>

#include "../front/globals.h"
#include "../front/handlers.h"
#include "../front/options.h"
#include "wlan_binding.h"

DWORD WZCRemoveProfile_Vista(int argc, char** argv)
{
    OptionSet options;
    WlanSession wlan = {};

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
    for (DWORD i = 0; i < wlan.interfaces->dwNumberOfItems; ++i) {
        const WLAN_INTERFACE_INFO& info = wlan.interfaces->InterfaceInfo[i];
        DebugPrint("WZCRemoveProfile_Vista :: Adapter: %ls\n", info.strInterfaceDescription);
        result = wlan.api.WlanDeleteProfile(wlan.handle, &info.InterfaceGuid, options.ssidWide, nullptr);
        if (result == 0)
            printf("WZCRemoveProfile_Vista :: the profile is deleted successfully\n");
        else
            printf("WZCRemoveProfile_Vista :: ERROR!! profile removal failed and return error "
                   "[%ld]\n", (long)result);
    }

done:
    CloseWlanSession(&wlan);
    DebugPrint("WZCRemoveProfile_Vista :: returning %ld\n", (long)result);
    return result;
}
