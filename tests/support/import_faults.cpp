#include "import_faults.h"

#include <gtest/gtest.h>

#include "import_patch.h"

namespace {

struct Watched {
    const wchar_t* name;
    const char* function;
    void* stub;
    void* original;
    DWORD calls;
    DWORD failAt;  // 0: no fault
    DWORD error;
};

enum {
    kRegOpenKeyExW, kRegCreateKeyExW, kRegQueryValueExW, kRegSetValueExW, kRegDeleteValueW,
    kOpenSCManagerW, kOpenServiceW, kControlService, kStartServiceW, kChangeServiceConfigW,
    kWatchedCount
};

Watched g_watched[kWatchedCount];

// Counts the call; true when this one is to fail, with its code in *error.
bool Fails(int index, DWORD* error)
{
    Watched& w = g_watched[index];
    *error = w.error;
    return ++w.calls == w.failAt;
}

template <typename Function>
Function Original(int index, Function)
{
    return reinterpret_cast<Function>(g_watched[index].original);
}

#define FORWARD(name) Original(k##name, &name)

LSTATUS WINAPI FaultRegOpenKeyExW(HKEY key, LPCWSTR sub, DWORD options, REGSAM access, PHKEY out)
{
    DWORD e;
    return Fails(kRegOpenKeyExW, &e) ? (LSTATUS)e : FORWARD(RegOpenKeyExW)(key, sub, options, access, out);
}

LSTATUS WINAPI FaultRegCreateKeyExW(HKEY key, LPCWSTR sub, DWORD reserved, LPWSTR cls, DWORD options,
                                    REGSAM access, LPSECURITY_ATTRIBUTES security, PHKEY out,
                                    LPDWORD disposition)
{
    DWORD e;
    return Fails(kRegCreateKeyExW, &e)
               ? (LSTATUS)e
               : FORWARD(RegCreateKeyExW)(key, sub, reserved, cls, options, access, security, out,
                                          disposition);
}

LSTATUS WINAPI FaultRegQueryValueExW(HKEY key, LPCWSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data,
                                     LPDWORD size)
{
    DWORD e;
    return Fails(kRegQueryValueExW, &e) ? (LSTATUS)e
                                        : FORWARD(RegQueryValueExW)(key, name, reserved, type, data, size);
}

LSTATUS WINAPI FaultRegSetValueExW(HKEY key, LPCWSTR name, DWORD reserved, DWORD type, const BYTE* data,
                                   DWORD size)
{
    DWORD e;
    return Fails(kRegSetValueExW, &e) ? (LSTATUS)e
                                      : FORWARD(RegSetValueExW)(key, name, reserved, type, data, size);
}

LSTATUS WINAPI FaultRegDeleteValueW(HKEY key, LPCWSTR name)
{
    DWORD e;
    return Fails(kRegDeleteValueW, &e) ? (LSTATUS)e : FORWARD(RegDeleteValueW)(key, name);
}

SC_HANDLE WINAPI FaultOpenSCManagerW(LPCWSTR machine, LPCWSTR database, DWORD access)
{
    DWORD e;
    if (Fails(kOpenSCManagerW, &e))
        return SetLastError(e), nullptr;
    return FORWARD(OpenSCManagerW)(machine, database, access);
}

SC_HANDLE WINAPI FaultOpenServiceW(SC_HANDLE manager, LPCWSTR name, DWORD access)
{
    DWORD e;
    if (Fails(kOpenServiceW, &e))
        return SetLastError(e), nullptr;
    return FORWARD(OpenServiceW)(manager, name, access);
}

BOOL WINAPI FaultControlService(SC_HANDLE service, DWORD control, LPSERVICE_STATUS status)
{
    DWORD e;
    if (Fails(kControlService, &e))
        return SetLastError(e), FALSE;
    return FORWARD(ControlService)(service, control, status);
}

BOOL WINAPI FaultStartServiceW(SC_HANDLE service, DWORD count, LPCWSTR* arguments)
{
    DWORD e;
    if (Fails(kStartServiceW, &e))
        return SetLastError(e), FALSE;
    return FORWARD(StartServiceW)(service, count, arguments);
}

BOOL WINAPI FaultChangeServiceConfigW(SC_HANDLE service, DWORD type, DWORD start, DWORD control,
                                      LPCWSTR path, LPCWSTR group, LPDWORD tag, LPCWSTR dependencies,
                                      LPCWSTR account, LPCWSTR password, LPCWSTR display)
{
    DWORD e;
    if (Fails(kChangeServiceConfigW, &e))
        return SetLastError(e), FALSE;
    return FORWARD(ChangeServiceConfigW)(service, type, start, control, path, group, tag, dependencies,
                                         account, password, display);
}

#define WATCH(name) g_watched[k##name] = {L## #name, #name, (void*)Fault##name, nullptr, 0, 0, 0}

void DescribeWatched()
{
    if (g_watched[0].name)
        return;
    WATCH(RegOpenKeyExW);
    WATCH(RegCreateKeyExW);
    WATCH(RegQueryValueExW);
    WATCH(RegSetValueExW);
    WATCH(RegDeleteValueW);
    WATCH(OpenSCManagerW);
    WATCH(OpenServiceW);
    WATCH(ControlService);
    WATCH(StartServiceW);
    WATCH(ChangeServiceConfigW);
}

Watched* Find(const wchar_t* call)
{
    DescribeWatched();
    for (Watched& w : g_watched)
        if (wcscmp(w.name, call) == 0)
            return &w;
    return nullptr;
}

} // namespace

ImportFaults::ImportFaults(HMODULE module, const std::vector<std::wstring>& calls)
{
    for (const std::wstring& call : calls) {
        Watched* w = Find(call.c_str());
        if (!w) {
            ADD_FAILURE() << "not a watched call";
            continue;
        }
        patches_.emplace_back(new ImportPatch(module, "advapi32.dll", w->function, w->stub, false));
        if (patches_.back()->Installed())
            w->original = patches_.back()->Original();
    }
}

ImportFaults::~ImportFaults()
{
    patches_.clear();
    ClearImportFaults();
}

bool IsImportCall(const wchar_t* call)
{
    return Find(call) != nullptr;
}

void SetImportNthFault(const wchar_t* call, int position, DWORD error)
{
    Watched* w = Find(call);
    w->calls = 0;
    w->failAt = (DWORD)position;
    w->error = error;
}

DWORD CountedImportCalls(const wchar_t* call)
{
    return Find(call)->calls;
}

void ClearImportFaults()
{
    for (Watched& w : g_watched)
        w.failAt = 0;
}
