// The platform's tracing service (rtutils.dll), as far as the plug-in uses it: components
// register by name, and every line and dump traced is appended with its flags to the
// component's log file, "<dir>\<component>.LOG", where <dir> is %TESTBED_TRACE_DIR% or else
// %windir%\tracing (the platform's file-tracing folder).
//
// One record per line, fields separated by one blank:
//   <flags, 8 hex digits> T <text>          a traced line; \ CR LF escaped as \\ \r \n
//   <flags> D <group size> <address prefix> <bytes as hex, no blanks>   a dump
// TESTBED_TRACE_REFUSE makes registration fail with INVALID_TRACEID: a number N refuses the
// next N registrations (the variable counts down and is removed at 0), any other text every one.
//
// Each log file is opened once per process and kept open for appending, as the platform's
// service keeps its files: a record costs one write, and each record reaches the file at once
// (no buffering in the process), so a crash loses nothing. To empty a log while a process
// traces into it, truncate it; a deleted log is not recreated until the path changes.
#include <windows.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>

#include <string>

namespace {

const DWORD kInvalidTraceId = 0xFFFFFFFF;
const DWORD kMaxComponents = 64;

struct Registry {
    CRITICAL_SECTION lock;
    char names[kMaxComponents][MAX_PATH];
    // The open log of each component and the path it was opened for.
    HANDLE files[kMaxComponents];
    std::string paths[kMaxComponents];
    DWORD count;
    Registry() : count(0)
    {
        InitializeCriticalSection(&lock);
        for (HANDLE& file : files)
            file = INVALID_HANDLE_VALUE;
    }
};

Registry& Components()
{
    static Registry registry;
    return registry;
}

std::string ComponentOf(DWORD id)
{
    Registry& r = Components();
    EnterCriticalSection(&r.lock);
    std::string name = id >= 1 && id <= r.count ? r.names[id - 1] : "";
    LeaveCriticalSection(&r.lock);
    return name;
}

std::string LogDirectory(bool* fallback)
{
    char dir[MAX_PATH];
    DWORD length = GetEnvironmentVariableA("TESTBED_TRACE_DIR", dir, MAX_PATH);
    *fallback = !(length > 0 && length < MAX_PATH);
    if (!*fallback)
        return dir;
    length = GetWindowsDirectoryA(dir, MAX_PATH);
    return std::string(dir, length < MAX_PATH ? length : 0) + "\\tracing";
}

DWORD AppendRecord(DWORD id, const std::string& record)
{
    std::string component = ComponentOf(id);
    if (component.empty())
        return ERROR_INVALID_PARAMETER;
    bool fallback = false;
    std::string directory = LogDirectory(&fallback);
    std::string path = directory + "\\" + component + ".LOG";
    Registry& r = Components();
    DWORD status = NO_ERROR;
    EnterCriticalSection(&r.lock);
    HANDLE& file = r.files[id - 1];
    if (file != INVALID_HANDLE_VALUE && r.paths[id - 1] != path) {
        CloseHandle(file);
        file = INVALID_HANDLE_VALUE;
    }
    if (file == INVALID_HANDLE_VALUE) {
        if (fallback)
            CreateDirectoryA(directory.c_str(), NULL);
        file = CreateFileA(path.c_str(), FILE_APPEND_DATA,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
        r.paths[id - 1] = path;
    }
    DWORD written = 0;
    if (file == INVALID_HANDLE_VALUE)
        status = GetLastError();
    else if (!WriteFile(file, record.data(), (DWORD)record.size(), &written, NULL))
        status = GetLastError();
    LeaveCriticalSection(&r.lock);
    return status;
}

std::string FlagsField(DWORD flags)
{
    char field[16];
    snprintf(field, sizeof(field), "%08lX", flags);
    return field;
}

} // namespace

extern "C" DWORD WINAPI TraceRegisterExA(LPCSTR name, DWORD flags)
{
    char refuse[16];
    DWORD refuseLength = GetEnvironmentVariableA("TESTBED_TRACE_REFUSE", refuse, sizeof(refuse));
    if (refuseLength > 0) {
        char* end = nullptr;
        unsigned long left = refuseLength < sizeof(refuse) ? strtoul(refuse, &end, 10) : 0;
        if (end && *end == 0 && left > 0) {
            char next[16] = "";
            if (left > 1)
                snprintf(next, sizeof(next), "%lu", left - 1);
            SetEnvironmentVariableA("TESTBED_TRACE_REFUSE", left > 1 ? next : NULL);
        }
        return kInvalidTraceId;
    }
    if (!name || !*name || strlen(name) >= MAX_PATH)
        return kInvalidTraceId;
    Registry& r = Components();
    DWORD id = kInvalidTraceId;
    EnterCriticalSection(&r.lock);
    for (DWORD i = 0; i < r.count && id == kInvalidTraceId; i++)
        if (lstrcmpiA(r.names[i], name) == 0)
            id = i + 1;
    if (id == kInvalidTraceId && r.count < kMaxComponents) {
        lstrcpynA(r.names[r.count], name, MAX_PATH);
        id = ++r.count;
    }
    LeaveCriticalSection(&r.lock);
    return id;
}

extern "C" DWORD WINAPI TraceVprintfExA(DWORD id, DWORD flags, LPCSTR format, va_list args)
{
    char text[4096];
    // msvcrt's formatter, as the platform's service uses: %S is wide text.
    int length = _vsnprintf(text, sizeof(text) - 1, format, args);
    text[sizeof(text) - 1] = 0;
    if (length < 0)
        length = (int)strlen(text);
    std::string record = FlagsField(flags) + " T ";
    for (int i = 0; i < length; i++) {
        switch (text[i]) {
        case '\\': record += "\\\\"; break;
        case '\r': record += "\\r"; break;
        case '\n': record += "\\n"; break;
        default: record += text[i]; break;
        }
    }
    return AppendRecord(id, record + "\n");
}

extern "C" DWORD WINAPI TraceDumpExA(DWORD id, DWORD flags, LPBYTE bytes, DWORD count,
                                     DWORD groupSize, BOOL addressPrefix, LPCSTR prefix)
{
    char head[64];
    snprintf(head, sizeof(head), " D %lu %d ", groupSize, addressPrefix ? 1 : 0);
    std::string record = FlagsField(flags) + head;
    for (DWORD i = 0; bytes && i < count; i++) {
        char hex[3];
        snprintf(hex, sizeof(hex), "%02X", bytes[i]);
        record += hex;
    }
    return AppendRecord(id, record + "\n");
}
