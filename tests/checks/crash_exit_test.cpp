// A program that crashes ends at once with its exception code: the prefix starts no crash
// debugger that would keep it (and CTest) waiting.
#include <gtest/gtest.h>

#include "test_support.h"

TEST(CrashExit, FaultingProgramEndsWithItsExceptionCode)
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dir = path;
    ProcessResult run = RunProcess(L"\"" + dir.substr(0, dir.rfind(L'\\')) +
                                   L"\\crash_probe.exe\"");
    EXPECT_FALSE(run.timedOut) << run.output;
    EXPECT_EQ(0xC0000005u, run.exitCode) << run.output;
}
