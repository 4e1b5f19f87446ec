#include "version_info.h"

#include <cstdlib>

VersionReadResult ReadProductVersionLS(HMODULE module, DWORD* productVersionLS, DWORD* lastError)
{
    VersionReadResult result = VERSION_READ_FAILED;
    wchar_t path[MAX_PATH];
    void* buffer = nullptr;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedLength = 0;
    DWORD handle = 0;
    DWORD size;

    *lastError = 0;
    DWORD pathLength = GetModuleFileNameW(module, path, MAX_PATH);
    if (pathLength == 0 || pathLength >= MAX_PATH) {
        *lastError = pathLength ? ERROR_INSUFFICIENT_BUFFER : GetLastError();
        goto done;
    }
    size = GetFileVersionInfoSizeW(path, &handle);
    if (size == 0) {
        *lastError = GetLastError();
        goto done;
    }
    buffer = calloc(1, size); // the resource fills part of it: no stale heap bytes in the rest
    if (!buffer) {
        result = VERSION_NO_MEMORY;
        goto done;
    }
    if (!GetFileVersionInfoW(path, 0, size, buffer)) {
        *lastError = GetLastError();
        goto done;
    }
    if (!VerQueryValueW(buffer, L"\\", reinterpret_cast<void**>(&fixed), &fixedLength) || !fixed ||
        fixedLength < sizeof(VS_FIXEDFILEINFO)) {
        result = VERSION_QUERY_FAILED;
        goto done;
    }
    *productVersionLS = fixed->dwProductVersionLS;
    result = VERSION_READ_OK;
done:
    free(buffer);
    return result;
}
