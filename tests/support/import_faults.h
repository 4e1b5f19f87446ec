// Nth-call faults in the Win32 calls of a module, through its import table: while an
// ImportFaults lives, each watched function the module imports counts its calls, and the
// position-th call since its fault was set fails with the fault's code the way the function
// reports a failure (a registry status, or FALSE or NULL and the last error), its outputs
// untouched. Watched: the registry and service manager calls of advapi32 that the handlers
// make.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

class ImportPatch;

class ImportFaults {
public:
    ImportFaults(HMODULE module, const std::vector<std::wstring>& calls);
    ~ImportFaults();
    ImportFaults(const ImportFaults&) = delete;
    ImportFaults& operator=(const ImportFaults&) = delete;

private:
    std::vector<std::unique_ptr<ImportPatch>> patches_;
};

// Whether call is a watched function's name.
bool IsImportCall(const wchar_t* call);
// Sets call's fault and starts counting its calls from 0.
void SetImportNthFault(const wchar_t* call, int position, DWORD error);
DWORD CountedImportCalls(const wchar_t* call);
void ClearImportFaults();
