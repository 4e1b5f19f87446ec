// Makes one platform call of the loaded plug-in fail at its n-th call, through its import table:
// each swept import is counted and forwarded, except that call, which returns the function's
// failure value with its error. The plug-in's own LocalAlloc blocks are tracked until freed.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "plugin_harness.h"

// The calls a sweep makes fail.
// Not swept, as nothing depends on their result: tracing, RegCloseKey, frees, FreeLibrary, calls in an open dialog.
enum SweptCall {
    kLocalAlloc,
    kLoadLibraryW,
    kGetModuleFileNameW,
    kMultiByteToWideChar,
    kWideCharToMultiByte,
    kCryptProtectData,
    kCryptUnprotectData,
    kRegCreateKeyExW,
    kRegSetValueExW,
    kRegOpenKeyExW,
    kRegDeleteKeyW,
    kCoCreateInstance,
    kSysAllocString,
    kDialogBoxParamW,
    kSweptCallCount
};

const char* SweptCallName(SweptCall call);

// Without a call to fail, calls are only counted. Blocks the plug-in releases are searched for secret.
class ImportFaults {
public:
    explicit ImportFaults(HMODULE plugin, SweptCall fail = kSweptCallCount, int failAt = 0,
                          const std::string& secret = "");
    int Calls(SweptCall call) const;
    bool Injected() const;    // the failing call was reached
    size_t LiveBlocks() const;  // LocalAlloc blocks of the plug-in not yet released
    int SecretsFreed() const;   // blocks released while holding the secret (as ANSI or UTF-16 text)

private:
    std::vector<std::unique_ptr<ImportPatch>> patches_;
};
