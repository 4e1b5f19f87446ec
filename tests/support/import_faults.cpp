#include "import_faults.h"

#include <malloc.h>
#include <objbase.h>
#include <oleauto.h>
#include <wincrypt.h>

#include <set>

namespace {

void* g_original[kSweptCallCount];
int g_calls[kSweptCallCount];
int g_fail = kSweptCallCount, g_failAt, g_injected, g_frees, g_secretsFreed;
DWORD g_error;
std::string g_secret;
std::set<void*> g_live;
bool g_checking; // the check's own blocks come back through the frees: they are not looked at

const INT_PTR kStatus = -2; // the failure value is the error itself (the registry's way)

struct SweptImport {
    const char* dll;
    const char* name;
    INT_PTR failure; // the return value of a failed call, or kStatus
    DWORD error;     // its usual error
    void* stub;
};

template <int Id, typename R, typename... A>
R WINAPI Stub(A... args);

template <int Id, typename R, typename... A>
void* StubFor(R(WINAPI*)(A...))
{
    return (void*)&Stub<Id, R, A...>;
}

#define SWEPT(dll, function, failure, error)                                                       \
    {                                                                                              \
        dll, #function, failure, error, StubFor<k##function>(&function)                            \
    }
const SweptImport kImports[kSweptCallCount] = {
    SWEPT("kernel32.dll", LocalAlloc, 0, ERROR_OUTOFMEMORY),
    SWEPT("kernel32.dll", LoadLibraryExW, 0, ERROR_MOD_NOT_FOUND),
    SWEPT("kernel32.dll", GetModuleFileNameW, 0, ERROR_INVALID_HANDLE),
    SWEPT("kernel32.dll", MultiByteToWideChar, 0, ERROR_NO_UNICODE_TRANSLATION),
    SWEPT("kernel32.dll", WideCharToMultiByte, 0, ERROR_NO_UNICODE_TRANSLATION),
    SWEPT("crypt32.dll", CryptProtectData, FALSE, ERROR_INVALID_DATA),
    SWEPT("crypt32.dll", CryptUnprotectData, FALSE, ERROR_INVALID_DATA),
    SWEPT("crypt32.dll", CertOpenStore, 0, ERROR_FILE_NOT_FOUND),
    SWEPT("crypt32.dll", CertGetCertificateContextProperty, FALSE, (DWORD)CRYPT_E_NOT_FOUND),
    SWEPT("advapi32.dll", RegCreateKeyExW, kStatus, ERROR_ACCESS_DENIED),
    SWEPT("advapi32.dll", RegSetValueExW, kStatus, ERROR_ACCESS_DENIED),
    SWEPT("advapi32.dll", RegOpenKeyExW, kStatus, ERROR_ACCESS_DENIED),
    SWEPT("advapi32.dll", RegDeleteKeyW, kStatus, ERROR_ACCESS_DENIED),
    SWEPT("advapi32.dll", RegQueryValueExW, kStatus, ERROR_ACCESS_DENIED),
    SWEPT("advapi32.dll", RegDeleteValueW, kStatus, ERROR_ACCESS_DENIED),
    SWEPT("advapi32.dll", OpenSCManagerW, 0, ERROR_ACCESS_DENIED),
    SWEPT("advapi32.dll", OpenServiceW, 0, ERROR_ACCESS_DENIED),
    SWEPT("advapi32.dll", ControlService, FALSE, ERROR_ACCESS_DENIED),
    SWEPT("advapi32.dll", StartServiceW, FALSE, ERROR_ACCESS_DENIED),
    SWEPT("advapi32.dll", ChangeServiceConfigW, FALSE, ERROR_ACCESS_DENIED),
    SWEPT("ole32.dll", CoCreateInstance, E_OUTOFMEMORY, 0),
    SWEPT("oleaut32.dll", SysAllocString, 0, ERROR_OUTOFMEMORY),
    SWEPT("user32.dll", DialogBoxParamW, -1, ERROR_RESOURCE_NAME_NOT_FOUND),
    SWEPT("kernel32.dll", CreateFileW, -1, ERROR_ACCESS_DENIED),
    SWEPT("kernel32.dll", WriteFile, FALSE, ERROR_DISK_FULL),
};

template <int Id, typename R, typename... A>
R WINAPI Stub(A... args)
{
    if (++g_calls[Id] == g_failAt && Id == g_fail) {
        g_injected++;
        DWORD error = g_error == kUsualError ? kImports[Id].error : g_error;
        if (kImports[Id].failure == kStatus)
            return (R)(INT_PTR)error;
        SetLastError(error);
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
    g_frees++;
    g_live.erase(block);
    if (block && !g_checking) {
        g_checking = true;
        if (HoldsText((const BYTE*)block, LocalSize(block), g_secret))
            g_secretsFreed++;
        g_checking = false;
    }
    return g_originalLocalFree(block);
}

void(__cdecl* g_originalFree)(void*);

// The C runtime's free, for the code that allocates with malloc (wlanprov's).
void __cdecl TrackedFree(void* block)
{
    if (block && !g_checking && !g_secret.empty()) {
        g_checking = true;
        if (HoldsText((const BYTE*)block, _msize(block), g_secret))
            g_secretsFreed++;
        g_checking = false;
    }
    g_originalFree(block);
}

} // namespace

const char* SweptCallName(SweptCall call)
{
    return kImports[call].name;
}

SweptCall SweptCallNamed(const std::wstring& name)
{
    for (int i = 0; i < kSweptCallCount; i++)
        if (std::string(name.begin(), name.end()) == kImports[i].name)
            return (SweptCall)i;
    return kSweptCallCount;
}

ImportFaults::ImportFaults(HMODULE module, SweptCall fail, int failAt, const std::string& secret,
                           DWORD error)
{
    g_secret = secret;
    g_secretsFreed = 0;
    g_frees = 0;
    g_fail = fail;
    g_failAt = failAt;
    g_error = error;
    g_injected = 0;
    g_live.clear();
    for (int i = 0; i < kSweptCallCount; i++) {
        g_calls[i] = 0;
        // A module need not import every swept call: what it does not import is never called.
        patches_.emplace_back(
            new ImportPatch(module, kImports[i].dll, kImports[i].name, kImports[i].stub, false));
        g_original[i] = patches_.back()->Original();
    }
    patches_.emplace_back(
        new ImportPatch(module, "kernel32.dll", "LocalFree", (void*)TrackedLocalFree, false));
    g_originalLocalFree = (decltype(&LocalFree))patches_.back()->Original();
    patches_.emplace_back(new ImportPatch(module, "msvcrt.dll", "free", (void*)TrackedFree, false));
    g_originalFree = (void(__cdecl*)(void*))patches_.back()->Original();
}

int ImportFaults::Calls(SweptCall call) const
{
    return g_calls[call];
}
int ImportFaults::Frees() const
{
    return g_frees;
}
bool ImportFaults::Injected() const
{
    return g_injected == 1;
}
size_t ImportFaults::LiveBlocks() const
{
    return g_live.size();
}
int ImportFaults::SecretsFreed() const
{
    return g_secretsFreed;
}

bool HoldsText(const BYTE* block, size_t size, const std::string& needle)
{
    if (needle.empty())
        return false;
    std::string ansi((const char*)block, size);
    std::string wide;
    for (char c : needle) {
        wide += c;
        wide += '\0';
    }
    return ansi.find(needle) != std::string::npos || ansi.find(wide) != std::string::npos;
}
