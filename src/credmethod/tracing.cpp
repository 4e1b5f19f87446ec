#include "tracing.h"

#include <rtutils.h>

#include <cstdarg>
#include <cstdio>

#include "plugin_state.h"
#include "spin_lock.h"

DWORD g_dwTraceId = INVALID_TRACEID;

namespace {

// The settings key is fixed, whatever name the plug-in file carries.
const char kTracingKey[] = "Software\\Microsoft\\Tracing\\credmethod";
const REGSAM kTracingKeyAccess = 0x2001F; // read, set value, create subkey
const DWORD kServiceLineFlags = 0x0E;     // service filters by its mask, stamps date and msec
const DWORD kServiceDumpFlags = 0x07;
const size_t kLineSize = 520;
const size_t kComponentNameSize = 257;
const size_t kBaseNameChars = 514;

char g_aszComponentName[kComponentNameSize];

struct TraceSettings {
    DWORD consoleLogging;
    DWORD fileLogging;
    DWORD mask;
};

// The first four bytes of the value, whatever its type; 0 when it is missing or longer.
DWORD ReadSetting(HKEY key, const char* name)
{
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size) !=
        ERROR_SUCCESS)
        return 0;
    return value;
}

// Read again for every line so that a change takes effect at once. A missing key reads as 0s
// and is reported on the debugger output with errorLine.
TraceSettings ReadTraceSettings(const char* errorLine)
{
    TraceSettings settings = {0, 0, 0};
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kTracingKey, 0, kTracingKeyAccess, &key) !=
        ERROR_SUCCESS) {
        OutputDebugStringA(errorLine);
        return settings;
    }
    settings.consoleLogging = ReadSetting(key, "EnableDebugConsoleLogging");
    settings.fileLogging = ReadSetting(key, "EnableDebugFileLogging");
    settings.mask = ReadSetting(key, "FileTracingMask");
    RegCloseKey(key);
    return settings;
}

bool ComputeComponentName(char* name, size_t size)
{
    WCHAR path[MAX_PATH + kBaseNameChars];
    DWORD length = GetModuleFileNameW(g_hModule, path, ARRAYSIZE(path));
    if (length == 0 || length >= ARRAYSIZE(path))
        return false;
    WCHAR* base = path;
    for (WCHAR* p = path; *p; p++)
        if (*p == L'\\' || *p == L'/')
            base = p + 1;
    if (wcslen(base) >= kBaseNameChars)
        base[kBaseNameChars - 1] = 0;
    WCHAR* dot = wcschr(base, L'.');
    if (dot)
        *dot = 0;
    if (*base == 0)
        return false;
    int written = WideCharToMultiByte(CP_ACP, 0, base, -1, name, static_cast<int>(size), nullptr,
                                      nullptr);
    return written > 0;
}

} // namespace

const char* GetComponentName()
{
    if (g_aszComponentName[0] == 0 && !ComputeComponentName(g_aszComponentName, kComponentNameSize))
        lstrcpynA(g_aszComponentName, "credmethod", kComponentNameSize);
    return g_aszComponentName;
}

void EnsureTracingRegistered(const char* bannerFormat)
{
    if (g_dwTraceId != INVALID_TRACEID)
        return;
    // Entry points may run on several of the host's threads: one registers, the others wait
    // and then find it done (or retry after a refusal, one at a time).
    static volatile LONG registering = 0;
    AcquireSpinLock(&registering);
    if (g_dwTraceId == INVALID_TRACEID) {
        g_dwTraceId = TraceRegisterExA(GetComponentName(), 0);
        LogTrace(LOG_DETAIL, bannerFormat, GetComponentName(), TRACE_BANNER_VERSION,
                 TRACE_BANNER_BUILD);
    }
    ReleaseSpinLock(&registering);
}

void LogTrace(DWORD level, const char* format, ...)
{
    if (level & LOG_SECRET)
        return;
    TraceSettings settings = ReadTraceSettings(
        "Error open registry for reading, tracing to debug console will not be enabled");
    va_list args;
    va_start(args, format);
    if (settings.consoleLogging && (level & settings.mask)) {
        char line[kLineSize];
        va_list copy;
        va_copy(copy, args);
        _vsnprintf(line, kLineSize - 1, format, copy); // the platform's printf: %S is wide text
        va_end(copy);
        line[kLineSize - 1] = 0;
        OutputDebugStringA(line);
    }
    TraceVprintfExA(g_dwTraceId, level | kServiceLineFlags, format, args);
    va_end(args);
}

void LogHexDump(DWORD level, const BYTE* bytes, DWORD length)
{
    // A dump at the secret level would carry a password just like a line does.
    if (level & LOG_SECRET)
        return;
    TraceSettings settings = ReadTraceSettings(
        "Error open registry for reading, dump tracing to debug console will not be "
        "enabled");
    if ((settings.consoleLogging || settings.fileLogging) && (level & settings.mask) && bytes) {
        for (DWORD offset = 0; offset < length; offset += 16) {
            char line[HEX_LINE_SIZE];
            DWORD count = length - offset < 16 ? length - offset : 16;
            FormatHexLine(bytes + offset, count, offset, line);
            if (settings.consoleLogging)
                OutputDebugStringA(line);
        }
    }
    TraceDumpExA(g_dwTraceId, level | kServiceDumpFlags, const_cast<BYTE*>(bytes), length, 1, TRUE,
                 nullptr);
}
