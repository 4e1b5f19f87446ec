// Loads credmethod.dll as the EAP host does, reads what reached the emulated tracing service,
// patches the plug-in's imports to observe debugger output and inject platform failures.
#pragma once

#include <windows.h>
#include <gtest/gtest.h>
#include <raseapif.h>

#include <string>
#include <vector>

#include "import_faults.h"

// Folder of the running test program (where credmethod.dll and rtutils.dll lie), with "\".
std::wstring TestDir();

// One record of the emulated tracing service's log: a line (kind 'T') or a dump (kind 'D').
struct TraceRecord {
    DWORD flags;
    char kind;
    std::string text; // the line, or the dumped bytes in upper-case hex
    DWORD groupSize;
    int addressPrefix;
};

// Log folder of this test program (set as TESTBED_TRACE_DIR for the tracing service).
std::string TraceDir();
std::vector<TraceRecord> ReadTraceLog(const std::string& component = "credmethod");
void ClearTraceLog(const std::string& component = "credmethod");
// The texts of the 'T' records, for comparisons.
std::vector<std::string> TraceLines(const std::string& component = "credmethod");
bool HasLine(const std::vector<std::string>& lines, const std::string& line);

// Entry points of one loaded copy of the plug-in.
typedef DWORD(WINAPI* GetInfoFn)(DWORD, PPP_EAP_INFO*);
typedef DWORD(WINAPI* FreeMemoryFn)(BYTE*);
typedef HRESULT(WINAPI* RegisterFn)();

// Fixture: a freshly loaded plug-in (its process-wide state new) and an empty trace log.
class PluginTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    void LoadPlugin(const std::wstring& fileName = L"credmethod.dll");
    void UnloadPlugin();
    void* Export(const char* name);
    // The entry table for type 6, checked.
    PPP_EAP_INFO EntryTable();

    HMODULE plugin_ = nullptr;
};

// Debugger output of the plug-in, captured through its OutputDebugStringA import.
class DebugOutputCapture {
public:
    explicit DebugOutputCapture(HMODULE plugin);
    ~DebugOutputCapture();
    std::vector<std::string> Lines() const;

private:
    ImportPatch patch_;
};

// The plug-in's LocalAlloc fails with error on call number failAt (1-based) while it lives;
// every LocalFree is checked for blocks that still hold secret (as ANSI or UTF-16 text).
class AllocatorProbe {
public:
    AllocatorProbe(HMODULE plugin, int failAt, DWORD error, const std::string& secret = "")
        : faults_(plugin, failAt ? kLocalAlloc : kSweptCallCount, failAt, secret, error)
    {
    }
    int Allocations() const { return faults_.Calls(kLocalAlloc); }
    int Frees() const { return faults_.Frees(); }
    int SecretsFreed() const { return faults_.SecretsFreed(); } // released while holding it

private:
    ImportFaults faults_;
};

// Runs commandLine as a debuggee to its end and collects its debugger output strings.
// Returns false when the program could not be started or did not end within timeoutMs.
bool RunUnderDebugger(const std::wstring& commandLine, std::vector<std::string>* debugStrings,
                      DWORD* exitCode, DWORD timeoutMs = 60000);
