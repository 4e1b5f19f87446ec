// Complete GTC authentications per second through the plug-in's entry points in one process:
// RasEapBegin, a Request answered with the password, a Success whose credentials are protected
// with DPAPI and handed out, RasEapFreeMemory, RasEapEnd. Measured once with the tracing
// settings key absent and once with console logging on for every level; the key is restored
// afterwards. The floor is one CryptProtectData of a password per authentication, measured in
// the same run: each figure is also given as its ratio to that floor.
//
// A third floor adds what the platform charges for the tracing contract of an authentication,
// with the plug-in loaded: for each record the plug-in traces (counted in the tracing
// service's log of one authentication), a failed open of the absent settings key, the
// debugger line that reports it and one record of the tracing service. Under Wine, with
// crypt32 in the process, those two calls cost tens of microseconds each (4 without it).
//
// Each figure is measured in a process of its own (the program starts itself once per setting):
// under Wine every CryptProtectData leaves the process slower at registry and debug-output
// calls (after 600 of them a failed RegOpenKeyExA costs 26 us instead of 4, an
// OutputDebugStringA 65 us instead of 4), so a process that measured one setting would
// handicap the next.
//
//   scripts/wine-run out/x86/machine/bench_authentications.exe [PLUGIN.dll] [SECONDS]
//   (default: the build's dist\credmethod.dll, 3 seconds per setting)
#include <windows.h>
#include <raseapif.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <wincrypt.h>

#include <string>

namespace {

const wchar_t kTracingKey[] = L"Software\\Microsoft\\Tracing\\credmethod";
const wchar_t* const kSettings[] = {L"EnableDebugConsoleLogging", L"EnableDebugFileLogging",
                                    L"FileTracingMask"};

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
        saved.present[i] = RegQueryValueExW(key, kSettings[i], NULL, NULL, (BYTE*)&saved.values[i],
                                            &size) == 0;
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
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kTracingKey, 0, NULL, 0, KEY_WRITE, NULL, &key, NULL) !=
        ERROR_SUCCESS)
        return;
    for (int i = 0; i < 3; i++)
        if (saved.present[i])
            RegSetValueExW(key, kSettings[i], 0, REG_DWORD, (const BYTE*)&saved.values[i],
                           sizeof(DWORD));
    RegCloseKey(key);
}

bool WriteConsoleLoggingOn()
{
    HKEY key = NULL;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kTracingKey, 0, NULL, 0, KEY_WRITE, NULL, &key, NULL) !=
        ERROR_SUCCESS)
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
    bool ok = plugin.table.RasEapMakeMessage(work, (PPP_EAP_PACKET*)request, (PPP_EAP_PACKET*)send,
                                             sizeof(send), &out, &input) == 0 &&
              out.Action == EAPACTION_Send && send[3] == 11;
    PPP_EAP_OUTPUT done = {};
    done.dwSizeInBytes = sizeof(done);
    ok = ok &&
         plugin.table.RasEapMakeMessage(work, (PPP_EAP_PACKET*)success, (PPP_EAP_PACKET*)send,
                                        sizeof(send), &done, &input) == 0 &&
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

typedef DWORD(WINAPI* TraceRegisterFn)(LPCSTR, DWORD);
typedef DWORD(WINAPI* TraceVprintfFn)(DWORD, DWORD, LPCSTR, va_list);

DWORD TraceRecord(TraceVprintfFn trace, DWORD id, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    DWORD status = trace(id, 0x1000E, format, args);
    va_end(args);
    return status;
}

// Records in the plug-in's log: the tracing service writes one line each.
int LoggedRecords(const std::wstring& log)
{
    int records = 0;
    FILE* file = _wfopen(log.c_str(), L"rb");
    for (int c; file && (c = fgetc(file)) != EOF;)
        records += c == '\n';
    if (file)
        fclose(file);
    return records;
}

