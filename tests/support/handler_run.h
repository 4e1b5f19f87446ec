// Runs a handler of wlanprov in-process as main would, with what it prints captured. For the
// test programs that link wlanprov_core.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct HandlerRun {
    DWORD result;
    std::string output;
};

// Calls handler with "wlanprov.exe", command and the options; the debug log is off at the
// start as in a new process.
HandlerRun RunHandler(DWORD (*handler)(int, char**), const char* command,
                      const std::vector<std::string>& options);
