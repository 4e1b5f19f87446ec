// The emulated machine's wireless state, kept in the prefix's registry so that it survives
// between runs: HKLM\Software\WlanprovTestbed\<state name>, the name taken from the
// environment variable WLANPROV_TESTBED_STATE ("default" when unset), so that test programs
// running side by side each have a machine of their own.
//
//   Interfaces\<n>            values Guid (REG_SZ "{...}") and Description (REG_SZ), n = 0, 1, ...
//   Interfaces\<n>\Profiles   one REG_SZ value per profile: name = profile name, data = document
//   Interfaces\<n>\Ssids      one REG_BINARY value per profile that WlanSetProfile stored: the
//                             SSID bytes it connects to
//   Faults                    REG_DWORD values "<Function>" (every call) or "<Function>#<n>"
//                             (calls for interface n): the code that call then fails with;
//                             "<Function>@<n>": the code only the n-th call fails with,
//                             counting every call of the function (all interfaces) since the
//                             fault was set, in "<Function>@calls" (REG_BINARY, not a fault)
//
// A state that does not exist yet is created as the default machine with two interfaces.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

struct TestbedInterface {
    GUID guid;
    std::wstring description;
};

struct TestbedProfile {
    std::wstring name;
    std::wstring document;
    std::vector<uint8_t> ssid; // empty for a document not stored through WlanSetProfile
};

struct TestbedFault {
    std::wstring call; // "WlanSetProfile" or "WlanSetProfile#1"
    DWORD code;
};

std::wstring TestbedStateName();
std::wstring TestbedStateKeyPath(); // under HKEY_LOCAL_MACHINE
std::vector<TestbedInterface> DefaultTestbedInterfaces();

// Replaces the whole state with these interfaces, no profile and no fault.
LONG ResetTestbedState(const std::vector<TestbedInterface>& interfaces);
LONG DeleteTestbedState();

LONG ReadTestbedInterfaces(std::vector<TestbedInterface>* interfaces);
// Index of the interface with this GUID, or -1.
int FindTestbedInterface(const GUID& guid);

LONG ReadTestbedProfiles(int interfaceIndex, std::vector<TestbedProfile>* profiles);
// ERROR_FILE_NOT_FOUND when the interface has no profile of that name.
LONG ReadTestbedProfile(int interfaceIndex, const wchar_t* name, std::wstring* document);
// Without SSID bytes, any the profile had are removed.
LONG WriteTestbedProfile(int interfaceIndex, const wchar_t* name, const wchar_t* document,
                         const std::vector<uint8_t>& ssid = {});
LONG RemoveTestbedProfile(int interfaceIndex, const wchar_t* name);

// interfaceIndex -1 makes every call of that function fail; code 0 removes the fault.
LONG SetTestbedFault(const wchar_t* call, int interfaceIndex, DWORD code);
LONG ClearTestbedFaults();
LONG ReadTestbedFaults(std::vector<TestbedFault>* faults);
// The injected code for this call (interface-specific first), or 0.
DWORD TestbedFaultFor(const wchar_t* call, int interfaceIndex);

// The same fault scheme under any key of HKEY_LOCAL_MACHINE, for every emulated API.
LONG SetFaultIn(const std::wstring& faultsKeyPath, const wchar_t* call, int index, DWORD code);
LONG ClearFaultsIn(const std::wstring& faultsKeyPath);
LONG ReadFaultsIn(const std::wstring& faultsKeyPath, std::vector<TestbedFault>* faults);
DWORD FaultForIn(const std::wstring& faultsKeyPath, const wchar_t* call, int index);
// The nth call (1-based) of that function fails with code, and its calls are counted from 0
// again; the other calls go through. A fault that no call reaches just counts them.
LONG SetNthCallFaultIn(const std::wstring& faultsKeyPath, const wchar_t* call, int nth, DWORD code);
// Calls of the function counted since its nth-call fault was set (0 without one).
DWORD CountedCallsIn(const std::wstring& faultsKeyPath, const wchar_t* call);
LONG SetTestbedNthCallFault(const wchar_t* call, int nth, DWORD code);
DWORD CountedTestbedCalls(const wchar_t* call);

// REG_SZ values of the state stores.
LONG ReadRegistryString(HKEY key, const wchar_t* name, std::wstring* value);
LONG WriteRegistryString(HKEY key, const wchar_t* name, const std::wstring& value);
