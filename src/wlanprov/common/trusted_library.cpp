#include "trusted_library.h"

#include <cwchar>

#include "library_binding.h"

namespace {

const DWORD kTrustedFolders = LOAD_LIBRARY_SEARCH_APPLICATION_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32;

typedef BOOL(WINAPI* SetDefaultDllDirectoriesFn)(DWORD);
typedef BOOL(WINAPI* SetDllDirectoryFn)(LPCWSTR);

// A kernel32 export that some Windows served lacks; null there.
template <typename Function>
Function Kernel32Export(const char* name)
{
    Function function = nullptr;
    HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
    if (kernel32)
        ResolveExport(kernel32, name, &function);
    return function;
}

// LoadLibraryExW understands the search flags exactly where kernel32 exports
// SetDefaultDllDirectories (Windows 8, and Vista and 7 with KB2533623).
SetDefaultDllDirectoriesFn SearchFlagsSupport()
{
    return Kernel32Export<SetDefaultDllDirectoriesFn>("SetDefaultDllDirectories");
}

// folder + name into path (MAX_PATH units); false when it does not fit.
bool JoinPath(const wchar_t* folder, size_t folderLength, const wchar_t* name, wchar_t* path)
{
    size_t nameLength = wcslen(name);
    if (folderLength + nameLength >= MAX_PATH)
        return false;
    wmemcpy(path, folder, folderLength);
    wmemcpy(path + folderLength, name, nameLength + 1);
    return true;
}

// The program's folder with its trailing separator; 0 when it cannot be had.
size_t ProgramFolder(wchar_t* folder)
{
    DWORD length = GetModuleFileNameW(nullptr, folder, MAX_PATH);
    wchar_t* end = length > 0 && length < MAX_PATH ? wcsrchr(folder, L'\\') : nullptr;
    if (!end)
        return 0;
    end[1] = L'\0';
    return static_cast<size_t>(end + 1 - folder);
}

HMODULE LoadFromFolder(const wchar_t* folder, size_t folderLength, const wchar_t* name)
{
    // A path that does not fit cannot name a file there: the library is absent from it.
    wchar_t path[MAX_PATH];
    if (!JoinPath(folder, folderLength, name, path) ||
        GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return nullptr;
    }
    // The library's own imports are then searched from its folder, not the current one.
    return LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

} // namespace

void RestrictLibrarySearch()
{
    SetDefaultDllDirectoriesFn setDefault = SearchFlagsSupport();
    if (setDefault && setDefault(kTrustedFolders))
        return;
    // XP: a library directory replaces the current directory in the search. Naming the
    // program's folder (searched first anyway) keeps the search otherwise as it was, where an
    // empty name would leave the current directory in on Wine. XP without a service pack has
    // no SetDllDirectoryW either; LoadTrustedLibrary loads by full path there all the same.
    SetDllDirectoryFn setDllDirectory = Kernel32Export<SetDllDirectoryFn>("SetDllDirectoryW");
    if (!setDllDirectory)
        return;
    wchar_t folder[MAX_PATH];
    setDllDirectory(ProgramFolder(folder) ? folder : L"");
}

HMODULE LoadTrustedLibrary(const wchar_t* name)
{
    if (SearchFlagsSupport())
        return LoadLibraryExW(name, nullptr, kTrustedFolders);
    return LoadTrustedLibraryByPath(name);
}

HMODULE LoadTrustedLibraryByPath(const wchar_t* name)
{
    wchar_t folder[MAX_PATH];
    size_t length = ProgramFolder(folder);
    if (length) {
        HMODULE beside = LoadFromFolder(folder, length, name);
        if (beside || GetLastError() != ERROR_FILE_NOT_FOUND)
            return beside;
    }
    UINT systemLength = GetSystemDirectoryW(folder, MAX_PATH - 1);
    if (systemLength == 0 || systemLength >= MAX_PATH - 1) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    if (folder[systemLength - 1] != L'\\') {
        folder[systemLength++] = L'\\';
        folder[systemLength] = L'\0';
    }
    HMODULE system = LoadFromFolder(folder, systemLength, name);
    if (!system && GetLastError() == ERROR_FILE_NOT_FOUND)
        SetLastError(ERROR_MOD_NOT_FOUND);
    return system;
}
