#include "wzc_binding.h"

#include "../front/globals.h"
#include "../front/version_info.h"

long g_bWzcTrace = 0;

namespace {

// Resolves one export into a typed slot; false when the library lacks it.
template <typename Function>
bool Resolve(HMODULE library, const char* name, Function* slot)
{
    *slot = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
    return *slot != nullptr;
}

// Resolves the thirteen functions, the interface triple into the slots of the build class.
bool ResolveAll(WzcBinding* b)
{
    HMODULE l = b->library;
    bool triple = b->buildClass == WZC_BUILD_CLASS_1106
                      ? Resolve(l, "WZCQueryInterface", &b->WZCQueryInterface_1106) &&
                            Resolve(l, "WZCSetInterface", &b->WZCSetInterface_1106) &&
                            Resolve(l, "WZCRefreshInterface", &b->WZCRefreshInterface_1106)
                      : Resolve(l, "WZCQueryInterface", &b->WZCQueryInterface) &&
                            Resolve(l, "WZCSetInterface", &b->WZCSetInterface) &&
                            Resolve(l, "WZCRefreshInterface", &b->WZCRefreshInterface);
    return Resolve(l, "WZCEnumInterfaces", &b->WZCEnumInterfaces) && triple &&
           Resolve(l, "WZCEapolReAuthenticate", &b->WZCEapolReAuthenticate) &&
           Resolve(l, "WZCEapolGetInterfaceParams", &b->WZCEapolGetInterfaceParams) &&
           Resolve(l, "WZCEapolSetInterfaceParams", &b->WZCEapolSetInterfaceParams) &&
           Resolve(l, "WZCEapolSetCustomAuthData", &b->WZCEapolSetCustomAuthData) &&
           Resolve(l, "WZCEapolGetCustomAuthData", &b->WZCEapolGetCustomAuthData) &&
           Resolve(l, "WZCGetEapUserInfo", &b->WZCGetEapUserInfo) &&
           Resolve(l, "WZCQueryContext", &b->WZCQueryContext) &&
           Resolve(l, "WZCEapolQueryState", &b->WZCEapolQueryState);
}

} // namespace

DWORD WZCInit(WzcBinding** binding)
{
    DWORD result = ERROR_NOT_SUPPORTED;
    DWORD version = 0, lastError = 0;
    TracePrint(g_bWzcTrace, "WZCInit\n");
    WzcBinding* b = static_cast<WzcBinding*>(LocalAlloc(LPTR, sizeof(WzcBinding)));
    *binding = b;
    if (!b) {
        result = ERROR_NOT_ENOUGH_MEMORY;
        goto done;
    }
    b->library = LoadLibraryW(L"wzcsapi.dll");
    if (!b->library)
        goto done;
    // The version is read from the loaded module's own file, through its full path.
    switch (ReadProductVersionLS(b->library, &version, &lastError)) {
    case VERSION_READ_OK:
        b->buildClass = WzcBuildClass(version);
        if (b->buildClass != WZC_BUILD_REFUSED && ResolveAll(b))
            result = 0;
        break;
    case VERSION_NO_MEMORY:
        result = ERROR_NOT_ENOUGH_MEMORY;
        break;
    default:
        break;
    }
done:
    if (result != 0 && b) {
        if (b->library)
            FreeLibrary(b->library);
        LocalFree(b);
        *binding = nullptr;
    }
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
