// Helpers of the Vista tests: run a handler in-process with its output captured, read the
// emulated machine back through its WLAN API, and trusted roots added for one test.
#pragma once

#include <windows.h>
#include <wincrypt.h>

#include <string>
#include <vector>

#include "testbed_state.h"

struct HandlerRun {
    DWORD result;
    std::string output;
};

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

// A self-signed certificate with this common name in the local computer's ROOT store while
// the object lives.
class TrustedRoot {
public:
    explicit TrustedRoot(const std::wstring& commonName);
    ~TrustedRoot();
    TrustedRoot(const TrustedRoot&) = delete;
    TrustedRoot& operator=(const TrustedRoot&) = delete;
    const BYTE* Thumbprint() const { return thumbprint_; }
    std::string ThumbprintHex() const;

private:
    bool added_ = false;
    BYTE thumbprint_[20] = {};
};

// Removes every trusted root whose subject contains namePart (left over by a run that died).
void RemoveTrustedRoots(const wchar_t* namePart);

// Whether a comes before b in the machine's trusted roots.
bool ComesFirstInRootStore(const TrustedRoot& a, const TrustedRoot& b);

std::string WideToUtf8(const std::wstring& text);
