// The emulated XP machine's wireless state in the prefix's registry, beside the Vista one and
// under the same state name (testbed_state.h: WLANPROV_TESTBED_STATE, default "default"):
//
//   HKLM\Software\WlanprovTestbed\<name>\Xp
//     Adapters\<n>                   Guid (REG_SZ "{...}", upper-case), Description (REG_SZ),
//                                    Capabilities (REG_DWORD), n = 0, 1, ...
//     Adapters\<n>\EapolParams       REG_BINARY 52-byte interface parameters, one per SSID,
//                                    named "Ssid:" + the SSID bytes in hex
//     Adapters\<n>\CustomAuthData    REG_BINARY data, one per EAP type and SSID, named
//                                    "<EAP type>:" + the SSID bytes in hex
//     Faults                         REG_DWORD "<Function>" or "<Function>#<n>": the code that
//                                    call (for adapter n) then fails with; "<Function>@<n>":
//                                    only its n-th call fails (testbed_state.h)
//
// What the platform's wireless service keeps in its own layout, per adapter GUID:
//   HKLM\SOFTWARE\Microsoft\WZCSVC\Parameters\Interfaces\<GUID>  "Static#0000", ... REG_BINARY
//       160-byte network records in preferred-list order (a reader skips gaps)
//   HKLM\SOFTWARE\Microsoft\EAPOL\Parameters\Interfaces\<GUID>   "1", "2", ... EAPOL entries
//
// The emulated wireless service "WZCSVC" (one per prefix, whatever the state name) reads how
// long it stays start or stop pending and the wait hints it reports at each control from
//   HKLM\Software\WlanprovTestbed\Service  StartPendingMs, StartWaitHint, StopPendingMs,
//                                          StopWaitHint (REG_DWORD; absent = 0 = immediate)
//
// A state that does not exist yet is created as the default machine: two adapters whose GUIDs
// derive from the state name, so that machines of different names never share adapter keys.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "testbed_state.h"

struct XpAdapter {
    std::wstring guid; // "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}"
    std::wstring description;
    DWORD capabilities;
};

struct XpServiceTiming {
    DWORD startPendingMs;
    DWORD startWaitHint;
    DWORD stopPendingMs;
    DWORD stopWaitHint;
};

struct XpCustomAuthData {
    DWORD eapType;
    std::vector<uint8_t> ssid;
    std::vector<uint8_t> data;
};

// 0x100 WPA, 0x200 WPA2 (with WPA: 0x300).
const DWORD kXpDefaultCapabilities = 0x300;

std::wstring XpStateKeyPath();                   // under HKEY_LOCAL_MACHINE
std::vector<XpAdapter> XpAdaptersFor(int count); // for the current state name
std::vector<XpAdapter> DefaultXpAdapters();      // XpAdaptersFor(2)
std::wstring WzcInterfaceKeyPath(const wchar_t* guidText);
std::wstring EapolInterfaceKeyPath(const wchar_t* guidText);

// Replaces the machine with these adapters: no network, no EAPOL value, no parameter, no
// fault; the service's keys of the old and the new adapters are emptied, the new ones made
// (none for a GUID text that is empty or too long for a key name).
LONG ResetXpState(const std::vector<XpAdapter>& adapters);
// Creates the default machine when the state does not exist yet.
LONG ReadXpAdapters(std::vector<XpAdapter>* adapters);
LONG WriteXpCapabilities(int adapterIndex, DWORD capabilities);
// Index of the adapter with this GUID text (any case), or -1.
int FindXpAdapter(const wchar_t* guidText);

// The adapter's "Static#NNNN" values in index order (none when its key is missing).
LONG ReadPreferredList(const wchar_t* guidText, std::vector<std::vector<uint8_t>>* records);
LONG ReadPreferredValues(const wchar_t* guidText,
                         std::vector<std::pair<std::wstring, std::vector<uint8_t>>>* values);
// Replaces every "Static#NNNN" value with these records, "Static#0000" first.
LONG WritePreferredList(const wchar_t* guidText, const std::vector<std::vector<uint8_t>>& records);

LONG ReadEapolValues(const wchar_t* guidText,
                     std::vector<std::pair<std::wstring, std::vector<uint8_t>>>* values);
LONG WriteEapolValue(const wchar_t* guidText, const wchar_t* name,
                     const std::vector<uint8_t>& data);

// Interface parameters of one SSID: ERROR_FILE_NOT_FOUND when never set. The writer keys the
// record by its own SSID (length @16, bytes @20).
LONG ReadXpEapolParams(int adapterIndex, const uint8_t* ssid, uint32_t ssidLength,
                       std::vector<uint8_t>* params);
LONG WriteXpEapolParams(int adapterIndex, const std::vector<uint8_t>& params);
LONG ReadAllXpEapolParams(int adapterIndex, std::vector<std::vector<uint8_t>>* params);
LONG WriteXpCustomAuthData(int adapterIndex, const XpCustomAuthData& entry);
LONG ReadXpCustomAuthData(int adapterIndex, std::vector<XpCustomAuthData>* entries);

// adapterIndex -1 makes every call of that function fail; code 0 removes the fault.
LONG SetXpFault(const wchar_t* call, int adapterIndex, DWORD code);
LONG ClearXpFaults();
LONG ReadXpFaults(std::vector<TestbedFault>* faults);
// The injected code for this call (adapter-specific first), or 0.
DWORD XpFaultFor(const wchar_t* call, int adapterIndex);
// Nth-call faults in the same store (see SetNthCallFaultIn in testbed_state.h).
LONG SetXpNthCallFault(const wchar_t* call, int nth, DWORD code);
DWORD CountedXpCalls(const wchar_t* call);

// Absent values read as 0; writing all zeros removes the key.
LONG ReadXpServiceTiming(XpServiceTiming* timing);
LONG WriteXpServiceTiming(const XpServiceTiming& timing);