// The platform floor: DPAPI and the tracing calls of one authentication, with the plug-in
// loaded (its libraries in the process) but not called.
double MeasurePlatformFloor(const std::wstring& log, const Plugin& plugin, double seconds)
{
    HANDLE truncate = CreateFileW(log.c_str(), GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                                  TRUNCATE_EXISTING, 0, NULL);
    if (truncate != INVALID_HANDLE_VALUE)
        CloseHandle(truncate);
    if (!Authenticate(plugin))
        return -1;
    int records = LoggedRecords(log);
    HMODULE rtutils = GetModuleHandleW(L"rtutils.dll");
    TraceRegisterFn traceRegister = (TraceRegisterFn)(void*)GetProcAddress(rtutils,
                                                                           "TraceRegisterExA");
    TraceVprintfFn trace = (TraceVprintfFn)(void*)GetProcAddress(rtutils, "TraceVprintfExA");
    if (records <= 0 || !traceRegister || !trace)
        return -1;
    DWORD id = traceRegister("benchfloor", 0);
    return Measure(
        [&] {
            for (int i = 0; i < records; i++) {
                HKEY key = NULL;
                if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Tracing\\credmethod", 0,
                                  0x2001F, &key) == ERROR_SUCCESS)
                    RegCloseKey(key);
                OutputDebugStringA(
                    "Error open registry for reading, tracing to debug console will not be enabled");
                TraceRecord(trace, id, "RasEapMakeMessage :: a line of %d characters", 40);
            }
            return ProtectPassword();
        },
        seconds);
}

// Runs one setting ("floor", "platform", "absent" or "console") in this process and prints
// its rate.
int MeasureOne(const std::wstring& setting, const std::wstring& pluginPath, double seconds)
{
    if (setting == L"floor") {
        printf("%f\n", Measure(ProtectPassword, seconds));
        return 0;
    }
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
    wchar_t traceDir[MAX_PATH] = L"";
    GetEnvironmentVariableW(L"TESTBED_TRACE_DIR", traceDir, MAX_PATH);
    std::wstring log = std::wstring(traceDir) + L"\\" + ComponentName(pluginPath) + L".LOG";
    double rate = setting == L"platform" ? MeasurePlatformFloor(log, plugin, seconds)
                  : setting == L"console" && !WriteConsoleLoggingOn()
                      ? -1
                      : Measure([&plugin] { return Authenticate(plugin); }, seconds);
    RestoreSettings(saved);
    plugin.table.RasEapInitialize(FALSE);
    FreeLibrary(module);
    printf("%f\n", rate);
    return 0;
}

// Starts this program for one setting and reads its rate; negative when it failed.
double MeasureInChild(const wchar_t* setting, const std::wstring& pluginPath, double seconds)
{
    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(NULL, exe, MAX_PATH);
    wchar_t line[3 * MAX_PATH];
    _snwprintf(line, ARRAYSIZE(line), L"\"%ls\" \"%ls\" %f --setting %ls", exe, pluginPath.c_str(),
               seconds, setting);
    line[ARRAYSIZE(line) - 1] = 0;
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), NULL, TRUE};
    HANDLE readEnd = NULL, writeEnd = NULL;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0))
        return -1;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process = {};
    BOOL started = CreateProcessW(NULL, line, NULL, NULL, TRUE, 0, NULL, NULL, &startup, &process);
    CloseHandle(writeEnd);
    std::string text;
    char buffer[256];
    DWORD read = 0;
    while (started && ReadFile(readEnd, buffer, sizeof(buffer), &read, NULL) && read)
        text.append(buffer, read);
    CloseHandle(readEnd);
    DWORD code = 1;
    if (started) {
        WaitForSingleObject(process.hProcess, INFINITE);
        GetExitCodeProcess(process.hProcess, &code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    return code == 0 && !text.empty() ? atof(text.c_str()) : -1;
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
    if (argc > 4 && wcscmp(argv[3], L"--setting") == 0)
        return MeasureOne(argv[4], pluginPath, seconds);

    double floor = MeasureInChild(L"floor", pluginPath, seconds);
    double platform = MeasureInChild(L"platform", pluginPath, seconds);
    double keyAbsent = MeasureInChild(L"absent", pluginPath, seconds);
    double consoleOn = MeasureInChild(L"console", pluginPath, seconds);
    DeleteFileW((traceDir + L"\\" + ComponentName(pluginPath) + L".LOG").c_str());
    printf("%-40s %10.0f /s\n", "DPAPI floor (CryptProtectData):", floor);
    printf("%-40s %10.0f /s\n", "platform floor (DPAPI + tracing calls):", platform);
    printf(
        "%-40s %10.0f authentications/s  %.2fx the DPAPI floor's time, %.2fx the platform floor's\n",
        "tracing settings key absent:", keyAbsent, floor / keyAbsent, platform / keyAbsent);
    printf("%-40s %10.0f authentications/s  %.2fx the DPAPI floor's time\n",
           "console logging on, every level:", consoleOn, floor / consoleOn);
    return floor < 0 || platform < 0 || keyAbsent < 0 || consoleOn < 0 ? 1 : 0;
}
