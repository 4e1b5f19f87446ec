// Makes one Win32 call of a module fail at its n-th call, through the module's import table:
// while an ImportFaults lives, each swept import the module has is counted and forwarded,
// except that call, which returns the function's failure value with the fault's error (a
// registry call returns the error as its status). The module's LocalAlloc blocks are tracked
// until freed, and blocks freed (LocalFree, or the C runtime's free) while still holding a
// secret text are counted.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "import_patch.h"

// The calls a sweep can make fail.
// Not swept, as nothing depends on their result: tracing, RegCloseKey, CloseServiceHandle,
// frees, FreeLibrary, calls in an open dialog. Left out too as their count depends on the
// machine, not on the code: the service status reads of a wait (timing) and the walk of the
// ROOT store's certificates and names (its contents).
enum SweptCall {
    kLocalAlloc,
    kLoadLibraryExW,
    kGetModuleFileNameW,
    kMultiByteToWideChar,
    kWideCharToMultiByte,
    kCryptProtectData,
    kCryptUnprotectData,
    kCertOpenStore,
    kCertGetCertificateContextProperty,
    kRegCreateKeyExW,
    kRegSetValueExW,
    kRegOpenKeyExW,
    kRegDeleteKeyW,
    kRegQueryValueExW,
    kRegDeleteValueW,
    kOpenSCManagerW,
    kOpenServiceW,
    kControlService,
    kStartServiceW,
    kChangeServiceConfigW,
    kCoCreateInstance,
    kSysAllocString,
    kDialogBoxParamW,
    kCreateFileW,
    kWriteFile,
    kSweptCallCount
};

const char* SweptCallName(SweptCall call);
// The call of that name, or kSweptCallCount.
SweptCall SweptCallNamed(const std::wstring& name);

// The failing call's usual error (out of memory for an allocation, access denied for the
// registry, and so on).
const DWORD kUsualError = 0xFFFFFFFF;

// Without a call to fail, calls are only counted.
class ImportFaults {
public:
    explicit ImportFaults(HMODULE module, SweptCall fail = kSweptCallCount, int failAt = 0,
                          const std::string& secret = "", DWORD error = kUsualError);
    int Calls(SweptCall call) const;
    int Frees() const;         // LocalFree calls of the module
    bool Injected() const;     // the failing call was reached
    size_t LiveBlocks() const; // LocalAlloc blocks of the module not yet released
    int SecretsFreed() const;  // blocks released while holding the secret (as ANSI or UTF-16 text)

private:
    std::vector<std::unique_ptr<ImportPatch>> patches_;
};

// Whether a block holds text (as ANSI or UTF-16); empty text is never held.
bool HoldsText(const BYTE* block, size_t size, const std::string& text);
