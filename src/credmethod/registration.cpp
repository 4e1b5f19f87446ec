// Self-registration as the EAP method for type 6 under the RAS EAP method key, as called by the
// platform's library registration tool.
#include <windows.h>

#include "plugin_state.h"
#include "tracing.h"

namespace {

const WCHAR kEapKey[] = L"System\\CurrentControlSet\\Services\\RasMan\\PPP\\EAP";
const WCHAR kMethodSubkey[] = L"6";

struct RegistrationValue {
    const WCHAR* name;
    DWORD type;
    DWORD number;      // REG_DWORD data
    const WCHAR* text; // REG_SZ data; null stands for the plug-in's own path
};

// Written in this order; a failure stops the registration at that value.
const RegistrationValue kValues[] = {
    {L"FriendlyName", REG_SZ, 0, L"EAP-Token"},
    {L"InvokeUsernameDialog", REG_DWORD, 0, nullptr},
    {L"InvokePasswordDialog", REG_DWORD, 0, nullptr},
    {L"StandaloneSupported", REG_DWORD, 1, nullptr},
    {L"PerPolicyConfig", REG_DWORD, 1, nullptr},
    {L"RolesSupported", REG_DWORD, 0x17, nullptr},
    {L"MPPEEncryptionSupported", REG_DWORD, 0, nullptr},
    {L"Properties", REG_DWORD, 0x40042, nullptr},
    {L"Path", REG_SZ, 0, nullptr},
    {L"ConfigUIPath", REG_SZ, 0, nullptr},
    {L"IdentityPath", REG_SZ, 0, nullptr},
    {L"InteractiveUIPath", REG_SZ, 0, nullptr},
};

HRESULT HResultFromError(DWORD error)
{
    return error == NO_ERROR ? S_OK : static_cast<HRESULT>(0x80070000 | (error & 0xFFFF));
}

LONG SetValue(HKEY key, const RegistrationValue& value, const WCHAR* modulePath)
{
    if (value.type == REG_DWORD)
        return RegSetValueExW(key, value.name, 0, REG_DWORD,
                              reinterpret_cast<const BYTE*>(&value.number), sizeof(value.number));
    const WCHAR* text = value.text ? value.text : modulePath;
    return RegSetValueExW(key, value.name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                          static_cast<DWORD>((lstrlenW(text) + 1) * sizeof(WCHAR)));
}

} // namespace

STDAPI DllRegisterServer()
{
    CompleteAttach();
    LONG status = ERROR_SUCCESS;
    HKEY eapKey = nullptr;
    HKEY methodKey = nullptr;
    WCHAR modulePath[MAX_PATH];
    DWORD length = GetModuleFileNameW(g_hModule, modulePath, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        // Never register a cut path: the host could not load the plug-in from it.
        status = length == 0 ? GetLastError() : ERROR_INSUFFICIENT_BUFFER;
        goto done;
    }

    status = RegCreateKeyExW(HKEY_LOCAL_MACHINE, kEapKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                             KEY_ALL_ACCESS, nullptr, &eapKey, nullptr);
    if (status != ERROR_SUCCESS) {
        eapKey = nullptr;
        LogTrace(LOG_DETAIL, "DllRegisterServer :: RasMan not properly installed\n");
        goto done;
    }
    status = RegCreateKeyExW(eapKey, kMethodSubkey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                             KEY_ALL_ACCESS, nullptr, &methodKey, nullptr);
    if (status != ERROR_SUCCESS) {
        methodKey = nullptr;
        LogTrace(LOG_DETAIL, "DllRegisterServer :: subkey %S could not be created", kMethodSubkey);
        goto done;
    }
    for (const RegistrationValue& value : kValues) {
        status = SetValue(methodKey, value, modulePath);
        if (status != ERROR_SUCCESS) {
            LogTrace(LOG_DETAIL, "DllRegisterServer :: could not set %S", value.name);
            break;
        }
    }

done:
    if (methodKey)
        RegCloseKey(methodKey);
    if (eapKey)
        RegCloseKey(eapKey);
    LogTrace(LOG_DETAIL, "DllRegisterServer :: exit(%d)", static_cast<int>(status));
    return HResultFromError(static_cast<DWORD>(status));
}

STDAPI DllUnregisterServer()
{
    CompleteAttach();
    HKEY eapKey = nullptr;
    LONG status = RegOpenKeyExW(HKEY_LOCAL_MACHINE, kEapKey, 0, KEY_ALL_ACCESS, &eapKey);
    if (status != ERROR_SUCCESS) {
        eapKey = nullptr;
        LogTrace(LOG_DETAIL, "DllUnregisterServer :: RasMan not properly installed\n");
        goto done;
    }
    status = RegDeleteKeyW(eapKey, kMethodSubkey);
    if (status != ERROR_SUCCESS)
        LogTrace(LOG_DETAIL, "DllUnregisterServer :: subkey %S could not be deleted",
                 kMethodSubkey);

done:
    if (eapKey)
        RegCloseKey(eapKey);
    LogTrace(LOG_DETAIL, "DllUnregisterServer :: exit(%d)", static_cast<int>(status));
    return HResultFromError(static_cast<DWORD>(status));
}
