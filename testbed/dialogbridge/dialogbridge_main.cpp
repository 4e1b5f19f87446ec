// dialogbridge: runs a program and relays each dialog it shows to the terminal, for machines
// where nobody can see a Wine window.
//
//   dialogbridge run [--wait-enter | --no-relay] [--exit-code-file PATH] -- PROGRAM [ARGS...]
//   dialogbridge hold-desktop
//
// Every dialog of PROGRAM is printed (caption, then each control's text) and closed with its
// default button: at once, or after Enter with --wait-enter. With --no-relay the dialogs are
// left to the user (a real window on a display). The exit code is PROGRAM's; with
// --exit-code-file it is also written there in decimal, for launchers that start the bridge
// through a program that does not pass exit codes on (Wine's explorer with a desktop).
//
// hold-desktop makes Wine start the prefix's desktop process and then waits until it is ended:
// a test suite starts it once, apart from the tests' output, so that no test program starts
// the desktop itself (two starting it at once race, and a desktop that inherited a test's
// output pipe holds its reader).
#include <windows.h>

#include <cstdio>
#include <string>

#include "dialog_bridge.h"

namespace {

// Quotes one argument the way the C runtime's command-line parser reads it back.
std::wstring QuoteArgument(const std::wstring& argument)
{
    if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos)
        return argument;
    std::wstring quoted = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, L'\\');
    return quoted + L"\"";
}

void PrintText(const std::wstring& text)
{
    std::wstring line;
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == L'\n') {
            if (!line.empty() && line.back() == L'\r')
                line.pop_back();
            printf("    %ls\n", line.c_str());
            line.clear();
        } else {
            line += text[i];
        }
    }
}

void RelayDialog(HWND window, bool waitEnter)
{
    BridgeDialog dialog;
    if (!BridgeReadDialog(window, &dialog))
        return;
    printf("---- dialog: %ls ----\n", dialog.caption.c_str());
    for (const BridgeControl& control : dialog.controls) {
        if (control.text.empty())
            continue;
        printf("  [%ls %d]\n", control.className.c_str(), control.id);
        PrintText(control.text);
    }
    int button = BridgeDefaultButton(window);
    if (waitEnter) {
        printf("---- press Enter to close the dialog ----\n");
        fflush(stdout);
        char c = 0;
        DWORD read = 0;
        HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
        while (ReadFile(input, &c, 1, &read, nullptr) && read == 1 && c != '\n') {
        }
    } else {
        printf("---- dialog closed ----\n");
    }
    fflush(stdout);
    BridgePressButton(window, button);
    BridgeWaitClosed(window, 5000);
}

enum RelayMode { RELAY_AT_ONCE, RELAY_WAIT_ENTER, RELAY_NONE };

void WriteExitCode(const wchar_t* path, DWORD exitCode)
{
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    char text[16];
    int length = snprintf(text, sizeof(text), "%lu\n", exitCode);
    DWORD written = 0;
    WriteFile(file, text, (DWORD)length, &written, nullptr);
    CloseHandle(file);
}

int Run(int first, int argc, wchar_t** argv, RelayMode mode, const wchar_t* exitCodeFile)
{
    std::wstring commandLine;
    for (int i = first; i < argc; ++i) {
        if (!commandLine.empty())
            commandLine += L' ';
        commandLine += QuoteArgument(argv[i]);
    }
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                        &startup, &process)) {
        fprintf(stderr, "dialogbridge: cannot start %ls (error %lu)\n", argv[first],
                GetLastError());
        return 1;
    }
    while (WaitForSingleObject(process.hProcess, 50) == WAIT_TIMEOUT) {
        if (mode == RELAY_NONE)
            continue;
        HWND dialog = BridgeWaitForDialog(process.dwProcessId, nullptr, 0);
        if (dialog)
            RelayDialog(dialog, mode == RELAY_WAIT_ENTER);
    }
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    if (exitCodeFile)
        WriteExitCode(exitCodeFile, exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(exitCode);
}

int Usage()
{
    fprintf(stderr, "usage: dialogbridge run [--wait-enter | --no-relay] "
                    "[--exit-code-file PATH] -- PROGRAM [ARGS...]\n"
                    "       dialogbridge hold-desktop\n");
    return 2;
}

} // namespace

// A window of this process needs the desktop, which Wine then starts; the process stays until
// it is ended.
int HoldDesktop()
{
    HWND window = CreateWindowExW(0, L"STATIC", L"desktop holder", WS_POPUP, 0, 0, 1, 1, nullptr,
                                  nullptr, nullptr, nullptr);
    if (!window)
        return 1;
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
        DispatchMessageW(&message);
    DestroyWindow(window);
    return 0;
}

int wmain(int argc, wchar_t** argv)
{
    if (argc == 2 && lstrcmpW(argv[1], L"hold-desktop") == 0)
        return HoldDesktop();
    if (argc < 2 || lstrcmpW(argv[1], L"run") != 0)
        return Usage();
    RelayMode mode = RELAY_AT_ONCE;
    const wchar_t* exitCodeFile = nullptr;
    int i = 2;
    for (; i < argc && lstrcmpW(argv[i], L"--") != 0; ++i) {
        if (lstrcmpW(argv[i], L"--wait-enter") == 0)
            mode = RELAY_WAIT_ENTER;
        else if (lstrcmpW(argv[i], L"--no-relay") == 0)
            mode = RELAY_NONE;
        else if (lstrcmpW(argv[i], L"--exit-code-file") == 0 && i + 1 < argc)
            exitCodeFile = argv[++i];
        else
            return Usage();
    }
    if (i + 1 >= argc)
        return Usage();
    return Run(i + 1, argc, argv, mode, exitCodeFile);
}
