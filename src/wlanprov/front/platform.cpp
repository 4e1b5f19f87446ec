#include "platform.h"

#include <cstdio>

#include "../common/globals.h"
#include "../common/trusted_library.h"
#include "../common/version_info.h"
#include "../common/wzc_build_class.h"

namespace {

// What main does for each build class of wzcsapi.dll (the index).
const WzcVersionClass kClassOutcomes[] = {
    {PLATFORM_NONE, "main :: Windows 2000 SP3 + hotfix : NOT SUPPORTED!!\n"},
    {PLATFORM_NONE, "main :: Windows 2000 SP4 : NOT SUPPORTED!!\n"},
    {PLATFORM_NONE, "main :: Windows XP SP0 : NOT SUPPORTED!!\n"},
    {PLATFORM_XP_SP1, "main :: Windows XP SP1\n"},
    {PLATFORM_XP_SP1, "main :: Windows XP SP1 + WPA\n"},
    {PLATFORM_XP_SP1, "main :: Windows XP SP1 + WPA rollup\n"},
    {PLATFORM_XP_SP2, "main :: Windows XP SP2\n"},
};

DWORD DetectXp(HMODULE wzc, WlanPlatform* platform)
{
    DWORD version = 0, lastError = 0;
    switch (ReadProductVersionLS(wzc, &version, &lastError)) {
    case VERSION_READ_OK: break;
    case VERSION_NO_MEMORY: return ERROR_NOT_ENOUGH_MEMORY;
    default: return ERROR_NOT_SUPPORTED;
    }
    printf("main :: WZC Dll Version : %ld\n", (long)version);
    WzcVersionClass outcome = ClassifyWzcVersion(version);
    if (outcome.line)
        printf("%s", outcome.line);
    if (outcome.platform == PLATFORM_NONE)
        return ERROR_NOT_SUPPORTED;
    *platform = outcome.platform;
    return 0;
}

DWORD DetectVista(WlanPlatform* platform)
{
    HMODULE wlan = LoadTrustedLibrary(L"wlanapi.dll");
    if (!wlan)
        return ERROR_NOT_SUPPORTED;
    DWORD result = 0, version = 0, lastError = 0;
    switch (ReadProductVersionLS(wlan, &version, &lastError)) {
    case VERSION_READ_OK:
        printf("main :: WZC Dll Version : %ld\n", (long)version);
        printf("main :: Windows Vista\n");
        g_bVista = 1;
        *platform = PLATFORM_VISTA;
        break;
    case VERSION_NO_MEMORY: result = ERROR_NOT_ENOUGH_MEMORY; break;
    case VERSION_READ_FAILED:
        // A failed read must never look like success to the caller.
        result = lastError ? lastError : ERROR_NOT_SUPPORTED;
        break;
    case VERSION_QUERY_FAILED: result = ERROR_NOT_SUPPORTED; break;
    }
    FreeLibrary(wlan);
    return result;
}

} // namespace

WzcVersionClass ClassifyWzcVersion(DWORD productVersionLS)
{
    int32_t buildClass = WzcBuildClass(productVersionLS);
    if (buildClass == WZC_BUILD_REFUSED)
        return {PLATFORM_NONE, nullptr};
    return kClassOutcomes[buildClass];
}

DWORD DetectPlatform(WlanPlatform* platform)
{
    *platform = PLATFORM_NONE;
    // wzcsapi.dll decides when it loads; the module only proves it is present.
    HMODULE wzc = LoadTrustedLibrary(L"wzcsapi.dll");
    if (!wzc)
        return DetectVista(platform);
    DWORD result = DetectXp(wzc, platform);
    FreeLibrary(wzc);
    return result;
}
