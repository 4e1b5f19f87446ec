// Helpers shared by the tests: capture what the code under test prints, run a program of the
// build as a separate process, normalise line ends.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

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
    std::string output;  // standard output and error, CR LF turned into LF
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
