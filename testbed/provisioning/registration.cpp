// DllRegisterServer / DllUnregisterServer (regsvr32): the class under
// HKLM\Software\Classes\CLSID with the server's bare file name and ThreadingModel Both.
// Registering again rewrites the same values; unregistering what is absent succeeds.
#include <windows.h>
#include <ole2.h>

#include <cwchar>

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

LONG WriteKey(bool inproc)
{
    wchar_t path[128];
    HKEY key = NULL;
    ClassKeyPath(inproc, path, ARRAYSIZE(path));
    LONG error = RegCreateKeyExW(HKEY_LOCAL_MACHINE, path, 0, NULL, 0, KEY_SET_VALUE, NULL, &key, NULL);
    if (error != ERROR_SUCCESS)
        goto done;
    error = SetText(key, NULL, inproc ? kProvisioningServerFile : kClassDescription);
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

} // namespace

STDAPI DllRegisterServer(void)
{
    LONG error = WriteKey(false);
    if (error == ERROR_SUCCESS)
        error = WriteKey(true);
    return HRESULT_FROM_WIN32(error);
}

STDAPI DllUnregisterServer(void)
{
    LONG error = DeleteKey(true);
    if (error == ERROR_SUCCESS)
        error = DeleteKey(false);
    return HRESULT_FROM_WIN32(error);
}
