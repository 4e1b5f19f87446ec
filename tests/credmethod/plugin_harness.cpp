#include "plugin_harness.h"

#include <fstream>
#include <sstream>

namespace {

std::string Narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

std::string TraceLogPath(const std::string& component)
{
    return TraceDir() + "\\" + component + ".LOG";
}

std::string Unescape(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); i++) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            char c = text[++i];
            out += c == 'n' ? '\n' : c == 'r' ? '\r' : c;
        } else {
            out += text[i];
        }
    }
    return out;
}

} // namespace

std::wstring TestDir()
{
    WCHAR path[MAX_PATH];
    DWORD length = GetModuleFileNameW(NULL, path, MAX_PATH);
    std::wstring dir(path, length);
    return dir.substr(0, dir.find_last_of(L'\\') + 1);
}

std::string TraceDir()
{
    WCHAR exe[MAX_PATH], temp[MAX_PATH];
    GetModuleFileNameW(NULL, exe, MAX_PATH);
    GetTempPathW(MAX_PATH, temp);
    std::wstring name(exe);
    name = name.substr(name.find_last_of(L'\\') + 1);
#ifdef _WIN64
    std::wstring dir = std::wstring(temp) + L"trace-x64-" + name;
#else
    std::wstring dir = std::wstring(temp) + L"trace-x86-" + name;
#endif
    CreateDirectoryW(dir.c_str(), NULL);
    return Narrow(dir);
}

std::vector<TraceRecord> ReadTraceLog(const std::string& component)
{
    std::vector<TraceRecord> records;
    std::ifstream file(TraceLogPath(component), std::ios::binary);
    std::string line;
    while (std::getline(file, line)) {
        TraceRecord record = {};
        record.flags = strtoul(line.substr(0, 8).c_str(), NULL, 16);
        record.kind = line.size() > 9 ? line[9] : '?';
        std::string rest = line.size() > 11 ? line.substr(11) : "";
        if (record.kind == 'D') {
            std::istringstream fields(rest);
            fields >> record.groupSize >> record.addressPrefix;
            fields >> record.text;
        } else {
            record.text = Unescape(rest);
        }
        records.push_back(record);
    }
    return records;
}

// Truncated, not deleted: the tracing service keeps the log open for appending.
void ClearTraceLog(const std::string& component)
{
    HANDLE file = CreateFileA(TraceLogPath(component).c_str(), GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
}

std::vector<std::string> TraceLines(const std::string& component)
{
    std::vector<std::string> lines;
    for (const TraceRecord& r : ReadTraceLog(component))
        if (r.kind == 'T')
            lines.push_back(r.text);
    return lines;
}

bool HasLine(const std::vector<std::string>& lines, const std::string& line)
{
    for (const std::string& l : lines)
        if (l == line)
            return true;
    return false;
}

void PluginTest::SetUp()
{
    SetEnvironmentVariableA("TESTBED_TRACE_DIR", TraceDir().c_str());
    SetEnvironmentVariableA("TESTBED_TRACE_REFUSE", NULL);
    ClearTraceLog();
    LoadPlugin();
}

void PluginTest::TearDown()
{
    UnloadPlugin();
}

void PluginTest::LoadPlugin(const std::wstring& fileName)
{
    UnloadPlugin();
    plugin_ = LoadLibraryW((TestDir() + fileName).c_str());
    ASSERT_NE(nullptr, plugin_) << "LoadLibrary error " << GetLastError();
}

void PluginTest::UnloadPlugin()
{
    if (plugin_)
        FreeLibrary(plugin_);
    plugin_ = nullptr;
}

void* PluginTest::Export(const char* name)
{
    void* proc = (void*)GetProcAddress(plugin_, name);
    EXPECT_NE(nullptr, proc) << name;
    return proc;
}

PPP_EAP_INFO PluginTest::EntryTable()
{
    PPP_EAP_INFO info = {};
    EXPECT_EQ(0u, ((GetInfoFn)Export("RasEapGetInfo"))(6, &info));
    return info;
}

namespace {

std::vector<std::string> g_debugLines;

void WINAPI RecordDebugString(LPCSTR text)
{
    g_debugLines.push_back(text ? text : "");
}

} // namespace

DebugOutputCapture::DebugOutputCapture(HMODULE plugin)
    : patch_(plugin, "kernel32.dll", "OutputDebugStringA", (void*)RecordDebugString)
{
    g_debugLines.clear();
}

DebugOutputCapture::~DebugOutputCapture() = default;

std::vector<std::string> DebugOutputCapture::Lines() const
{
    return g_debugLines;
}

bool RunUnderDebugger(const std::wstring& commandLine, std::vector<std::string>* debugStrings,
                      DWORD* exitCode, DWORD timeoutMs)
{
    STARTUPINFOW startup = {sizeof(startup)};
    PROCESS_INFORMATION process = {};
    std::wstring mutableLine = commandLine;
    if (!CreateProcessW(NULL, &mutableLine[0], NULL, NULL, FALSE, DEBUG_ONLY_THIS_PROCESS, NULL,
                        NULL, &startup, &process))
        return false;
    bool ended = false;
    DWORD deadline = GetTickCount() + timeoutMs;
    while (!ended && (LONG)(deadline - GetTickCount()) > 0) {
        DEBUG_EVENT event;
        if (!WaitForDebugEvent(&event, 1000))
            continue;
        DWORD continueStatus = DBG_CONTINUE;
        switch (event.dwDebugEventCode) {
        case CREATE_PROCESS_DEBUG_EVENT:
            if (event.u.CreateProcessInfo.hFile)
                CloseHandle(event.u.CreateProcessInfo.hFile);
            break;
        case LOAD_DLL_DEBUG_EVENT:
            if (event.u.LoadDll.hFile)
                CloseHandle(event.u.LoadDll.hFile);
            break;
        case OUTPUT_DEBUG_STRING_EVENT: {
            const OUTPUT_DEBUG_STRING_INFO& info = event.u.DebugString;
            std::string text(info.nDebugStringLength, '\0');
            SIZE_T read = 0;
            if (!info.fUnicode && ReadProcessMemory(process.hProcess, info.lpDebugStringData,
                                                    &text[0], text.size(), &read)) {
                text.resize(strnlen(text.c_str(), read));
                debugStrings->push_back(text);
            }
            break;
        }
        case EXCEPTION_DEBUG_EVENT:
            if (event.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT)
                continueStatus = DBG_EXCEPTION_NOT_HANDLED;
            break;
        case EXIT_PROCESS_DEBUG_EVENT:
            *exitCode = event.u.ExitProcess.dwExitCode;
            ended = true;
            break;
        default: break;
        }
        ContinueDebugEvent(event.dwProcessId, event.dwThreadId, continueStatus);
    }
    if (!ended)
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return ended;
}
