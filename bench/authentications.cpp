// Complete GTC authentications per second through the plug-in's entry points in one process:
// RasEapBegin, a Request answered with the password, a Success whose credentials are protected
// with DPAPI and handed out, RasEapFreeMemory, RasEapEnd. Measured once with the tracing
// settings key absent and once with console logging on for every level; the key is restored
// afterwards. The floor is one CryptProtectData of a password per authentication, measured in
// the same run: each figure is also given as its ratio to that floor.
//
//   scripts/wine-run out/x86/machine/bench_authentications.exe [PLUGIN.dll] [SECONDS]
//   (default: the build's dist\credmethod.dll, 3 seconds per setting)
#include <windows.h>
#include <raseapif.h>
#include <wincrypt.h>

#include <stdio.h>
#include <stdlib.h>

#include <string>

namespace {

const wchar_t kTracingKey[] = L"Software\\Microsoft\\Tracing\\credmethod";
const wchar_t* const kSettings[] = {L"EnableDebugConsoleLogging", L"EnableDebugFileLogging", L"FileTracingMask"};

struct SavedSettings {
    bool keyExisted;
    bool present[3];
    DWORD values[3];
};

SavedSettings ReadSettings()
{
    SavedSettings saved = {};
    HKEY key = NULL;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kTracingKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return saved;
    saved.keyExisted = true;
    for (int i = 0; i < 3; i++) {
        DWORD size = sizeof(DWORD);
        saved.present[i] = RegQueryValueExW(key, kSettings[i], NULL, NULL, (BYTE*)&saved.values[i], &size) == 0;
    }
    RegCloseKey(key);
    return saved;
}

void RestoreSettings(const SavedSettings& saved)
{
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, kTracingKey);
    if (!saved.keyExisted)
        return;
    HKEY key = NULL;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kTracingKey, 0, NULL, 0, KEY_WRITE, NULL, &key, NULL) != ERROR_SUCCESS)
        return;
    for (int i = 0; i < 3; i++)
        if (saved.present[i])
            RegSetValueExW(key, kSettings[i], 0, REG_DWORD, (const BYTE*)&saved.values[i], sizeof(DWORD));
    RegCloseKey(key);
}

bool WriteConsoleLoggingOn()
{
    HKEY key = NULL;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kTracingKey, 0, NULL, 0, KEY_WRITE, NULL, &key, NULL) != ERROR_SUCCESS)
        return false;
    DWORD values[3] = {1, 0, 0xFFFF0000};
    for (int i = 0; i < 3; i++)
        RegSetValueExW(key, kSettings[i], 0, REG_DWORD, (const BYTE*)&values[i], sizeof(DWORD));
    RegCloseKey(key);
    return true;
}

// The plug-in traces under its file's base name up to the first dot.
std::wstring ComponentName(const std::wstring& path)
{
    std::wstring name = path.substr(path.find_last_of(L"\\/") + 1);
    return name.substr(0, name.find(L'.'));
}

typedef DWORD(WINAPI* GetInfoFn)(DWORD, PPP_EAP_INFO*);
typedef DWORD(WINAPI* FreeMemoryFn)(BYTE*);

struct Plugin {
    PPP_EAP_INFO table;
    FreeMemoryFn freeMemory;
};

// One authentication; false when any step did not give what a working plug-in gives.
bool Authenticate(const Plugin& plugin)
{
    static const BYTE request[] = {1, 1, 0, 14, 6, 'P', 'a', 's', 's', 'w', 'o', 'r', 'd', ':'};
    static const BYTE success[] = {3, 1, 0, 4};
    BYTE send[1500];
    PPP_EAP_INPUT input = {};
    input.dwSizeInBytes = sizeof(input);
    input.pwszIdentity = (WCHAR*)L"CORP\\alice";
    input.pwszPassword = (WCHAR*)L"s3cret";
    void* work = NULL;
    if (plugin.table.RasEapBegin(&work, &input) != 0)
        return false;
    PPP_EAP_OUTPUT out = {};
    out.dwSizeInBytes = sizeof(out);
    bool ok = plugin.table.RasEapMakeMessage(work, (PPP_EAP_PACKET*)request, (PPP_EAP_PACKET*)send, sizeof(send),
                                             &out, &input) == 0 &&
              out.Action == EAPACTION_Send && send[3] == 11;
    PPP_EAP_OUTPUT done = {};
    done.dwSizeInBytes = sizeof(done);
    ok = ok &&
         plugin.table.RasEapMakeMessage(work, (PPP_EAP_PACKET*)success, (PPP_EAP_PACKET*)send, sizeof(send), &done,
                                        &input) == 0 &&
         done.Action == EAPACTION_Done && done.dwSizeOfUserData == 776;
    plugin.freeMemory(done.pUserData);
    plugin.table.RasEapEnd(work);
    return ok;
}

