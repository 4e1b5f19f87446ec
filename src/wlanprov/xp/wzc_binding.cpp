#include "wzc_binding.h"

#include "../common/globals.h"
#include "../common/library_binding.h"
#include "../common/trusted_library.h"
#include "../common/version_info.h"

long g_bWzcTrace = 0;

namespace {

// Resolves the thirteen functions, the interface triple into the slots of the build class.
bool ResolveAll(WzcBinding* b)
{
    HMODULE l = b->library;
    bool triple = b->buildClass == WZC_BUILD_CLASS_1106
                      ? ResolveExport(l, "WZCQueryInterface", &b->WZCQueryInterface_1106) &&
                            ResolveExport(l, "WZCSetInterface", &b->WZCSetInterface_1106) &&
                            ResolveExport(l, "WZCRefreshInterface", &b->WZCRefreshInterface_1106)
                      : ResolveExport(l, "WZCQueryInterface", &b->WZCQueryInterface) &&
                            ResolveExport(l, "WZCSetInterface", &b->WZCSetInterface) &&
                            ResolveExport(l, "WZCRefreshInterface", &b->WZCRefreshInterface);
    return ResolveExport(l, "WZCEnumInterfaces", &b->WZCEnumInterfaces) && triple &&
           ResolveExport(l, "WZCEapolReAuthenticate", &b->WZCEapolReAuthenticate) &&
           ResolveExport(l, "WZCEapolGetInterfaceParams", &b->WZCEapolGetInterfaceParams) &&
           ResolveExport(l, "WZCEapolSetInterfaceParams", &b->WZCEapolSetInterfaceParams) &&
           ResolveExport(l, "WZCEapolSetCustomAuthData", &b->WZCEapolSetCustomAuthData) &&
           ResolveExport(l, "WZCEapolGetCustomAuthData", &b->WZCEapolGetCustomAuthData) &&
           ResolveExport(l, "WZCGetEapUserInfo", &b->WZCGetEapUserInfo) &&
           ResolveExport(l, "WZCQueryContext", &b->WZCQueryContext) &&
           ResolveExport(l, "WZCEapolQueryState", &b->WZCEapolQueryState);
}

} // namespace

DWORD LoadWzcLibrary(HMODULE* library, LONG* buildClass)
{
    DWORD result = ERROR_NOT_SUPPORTED;
    DWORD version = 0, lastError = 0;
    HMODULE loaded = LoadTrustedLibrary(L"wzcsapi.dll");
    if (!loaded)
        return result;
    // The version is read from the loaded module's own file, through its full path.
    switch (ReadProductVersionLS(loaded, &version, &lastError)) {
    case VERSION_READ_OK:
        *buildClass = WzcBuildClass(version);
        if (*buildClass != WZC_BUILD_REFUSED)
            result = 0;
        break;
    case VERSION_NO_MEMORY: result = ERROR_NOT_ENOUGH_MEMORY; break;
    default: break;
    }
    if (result == 0)
        *library = loaded;
    else
        FreeLibrary(loaded);
    return result;
}

DWORD WZCInit(WzcBinding** binding)
{
    DWORD result = ERROR_NOT_ENOUGH_MEMORY;
    TracePrint(g_bWzcTrace, "WZCInit\n");
    WzcBinding* b = static_cast<WzcBinding*>(LocalAlloc(LPTR, sizeof(WzcBinding)));
    *binding = nullptr;
    if (b && (result = LoadWzcLibrary(&b->library, &b->buildClass)) == 0 && !ResolveAll(b)) {
        FreeLibrary(b->library);
        result = ERROR_NOT_SUPPORTED;
    }
    if (result == 0)
        *binding = b;
    else if (b)
        LocalFree(b);
    TracePrint(g_bWzcTrace, "WZCInit :: returning %d\n", (int)result);
    return result;
}

DWORD WZCUninit(void* binding)
{
    if (!binding)
        return 0;
    HMODULE library = *static_cast<HMODULE*>(binding);
    if (library)
        FreeLibrary(library);
    LocalFree(binding);
    return 0;
}
