// Helpers of the XP SP2 tests: the emulated XP machine set up and read back, and the records
// that the tests plant in it or expect from it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "eapol_entry.h"
#include "xp_testbed_state.h"

typedef std::vector<uint8_t> Bytes;

// Gives this test program a machine of its own (WLANPROV_TESTBED_STATE) with count adapters,
// no network, no EAPOL value, no fault.
void UseXpMachine(const wchar_t* stateName, int count);
std::wstring AdapterGuid(int adapter);

// What the wireless service keeps for the adapter: its networks' SSIDs in list order, and
// its EAPOL values by name (empty when absent).
std::vector<std::string> StoredSsids(int adapter);
Bytes EapolValue(int adapter, const wchar_t* name);
size_t EapolValueCount(int adapter);

// A stored network record (160 bytes) and an EAPOL value header (52 bytes) naming an SSID.
Bytes NetworkRecord(const std::string& ssid);
Bytes EapolHeader(const std::string& ssid, uint32_t eapType = 25);

// The entry this program writes: header version 5, from eapol_entry.h's builder.
Bytes Entry(EapolLayout layout, const std::string& ssid, EapRecordInput record,
            bool machine = false, bool guest = false);

// Output with the numbers after "interfaces key: " and "CoInitialize FAILED ..., " (the
// system's last-error code, whatever it is at that moment) replaced by "#".
std::string MaskLastErrors(const std::string& output);
// Lines after the echo of the accepted values (the handler's own work).
std::string AfterEcho(const std::string& output);
