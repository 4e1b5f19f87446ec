#include "wlan_binding.h"

#include <cstdio>

#include "../common/library_binding.h"
#include "../common/trusted_library.h"

DWORD BindWlanApi(WlanBinding* binding)
{
    WlanBinding bound = {};
    bound.library = LoadTrustedLibrary(L"wlanapi.dll");
    if (!bound.library) {
        *binding = WlanBinding{};
        return GetLastError();
    }
    HMODULE l = bound.library;
    if (!ResolveExport(l, "WlanOpenHandle", &bound.WlanOpenHandle) ||
        !ResolveExport(l, "WlanCloseHandle", &bound.WlanCloseHandle) ||
        !ResolveExport(l, "WlanEnumInterfaces", &bound.WlanEnumInterfaces) ||
        !ResolveExport(l, "WlanSetProfile", &bound.WlanSetProfile) ||
        !ResolveExport(l, "WlanDeleteProfile", &bound.WlanDeleteProfile) ||
        !ResolveExport(l, "WlanReasonCodeToString", &bound.WlanReasonCodeToString) ||
        !ResolveExport(l, "WlanFreeMemory", &bound.WlanFreeMemory)) {
        DWORD error = GetLastError();
        FreeLibrary(l);
        *binding = WlanBinding{};
        return error ? error : ERROR_PROC_NOT_FOUND;
    }
    *binding = bound;
    return 0;
}

void ReleaseWlanApi(WlanBinding* binding)
{
    if (binding->library)
        FreeLibrary(binding->library);
    *binding = WlanBinding{};
}

DWORD OpenWlanHandle(const WlanBinding* binding, HANDLE* handle)
{
    DWORD negotiated = 0;
    HANDLE opened = nullptr;
    DWORD result = binding->WlanOpenHandle(2, nullptr, &negotiated, &opened);
    if (result != 0) {
        *handle = nullptr;
        return result;
    }
    *handle = opened;
    printf("The WLAN API version is %d.%d\n", (int)(negotiated & 0xFFFF), (int)(negotiated >> 16));
    return 0;
}

DWORD OpenWlanSession(WlanSession* session)
{
    *session = WlanSession{};
    DWORD result = BindWlanApi(&session->api);
    if (result == 0)
        result = OpenWlanHandle(&session->api, &session->handle);
    if (result == 0) {
        result = session->api.WlanEnumInterfaces(session->handle, nullptr, &session->interfaces);
        if (result != 0)
            session->interfaces = nullptr;
    }
    return result;
}

void CloseWlanSession(WlanSession* session)
{
    if (session->interfaces)
        session->api.WlanFreeMemory(session->interfaces);
    if (session->handle)
        session->api.WlanCloseHandle(session->handle, nullptr);
    ReleaseWlanApi(&session->api);
    *session = WlanSession{};
}
