#include "test_support.h"

#include <fcntl.h>
#include <io.h>
#include <psapi.h>
#include <stdio.h>

#include <thread>
#include <vector>

std::string NormalizeNewlines(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        out += text[i];
    }
    return out;
}

StdoutCapture::StdoutCapture()
{
    wchar_t dir[MAX_PATH], file[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    GetTempFileNameW(dir, L"out", 0, file);
    path_ = file;
    fflush(stdout);
    savedFd_ = _dup(1);
    int fd = _wopen(file, _O_WRONLY | _O_TRUNC | _O_BINARY);
    _dup2(fd, 1);
    _close(fd);
}

StdoutCapture::~StdoutCapture()
{
    fflush(stdout);
    _dup2(savedFd_, 1);
    _close(savedFd_);
    DeleteFileW(path_.c_str());
}

std::string StdoutCapture::Text()
{
    fflush(stdout);
    std::string text;
    HANDLE file = CreateFileW(path_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return text;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read)
        text.append(buffer, read);
    CloseHandle(file);
    return NormalizeNewlines(text);
}

namespace {

std::wstring VariableName(const std::wstring& entry)
{
    size_t equals = entry.find(L'=', 1); // "=C:" style entries start with '='
    return entry.substr(0, equals);
}

// This process's environment with the NAME=value lines of extra added; a variable named in
// extra replaces the inherited one.
std::vector<wchar_t> BuildEnvironment(const std::wstring& extra)
{
    std::vector<std::wstring> entries;
    size_t start = 0;
    while (start < extra.size()) {
        size_t end = extra.find(L'\n', start);
        if (end == std::wstring::npos)
            end = extra.size();
        entries.push_back(extra.substr(start, end - start));
        start = end + 1;
    }
    std::vector<wchar_t> block;
    wchar_t* current = GetEnvironmentStringsW();
    for (const wchar_t* p = current; *p; p += wcslen(p) + 1) {
        std::wstring entry = p;
        bool replaced = false;
        for (const std::wstring& added : entries)
            replaced = replaced ||
                       lstrcmpiW(VariableName(added).c_str(), VariableName(entry).c_str()) == 0;
        if (!replaced)
            block.insert(block.end(), entry.c_str(), entry.c_str() + entry.size() + 1);
    }
    FreeEnvironmentStringsW(current);
    for (const std::wstring& added : entries)
        block.insert(block.end(), added.c_str(), added.c_str() + added.size() + 1);
    block.push_back(L'\0');
    return block;
}

} // namespace

ProcessResult RunProcess(const std::wstring& commandLine, const std::wstring& environment,
                         const std::function<void(DWORD processId)>& whileRunning, DWORD timeoutMs,
                         const std::string& standardInput, const std::wstring& workingDirectory)
{
    ProcessResult result;
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) {
        fprintf(stderr, "RunProcess: CreatePipe failed with error %lu\n", GetLastError());
        return result;
    }
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    // The input is read from a temporary file that is deleted once the last handle closes.
    HANDLE input = INVALID_HANDLE_VALUE;
    if (standardInput.empty()) {
        input = CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                            OPEN_EXISTING, 0, nullptr);
    } else {
        wchar_t dir[MAX_PATH], file[MAX_PATH];
        GetTempPathW(MAX_PATH, dir);
        GetTempFileNameW(dir, L"in", 0, file);
        input = CreateFileW(file, GENERIC_READ | GENERIC_WRITE | DELETE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherit,
                            CREATE_ALWAYS, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        DWORD written = 0;
        WriteFile(input, standardInput.data(), (DWORD)standardInput.size(), &written, nullptr);
        SetFilePointer(input, 0, nullptr, FILE_BEGIN);
    }
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    PROCESS_INFORMATION process = {};
    std::vector<wchar_t> env = BuildEnvironment(environment);
    // Under load Wine has been seen to refuse a CreateProcessW once and start the same
    // command a moment later; the refusal is reported on this program's error output.
    BOOL started = FALSE;
    for (int attempt = 1; attempt <= 3 && !started; ++attempt) {
        std::wstring line = commandLine;
        started = CreateProcessW(nullptr, &line[0], nullptr, nullptr, TRUE,
                                 CREATE_UNICODE_ENVIRONMENT, env.data(),
                                 workingDirectory.empty() ? nullptr : workingDirectory.c_str(),
                                 &startup, &process);
        if (!started) {
            fprintf(stderr, "RunProcess: CreateProcessW failed with error %lu (attempt %d): %ls\n",
                    GetLastError(), attempt, commandLine.c_str());
            Sleep(200);
        }
    }
    CloseHandle(writeEnd);
    CloseHandle(input);
    if (!started) {
        CloseHandle(readEnd);
        return result;
    }
    std::thread helper;
    if (whileRunning)
        helper = std::thread(whileRunning, process.dwProcessId);
    // Output is read until the child ends and the pipe is drained, not until every write end
    // is closed: a process the child had started (a service, say) may hold one for ever.
    std::string raw;
    char buffer[4096];
    DWORD read = 0, available = 0, startedAt = GetTickCount();
    bool ended = false;
    while (PeekNamedPipe(readEnd, nullptr, 0, nullptr, &available, nullptr)) {
        if (available) {
            if (!ReadFile(readEnd, buffer, sizeof(buffer), &read, nullptr) || !read)
                break;
            raw.append(buffer, read);
        } else if (ended) {
            break;
        } else if (WaitForSingleObject(process.hProcess, 5) == WAIT_OBJECT_0) {
            ended = true; // one more look: what it wrote last may still be in the pipe
        } else if (GetTickCount() - startedAt > timeoutMs) {
            break;
        }
    }
    CloseHandle(readEnd);
    if (helper.joinable())
        helper.join();
    if (WaitForSingleObject(process.hProcess, ended ? 0 : timeoutMs) == WAIT_TIMEOUT) {
        TerminateProcess(process.hProcess, 1);
        result.timedOut = true;
    }
    GetExitCodeProcess(process.hProcess, &result.exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    result.output = NormalizeNewlines(raw);
    return result;
}

std::wstring MachineDir()
{
    return TESTBED_MACHINE_DIR;
}

std::wstring DistDir()
{
    return DIST_DIR;
}

std::string WideToCodePage(const std::wstring& text, UINT codePage)
{
    int size = WideCharToMultiByte(codePage, 0, text.c_str(), (int)text.size(), nullptr, 0, nullptr,
                                   nullptr);
    std::string out(size, '\0');
    WideCharToMultiByte(codePage, 0, text.c_str(), (int)text.size(), &out[0], size, nullptr,
                        nullptr);
    return out;
}

std::string AfterEcho(const std::string& output)
{
    size_t at = output.rfind(" :: input parameter: ");
    return at == std::string::npos ? output : output.substr(output.find('\n', at) + 1);
}

bool MappedInProcess(const std::wstring& fileName)
{
    const std::wstring tail = L"\\" + fileName;
    MEMORY_BASIC_INFORMATION region = {};
    for (const char* at = nullptr; VirtualQuery(at, &region, sizeof(region)) == sizeof(region);
         at = (const char*)region.BaseAddress + region.RegionSize) {
        WCHAR name[MAX_PATH];
        DWORD length = region.State == MEM_COMMIT && region.BaseAddress == region.AllocationBase &&
                               (region.Type == MEM_IMAGE || region.Type == MEM_MAPPED)
                           ? GetMappedFileNameW(GetCurrentProcess(), region.BaseAddress, name,
                                                MAX_PATH)
                           : 0;
        if (length > tail.size() && _wcsicmp(name + length - tail.size(), tail.c_str()) == 0)
            return true;
        if ((const char*)region.BaseAddress + region.RegionSize < (const char*)region.BaseAddress)
            break;
    }
    return false;
}

std::wstring PlantedDir()
{
    return MachineDir() + L"\\planted";
}

std::wstring MarkerDir()
{
    std::wstring dir = std::wstring(_wgetenv(L"TEMP")) + L"\\load-markers-" +
                       std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(dir.c_str(), nullptr);
    return dir;
}

std::wstring PlantedEnvironment()
{
    return L"TESTBED_LOAD_MARKERS=" + MarkerDir() + L"\nPATH=" + PlantedDir() + L";" +
           _wgetenv(L"PATH");
}

std::vector<std::wstring> LoadMarkers()
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((MarkerDir() + L"\\*.loaded").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do
        names.push_back(found.cFileName);
    while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

void ClearMarkers()
{
    for (const std::wstring& name : LoadMarkers())
        DeleteFileW((MarkerDir() + L"\\" + name).c_str());
}