// The plug-in's own floor: the one data-protection call of an authentication.
bool ProtectPassword()
{
    static const wchar_t password[] = L"s3cret";
    DATA_BLOB in = {sizeof(password), (BYTE*)password};
    DATA_BLOB out = {};
    if (!CryptProtectData(&in, NULL, NULL, NULL, NULL, CRYPTPROTECT_UI_FORBIDDEN, &out))
        return false;
    LocalFree(out.pbData);
    return true;
}

// Runs per second over about seconds of wall time; negative on a failed run.
template <typename Run>
double Measure(Run run, double seconds)
{
    LARGE_INTEGER frequency, start, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    long count = 0;
    double elapsed = 0;
    do {
        for (int i = 0; i < 20; i++, count++)
            if (!run())
                return -1;
        QueryPerformanceCounter(&now);
        elapsed = (double)(now.QuadPart - start.QuadPart) / frequency.QuadPart;
    } while (elapsed < seconds);
    return count / elapsed;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(NULL, exe, MAX_PATH);
    std::wstring folder(exe);
    folder = folder.substr(0, folder.rfind(L'\\'));
    std::wstring pluginPath = argc > 1 ? argv[1] : folder + L"\\..\\dist\\credmethod.dll";
    double seconds = argc > 2 ? _wtof(argv[2]) : 3.0;

    // The test bed's tracing service appends every line to a file: keep it out of the way.
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring traceDir = std::wstring(temp) + L"bench-trace";
    CreateDirectoryW(traceDir.c_str(), NULL);
    SetEnvironmentVariableW(L"TESTBED_TRACE_DIR", traceDir.c_str());

    HMODULE module = LoadLibraryW(pluginPath.c_str());
    if (!module) {
        fprintf(stderr, "cannot load %ls (error %lu)\n", pluginPath.c_str(), GetLastError());
        return 1;
    }
    Plugin plugin = {};
    GetInfoFn getInfo = (GetInfoFn)(void*)GetProcAddress(module, "RasEapGetInfo");
    plugin.freeMemory = (FreeMemoryFn)(void*)GetProcAddress(module, "RasEapFreeMemory");
    if (!getInfo || !plugin.freeMemory || getInfo(6, &plugin.table) != 0) {
        fprintf(stderr, "not a GTC method plug-in: %ls\n", pluginPath.c_str());
        return 1;
    }
    plugin.table.RasEapInitialize(TRUE);

    SavedSettings saved = ReadSettings();
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, kTracingKey);
    auto authenticate = [&plugin] { return Authenticate(plugin); };
    double floor = Measure(ProtectPassword, seconds);
    double keyAbsent = Measure(authenticate, seconds);
    double consoleOn = WriteConsoleLoggingOn() ? Measure(authenticate, seconds) : -1;
    RestoreSettings(saved);

    plugin.table.RasEapInitialize(FALSE);
    FreeLibrary(module);
    DeleteFileW((traceDir + L"\\" + ComponentName(pluginPath) + L".LOG").c_str());
    printf("%-40s %10.0f /s\n", "DPAPI floor (CryptProtectData):", floor);
    printf("%-40s %10.0f authentications/s  %.2fx the floor's time\n",
           "tracing settings key absent:", keyAbsent, floor / keyAbsent);
    printf("%-40s %10.0f authentications/s  %.2fx the floor's time\n",
           "console logging on, every level:", consoleOn, floor / consoleOn);
    return floor < 0 || keyAbsent < 0 || consoleOn < 0 ? 1 : 0;
}
