// Helpers shared by the tests: capture what the code under test prints, run a program of the
// build as a separate process, normalise line ends.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// Redirects the C runtime's standard output (file descriptor 1) into a temporary file while
// it lives; Text() returns what was printed so far, with CR LF turned into LF.
class StdoutCapture {
public:
    StdoutCapture();
    ~StdoutCapture();
    std::string Text();

private:
    int savedFd_ = -1;
    std::wstring path_;
};

struct ProcessResult {
    DWORD exitCode = 0xdeadbeef;
    std::string output; // standard output and error, CR LF turned into LF
    bool timedOut = false;
};

// Runs commandLine with its standard output and error captured; standard input reads
// standardInput (empty by default).
// environment holds extra NAME=value pairs separated by '\n' (added to this process's).
// whileRunning, when given, runs on its own thread with the child's process id while the
// output is read (for example to answer the child's dialogs); it is joined before returning.
// workingDirectory, when not empty, is the child's current directory.
ProcessResult RunProcess(const std::wstring& commandLine, const std::wstring& environment = L"",
                         const std::function<void(DWORD processId)>& whileRunning = nullptr,
                         DWORD timeoutMs = 60000, const std::string& standardInput = "",
                         const std::wstring& workingDirectory = L"");

std::string NormalizeNewlines(const std::string& text);

// Folders of the build as Windows paths: the emulated machine (test bed output) and dist.
std::wstring MachineDir();
std::wstring DistDir();

// What a handler printed after its echo of the accepted values (its own work), or all of it
// when there is no echo.
std::string AfterEcho(const std::string& output);

// Wide text in a code page: UTF-8, or the ANSI code page (what the programs print).
std::string WideToCodePage(const std::wstring& text, UINT codePage);
inline std::string WideToUtf8(const std::wstring& text)
{
    return WideToCodePage(text, CP_UTF8);
}
inline std::string WideToAnsi(const std::wstring& text)
{
    return WideToCodePage(text, CP_ACP);
}

// Whether a file whose path ends in "\\" + fileName is mapped into this process, as code or as
// data (a library mapped as resources is in no module list).
bool MappedInProcess(const std::wstring& fileName);

// Library loading watched: a folder holding copies of the test bed's marker library under
// the names of the libraries the deliverables load at run time (wzcsapi.dll, wlanapi.dll,
// methodres.dll). Each copy whose code runs leaves "NAME.loaded" in MarkerDir().
std::wstring PlantedDir();
std::wstring MarkerDir();
// The environment for a child: markers go to MarkerDir(), and PlantedDir() is on its PATH.
std::wstring PlantedEnvironment();
// The marker files present, as "NAME.loaded" names; ClearMarkers() removes them.
std::vector<std::wstring> LoadMarkers();
void ClearMarkers();
