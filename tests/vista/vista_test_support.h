// Helpers of the Vista tests: run a handler in-process with its output captured and read the
// emulated machine back through its WLAN API.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "handler_run.h"
#include "testbed_state.h"
#include "trusted_root.h"

// Runs WZC_Vista (-add) or WZCRemoveProfile_Vista (-delete) with these options; the debug log
// is off at the start as in a new process.
HandlerRun RunAdd(const std::vector<std::string>& options);
HandlerRun RunDelete(const std::vector<std::string>& options);

// Gives this test program a machine of its own (WLANPROV_TESTBED_STATE) with these interfaces.
void UseMachine(const wchar_t* stateName, const std::vector<TestbedInterface>& interfaces);
std::vector<TestbedInterface> Interfaces(int count);

// Profiles of interface index as the emulated API reports them: name and document.
std::vector<TestbedProfile> ReadBackProfiles(int interfaceIndex);

// What the emulated wlanapi.dll loaded in this process still holds for its clients.
DWORD OpenWlanHandles();
DWORD LiveWlanBlocks();

// The document that WZC_Vista writes for these values, with what each kind adds after
// authEncryption: SharedKey(...) + keyIndex, OneX(...) or nothing.
std::wstring Document(const std::wstring& ssid, const std::wstring& authentication,
                      const std::wstring& encryption, const std::wstring& useOneX,
                      const std::wstring& security);
std::wstring SharedKey(const std::wstring& type, const std::wstring& material);
std::wstring OneX(int type, const std::wstring& blob);
