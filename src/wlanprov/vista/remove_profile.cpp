// WZCRemoveProfile_Vista: -delete on Vista. Removes the profile named by the SSID from every
// wireless interface. The name is converted exactly as WZC_Vista converts it for the profile
// it writes, so the same /SSID: value removes what -add wrote. An interface without the
// profile (ERROR_NOT_FOUND) is no failure that hides others; any other failure is kept.
#include <cstdio>

#include "../common/adapter_result.h"
#include "../common/globals.h"
#include "../common/handlers.h"
#include "../common/option_grammar.h"
#include "vista_grammar.h"
#include "wlan_binding.h"

DWORD WZCRemoveProfile_Vista(int argc, char** argv)
{
    OptionSet options;
    wchar_t ssid[MAX_SSID_BYTES + 1] = L"";
    WlanSession wlan = {};
    RemovalResult removal = {};

    DWORD result = ParseOptions(argc, argv, &kVistaRemoveGrammar, &options);
    if (result != 0)
        goto done;
    // The grammar keeps the SSID's bytes; the profile name is their UTF-16 form.
    if (options.ssid[0] != '\0' && !ConvertAnsiText(options.ssid, ssid, MAX_SSID_BYTES + 1)) {
        printf("%s :: [SSID] : invalid input\n", kVistaRemoveName);
        result = ERROR_INVALID_DATA;
        goto done;
    }
    if (ssid[0] == L'\0') {
        printf("%s :: [SSID] must be set\n", kVistaRemoveName);
        result = ERROR_INVALID_DATA;
        goto done;
    }
    EchoOptions(&options, &kVistaRemoveGrammar);

    if ((result = OpenWlanSession(&wlan)) != 0)
        goto done;
    // No interface holds anything to remove: a failure, as on XP without an adapter.
    if (wlan.interfaces->dwNumberOfItems == 0) {
        result = ERROR_NO_DATA;
        goto done;
    }
    for (DWORD i = 0; i < wlan.interfaces->dwNumberOfItems; ++i) {
        const WLAN_INTERFACE_INFO& info = wlan.interfaces->InterfaceInfo[i];
        DebugPrint("%s :: Adapter: %ls\n", kVistaRemoveName, info.strInterfaceDescription);
        DWORD deleted = wlan.api.WlanDeleteProfile(wlan.handle, &info.InterfaceGuid, ssid, nullptr);
        FoldRemovalResult(&removal, deleted, ERROR_NOT_FOUND);
        if (deleted == 0)
            printf("%s :: the profile is deleted successfully\n", kVistaRemoveName);
        else
            printf("%s :: ERROR!! profile removal failed and return error "
                   "[%ld]\n",
                   kVistaRemoveName, (long)deleted);
    }
    result = RemovalOutcome(&removal);

done:
    CloseWlanSession(&wlan);
    DebugPrint("%s :: returning %ld\n", kVistaRemoveName, (long)result);
    return result;
}
