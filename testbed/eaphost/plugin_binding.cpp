#include "plugin_binding.h"

#include "host_log.h"

namespace {

template <typename Function>
Function Export(HMODULE module, const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

} // namespace

DWORD BindPlugin(const wchar_t* path, DWORD eapType, PluginBinding* binding)
{
    PluginBinding bound = {};
    DWORD status = ERROR_SUCCESS;
    RasEapGetInfoFn getInfo = nullptr;
    bound.module = LoadLibraryW(path);
    if (!bound.module) {
        status = GetLastError();
        HostLog("eaphost :: cannot load the plug-in (error %lu)", status);
        goto done;
    }
    getInfo = Export<RasEapGetInfoFn>(bound.module, "RasEapGetInfo");
    bound.freeMemory = Export<RasEapFreeMemoryFn>(bound.module, "RasEapFreeMemory");
    bound.getIdentity = Export<RasEapGetIdentityFn>(bound.module, "RasEapGetIdentity");
    bound.invokeInteractiveUI = Export<RasEapInvokeInteractiveUIFn>(bound.module,
                                                                    "RasEapInvokeInteractiveUI");
    if (!getInfo || !bound.freeMemory) {
        status = ERROR_PROC_NOT_FOUND;
        HostLog("eaphost :: the plug-in does not export RasEapGetInfo and RasEapFreeMemory");
        goto done;
    }
    bound.info.dwSizeInBytes = sizeof(bound.info);
    status = getInfo(eapType, &bound.info);
    HostLog("eaphost :: RasEapGetInfo(%lu) returned %lu", eapType, status);
    if (status != ERROR_SUCCESS)
        goto done;
    if (bound.info.dwSizeInBytes != sizeof(bound.info) || bound.info.dwEapTypeId != eapType ||
        !bound.info.RasEapInitialize || !bound.info.RasEapBegin || !bound.info.RasEapEnd ||
        !bound.info.RasEapMakeMessage) {
        status = ERROR_PROC_NOT_FOUND;
        HostLog("eaphost :: the entry table is incomplete (size %lu, type %lu)",
                bound.info.dwSizeInBytes, bound.info.dwEapTypeId);
        goto done;
    }
done:
    if (status != ERROR_SUCCESS && bound.module) {
        FreeLibrary(bound.module);
        bound = PluginBinding();
    }
    *binding = bound;
    return status;
}

void UnbindPlugin(PluginBinding* binding)
{
    if (binding->module)
        FreeLibrary(binding->module);
    *binding = PluginBinding();
}

void ReturnBlock(const PluginBinding* binding, void* block)
{
    if (block)
        binding->freeMemory(static_cast<BYTE*>(block));
}

DWORD RegisteredPluginPath(DWORD eapType, std::wstring* path)
{
    std::wstring key = std::wstring(RAS_EAP_REGISTRY_LOCATION) + L"\\" + std::to_wstring(eapType);
    wchar_t raw[MAX_PATH] = {};
    DWORD size = sizeof(raw) - sizeof(wchar_t);
    DWORD status = RegGetValueW(HKEY_LOCAL_MACHINE, key.c_str(), RAS_EAP_VALUENAME_PATH,
                                RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, raw,
                                &size);
    if (status != ERROR_SUCCESS)
        return status;
    wchar_t expanded[MAX_PATH] = {};
    DWORD length = ExpandEnvironmentStringsW(raw, expanded, MAX_PATH);
    if (length == 0 || length > MAX_PATH)
        return length == 0 ? GetLastError() : ERROR_INSUFFICIENT_BUFFER;
    *path = expanded;
    return ERROR_SUCCESS;
}
