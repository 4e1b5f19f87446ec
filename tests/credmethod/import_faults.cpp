#include "import_faults.h"

#include <objbase.h>
#include <oleauto.h>
#include <wincrypt.h>

#include <set>

namespace {

void* g_original[kSweptCallCount];
int g_calls[kSweptCallCount];
int g_fail = kSweptCallCount, g_failAt, g_injected, g_secretsFreed;
std::string g_secret;
std::set<void*> g_live;

struct SweptImport {
    const char* dll;
    const char* name;
    INT_PTR failure;  // the return value of a failed call
    DWORD error;      // its last error
    void* stub;
};

template <int Id, typename R, typename... A>
R WINAPI Stub(A... args);

template <int Id, typename R, typename... A>
void* StubFor(R(WINAPI*)(A...))
{
    return (void*)&Stub<Id, R, A...>;
}

#define SWEPT(dll, function, failure, error) {dll, #function, failure, error, StubFor<k##function>(&function)}
const SweptImport kImports[kSweptCallCount] = {
    SWEPT("kernel32.dll", LocalAlloc, 0, ERROR_OUTOFMEMORY),
    SWEPT("kernel32.dll", LoadLibraryW, 0, ERROR_MOD_NOT_FOUND),
    SWEPT("kernel32.dll", GetModuleFileNameW, 0, ERROR_INVALID_HANDLE),
    SWEPT("kernel32.dll", MultiByteToWideChar, 0, ERROR_NO_UNICODE_TRANSLATION),
    SWEPT("kernel32.dll", WideCharToMultiByte, 0, ERROR_NO_UNICODE_TRANSLATION),
    SWEPT("crypt32.dll", CryptProtectData, FALSE, ERROR_INVALID_DATA),
    SWEPT("crypt32.dll", CryptUnprotectData, FALSE, ERROR_INVALID_DATA),
    SWEPT("advapi32.dll", RegCreateKeyExW, ERROR_ACCESS_DENIED, 0),
    SWEPT("advapi32.dll", RegSetValueExW, ERROR_ACCESS_DENIED, 0),
    SWEPT("advapi32.dll", RegOpenKeyExW, ERROR_ACCESS_DENIED, 0),
    SWEPT("advapi32.dll", RegDeleteKeyW, ERROR_ACCESS_DENIED, 0),
    SWEPT("ole32.dll", CoCreateInstance, E_OUTOFMEMORY, 0),
    SWEPT("oleaut32.dll", SysAllocString, 0, ERROR_OUTOFMEMORY),
    SWEPT("user32.dll", DialogBoxParamW, -1, ERROR_RESOURCE_NAME_NOT_FOUND),
};

template <int Id, typename R, typename... A>
R WINAPI Stub(A... args)
{
    if (++g_calls[Id] == g_failAt && Id == g_fail) {
        g_injected++;
        SetLastError(kImports[Id].error);
        return (R)kImports[Id].failure;
    }
    R result = ((R(WINAPI*)(A...))g_original[Id])(args...);
    if constexpr (Id == kLocalAlloc)
        if (result)
            g_live.insert(result);
    return result;
}

decltype(&LocalFree) g_originalLocalFree;

HLOCAL WINAPI TrackedLocalFree(HLOCAL block)
{
    g_live.erase(block);
    if (block && HoldsText((const BYTE*)block, LocalSize(block), g_secret))
        g_secretsFreed++;
    return g_originalLocalFree(block);
}

} // namespace

const char* SweptCallName(SweptCall call)
{
    return kImports[call].name;
}

ImportFaults::ImportFaults(HMODULE plugin, SweptCall fail, int failAt, const std::string& secret)
{
    g_secret = secret;
    g_secretsFreed = 0;
    g_fail = fail;
    g_failAt = failAt;
    g_injected = 0;
    g_live.clear();
    for (int i = 0; i < kSweptCallCount; i++) {
        g_calls[i] = 0;
        patches_.emplace_back(new ImportPatch(plugin, kImports[i].dll, kImports[i].name, kImports[i].stub));
        g_original[i] = patches_.back()->Original();
    }
    patches_.emplace_back(new ImportPatch(plugin, "kernel32.dll", "LocalFree", (void*)TrackedLocalFree));
    g_originalLocalFree = (decltype(&LocalFree))patches_.back()->Original();
}


int ImportFaults::Calls(SweptCall call) const { return g_calls[call]; }
bool ImportFaults::Injected() const { return g_injected == 1; }
size_t ImportFaults::LiveBlocks() const { return g_live.size(); }
int ImportFaults::SecretsFreed() const { return g_secretsFreed; }
