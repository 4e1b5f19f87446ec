// DllRegisterServer / DllUnregisterServer (regsvr32): the class under
// HKLM\Software\Classes\CLSID with the server's full path and ThreadingModel Both.
// Registering again rewrites the same values; unregistering what is absent succeeds.
#include <windows.h>
#include <ole2.h>

#include <cwchar>
#include <initializer_list>

#include "provisioning_class.h"

namespace {

const wchar_t kClassDescription[] = L"Wireless Provisioning Service";

// "Software\Classes\CLSID\{...}", and with "\InprocServer32" when inproc is true.
void ClassKeyPath(bool inproc, wchar_t* path, size_t characters)
{
    wchar_t clsid[40] = L"";
    StringFromGUID2(kClsidProvisioningService, clsid, ARRAYSIZE(clsid));
    swprintf(path, characters, L"Software\\Classes\\CLSID\\%ls%ls", clsid,
             inproc ? L"\\InprocServer32" : L"");
}

LONG SetText(HKEY key, const wchar_t* name, const wchar_t* text)
{
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                          (DWORD)((lstrlenW(text) + 1) * sizeof(wchar_t)));
}

LONG WriteKey(bool inproc, const wchar_t* server)
{
    wchar_t path[128];
    HKEY key = NULL;
    ClassKeyPath(inproc, path, ARRAYSIZE(path));
    LONG error = RegCreateKeyExW(HKEY_LOCAL_MACHINE, path, 0, NULL, 0, KEY_SET_VALUE, NULL, &key,
                                 NULL);
    if (error != ERROR_SUCCESS)
        goto done;
    error = SetText(key, NULL, inproc ? server : kClassDescription);
    if (error == ERROR_SUCCESS && inproc)
        error = SetText(key, L"ThreadingModel", L"Both");
done:
    if (key)
        RegCloseKey(key);
    return error;
}

LONG DeleteKey(bool inproc)
{
    wchar_t path[128];
    ClassKeyPath(inproc, path, ARRAYSIZE(path));
    LONG error = RegDeleteKeyW(HKEY_LOCAL_MACHINE, path);
    return error == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : error;
}

// The folder of module with its separator, in folder (MAX_PATH units); false when too long.
bool FolderOf(HMODULE module, wchar_t* folder)
{
    DWORD length = GetModuleFileNameW(module, folder, MAX_PATH);
    wchar_t* end = length > 0 && length < MAX_PATH ? wcsrchr(folder, L'\\') : NULL;
    if (!end)
        return false;
    end[1] = 0;
    return true;
}

} // namespace

bool ProgramHasProvisioningServer()
{
    // The program's folder, or that of the client library it loaded: the emulated machine.
    HMODULE client = GetModuleHandleW(L"wzcsapi.dll");
    for (HMODULE module : {static_cast<HMODULE>(NULL), client}) {
        wchar_t path[MAX_PATH];
        if (FolderOf(module, path) && wcslen(path) + wcslen(kProvisioningServerFile) < MAX_PATH) {
            wcscat(path, kProvisioningServerFile);
            if (GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES)
                return true;
        }
    }
    return false;
}

STDAPI DllRegisterServer(void)
{
    HMODULE self = NULL;
    wchar_t server[MAX_PATH];
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCWSTR>(&DllRegisterServer), &self))
        return HRESULT_FROM_WIN32(GetLastError());
    DWORD length = GetModuleFileNameW(self, server, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);
    LONG error = WriteKey(false, server);
    if (error == ERROR_SUCCESS)
        error = WriteKey(true, server);
    return HRESULT_FROM_WIN32(error);
}

STDAPI DllUnregisterServer(void)
{
    LONG error = DeleteKey(true);
    if (error == ERROR_SUCCESS)
        error = DeleteKey(false);
    return HRESULT_FROM_WIN32(error);
}
