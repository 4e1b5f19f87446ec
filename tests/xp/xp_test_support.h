// Helpers of the XP handler tests: the emulated XP machine set up and read back, the records
// planted in it or expected from it, and output made comparable.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "eapol_entry.h"
#include "handler_run.h"
#include "xp_testbed_state.h"

typedef std::vector<uint8_t> Bytes;

// A machine of this program's own (WLANPROV_TESTBED_STATE) with count adapters, nothing stored.
void UseXpMachine(const wchar_t* stateName, int count);
std::wstring Guid(int adapter);

// The adapter's stored networks (their SSIDs, in list order) and its EAPOL value of a name
// (empty when absent).
std::vector<std::string> StoredSsids(int adapter);
Bytes EapolValue(int adapter, const wchar_t* name);

// A stored network record (160 bytes) and a bare EAPOL value header (52 bytes) for an SSID.
Bytes NetworkRecord(const std::string& ssid);
Bytes EapolHeader(const std::string& ssid, uint32_t eapType = 25);
// The entry this program writes (header version 5).
Bytes Entry(EapolLayout layout, const std::string& ssid, EapRecordInput record = {},
            bool machine = false, bool guest = false);

// Output with the system's last-error codes (after "interfaces key: " and "CoInitialize
// FAILED ..., ") as "#" and the adapters' GUID texts as {0}, {1}, ...
std::string Normalised(const std::string& output);

// Options written short: "A=WPA" stands for "/Authentication:WPA".
std::vector<std::string> Options(const std::string& text);

// Lines of a routine: each text after its name and " :: ".
std::string Lines(const std::vector<std::string>& texts, const char* name = "WZC_XP_SP2");

// A platform folder as the library directory while it lives: its wzcsapi.dll, held loaded so
// that its count of blocks handed out outlives each handler's own release (checked to be 0 at
// the end), and its provisioning server.
struct Platform {
    HMODULE library;
    explicit Platform(const wchar_t* name);
    ~Platform();
};

// The XP fault sweep: every call of the client library and the provisioning server, and each
// of importCalls (registry and service manager calls, see import_faults.h), failed once (with
// 1722) at each position of a run on two adapters; the table names each position, library
// calls first.
struct XpSweepRow {
    const wchar_t* call;
    int position;
    DWORD result;
    std::vector<std::string>
        lines;        // after the echo, each after "<handler> :: " unless it names its routine
    size_t stored[2]; // what each adapter holds after the run
};
void XpSweep(HMODULE library, const char* handler, const std::vector<XpSweepRow>& rows,
             const std::function<size_t(int adapter)>& stored, const std::function<void()>& prepare,
             const std::function<HandlerRun()>& run,
             const std::vector<std::wstring>& importCalls = {});
