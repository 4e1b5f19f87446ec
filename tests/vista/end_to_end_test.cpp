#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "test_support.h"
#include "testbed_state.h"
#include "vista_test_support.h"

namespace {

const wchar_t kMachine[] = L"vista_end_to_end_test";
const char kBanner[] = "Wavestead wlanprov ( Version 1.4 )\n";

std::wstring Program(const wchar_t* platform)
{
    return MachineDir() + L"\\platforms\\" + platform + L"\\wlanprov.exe";
}

ProcessResult RunVista(const std::wstring& arguments)
{
    return RunProcess(L"\"" + Program(L"vista") + L"\" " + arguments,
                      std::wstring(L"WLANPROV_TESTBED_STATE=") + kMachine);
}

// Names of the DLLs that a PE file imports through its import table.
std::vector<std::string> ImportedDlls(const std::wstring& path)
{
    std::ifstream file(path.c_str(), std::ios::binary);
    std::vector<char> image((std::istreambuf_iterator<char>(file)),
                            std::istreambuf_iterator<char>());
    std::vector<std::string> names;
    if (image.size() < sizeof(IMAGE_DOS_HEADER))
        return names;
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(image.data());
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS32*>(image.data() + dos->e_lfanew);
    auto* sections = IMAGE_FIRST_SECTION(nt);
    auto offsetOf = [&](DWORD rva) -> size_t {
        for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i) {
            const IMAGE_SECTION_HEADER& s = sections[i];
            if (rva >= s.VirtualAddress && rva < s.VirtualAddress + s.SizeOfRawData)
                return rva - s.VirtualAddress + s.PointerToRawData;
        }
        return 0;
    };
    DWORD importRva = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    size_t at = offsetOf(importRva);
    for (; at && at + sizeof(IMAGE_IMPORT_DESCRIPTOR) <= image.size();
         at += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
        auto* entry = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(image.data() + at);
        if (entry->Name == 0)
            break;
        std::string name = image.data() + offsetOf(entry->Name);
        for (char& c : name)
            c = (char)tolower((unsigned char)c);
        names.push_back(name);
    }
    return names;
}

TEST(EndToEnd, AddThenDeleteOnAFreshMachine)
{
    SetEnvironmentVariableW(L"WLANPROV_TESTBED_STATE", kMachine);
    ASSERT_EQ(0, DeleteTestbedState()); // as on a fresh clone: the default machine

    ProcessResult add = RunVista(L"-add /SSID:Office /Authentication:WPA2 /Encryption:AES "
                                 L"/EAPType:PEAP /InnerAuthentication:GTC");
    EXPECT_EQ(0u, add.exitCode);
    EXPECT_EQ(std::string(kBanner) + "main :: WZC Dll Version : 393232386\n"
                                     "main :: Windows Vista\n"
                                     "WZC_Vista :: input parameter: SSID : Office\n"
                                     "WZC_Vista :: input parameter: AuthenticationMode : WPA2\n"
                                     "WZC_Vista :: input parameter: EncryptionType : AES\n"
                                     "WZC_Vista :: input parameter: NetworkKey : \n"
                                     "WZC_Vista :: input parameter: KeyIndex : 1\n"
                                     "WZC_Vista :: input parameter: EAPType : PEAP\n"
                                     "WZC_Vista :: input parameter: InnerAuthenticaionMode : GTC\n"
                                     "WZC_Vista :: input parameter: UseWindowsLogonInfo : 0\n"
                                     "WZC_Vista :: input parameter: EnableFastReconnect : 0\n"
                                     "WZC_Vista :: input parameter: ValidateServerCert : 0\n"
                                     "The WLAN API version is 2.0\n"
                                     "WZC_Vista :: WlanSetProfile succeeded\n"
                                     "WZC_Vista :: WlanSetProfile succeeded\n",
              add.output);
    std::vector<TestbedInterface> interfaces;
    ASSERT_EQ(0, ReadTestbedInterfaces(&interfaces));
    ASSERT_EQ(2u, interfaces.size());
    for (int i = 0; i < 2; ++i) {
        std::vector<TestbedProfile> profiles;
        ASSERT_EQ(0, ReadTestbedProfiles(i, &profiles));
        ASSERT_EQ(1u, profiles.size());
        EXPECT_EQ(L"Office", profiles[0].name);
        EXPECT_NE(
            std::wstring::npos,
            profiles[0].document.find(
                L"<ConfigBlob>01000000360000000100000000000000010000001500000017000000000000000000010000000F000000060000000000000000000000</ConfigBlob>"));
    }

    ProcessResult remove = RunVista(L"-delete /SSID:Office");
    EXPECT_EQ(0u, remove.exitCode);
    EXPECT_EQ(std::string(kBanner) +
                  "main :: WZC Dll Version : 393232386\n"
                  "main :: Windows Vista\n"
                  "WZCRemoveProfile_Vista :: input parameter: SSID : Office\n"
                  "The WLAN API version is 2.0\n"
                  "WZCRemoveProfile_Vista :: the profile is deleted successfully\n"
                  "WZCRemoveProfile_Vista :: the profile is deleted successfully\n",
              remove.output);
    for (int i = 0; i < 2; ++i) {
        std::vector<TestbedProfile> profiles;
        ASSERT_EQ(0, ReadTestbedProfiles(i, &profiles));
        EXPECT_TRUE(profiles.empty());
    }
}

TEST(EndToEnd, FailedRemovalExitsWithTheLastCode)
{
    SetEnvironmentVariableW(L"WLANPROV_TESTBED_STATE", kMachine);
    ASSERT_EQ(0, ResetTestbedState(DefaultTestbedInterfaces()));
    ProcessResult remove = RunVista(L"-delete /SSID:Nowhere");
    EXPECT_EQ(1168u, remove.exitCode);
}

// The profile that interface index holds under this name, or "" when it has none.
std::wstring StoredDocument(int index, const wchar_t* name)
{
    std::wstring document;
    ReadTestbedProfile(index, name, &document);
    return document;
}

TEST(EndToEnd, WhatIsTypedIsStoredAndRemovedByTheSameValue)
{
    SetEnvironmentVariableW(L"WLANPROV_TESTBED_STATE", kMachine);
    ASSERT_EQ(0, ResetTestbedState(DefaultTestbedInterfaces()));
    ASSERT_EQ(0, WriteTestbedProfile(0, L"Cafe", L"<another/>"));

    const std::wstring psk = L" /Authentication:WPA2PSK /Encryption:AES ";
    EXPECT_EQ(0u, RunVista(L"-add \"/SSID:Cafe Wifi\"" + psk + L"\"/NetworkKey:my secret phrase\"")
                      .exitCode);
    EXPECT_NE(std::wstring::npos,
              StoredDocument(1, L"Cafe Wifi").find(L"<keyMaterial>my secret phrase</keyMaterial>"));
    EXPECT_EQ(0u, RunVista(L"-add /SSID:Caf\x2019" + psk + L"/NetworkKey:12345678").exitCode);
    EXPECT_NE(L"", StoredDocument(0, L"Caf\x2019"));

    // A key character of the ANSI code page reaches the document as that character; the
    // platform takes only printable ASCII in a pass phrase and says so.
    ProcessResult euro = RunVista(L"-add /SSID:Euro" + psk +
                                  L"/NetworkKey:pass\x20acword /DebugLog:TRUE");
    EXPECT_NE(std::string::npos, euro.output.find("NetworkKey : pass\x80word\n"));
    EXPECT_NE(std::string::npos, euro.output.find("<keyMaterial>pass\x80word</keyMaterial>"));
    EXPECT_EQ(1206u, euro.exitCode);

    EXPECT_EQ(0u, RunVista(L"-delete \"/SSID:Cafe Wifi\"").exitCode);
    EXPECT_EQ(0u, RunVista(L"-delete /SSID:Caf\x2019").exitCode);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(L"", StoredDocument(i, L"Cafe Wifi"));
        EXPECT_EQ(L"", StoredDocument(i, L"Caf\x2019"));
    }
    EXPECT_EQ(L"<another/>", StoredDocument(0, L"Cafe"));
}

TEST(EndToEnd, Wpa3AndEnhancedOpenAreStoredAsTyped)
{
    SetEnvironmentVariableW(L"WLANPROV_TESTBED_STATE", kMachine);
    const std::wstring tls = OneX(13, L"020000002A00000017000000" + std::wstring(60, L'0'));
    const struct {
        const wchar_t* options;
        std::wstring document;
    } cases[] = {
        {L"WPA3SAE /Encryption:AES /NetworkKey:secret12",
         Document(L"Net", L"WPA3SAE", L"AES", L"false", SharedKey(L"passPhrase", L"secret12"))},
        {L"OWE /Encryption:AES", Document(L"Net", L"OWE", L"AES", L"false", L"")},
        {L"WPA3ENT /Encryption:AES /EAPType:EAP-TLS",
         Document(L"Net", L"WPA3ENT", L"AES", L"true", tls)},
        {L"WPA3ENT192 /Encryption:GCMP256 /EAPType:EAP-TLS",
         Document(L"Net", L"WPA3ENT192", L"GCMP256", L"true", tls)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.options);
        ASSERT_EQ(0, ResetTestbedState(DefaultTestbedInterfaces()));
        ProcessResult add = RunVista(std::wstring(L"-add /SSID:Net /Authentication:") + c.options);
        EXPECT_EQ(0u, add.exitCode) << add.output;
        for (int i = 0; i < 2; ++i)
            EXPECT_EQ(c.document, StoredDocument(i, L"Net"));
    }
}

// The profile's newer elements, each where the schema puts it; a profile saved to a file is
// set on no interface.
std::wstring With(std::wstring document, const std::wstring& from, const std::wstring& to)
{
    return document.replace(document.find(from), from.size(), to);
}

TEST(EndToEnd, NewerProfileElementsAreStoredAsAsked)
{
    SetEnvironmentVariableW(L"WLANPROV_TESTBED_STATE", kMachine);
    const std::wstring psk = L"/Authentication:WPA2PSK /Encryption:AES /NetworkKey:secret12 ";
    const std::wstring sae = L"/Authentication:WPA3SAE /Encryption:AES /NetworkKey:secret12 ";
    const std::wstring base = Document(L"Net", L"WPA2PSK", L"AES", L"false",
                                       SharedKey(L"passPhrase", L"secret12"));
    const std::wstring key64 = L"00112233445566778899aabbccddeeff00112233445566778899AABBCCDDEEFF";
    const std::wstring saved = MachineDir() + L"\\saved-profile.xml";
    const std::wstring ns = L" xmlns=\"http://www.microsoft.com/networking/WLAN/profile/v";
    const struct {
        std::wstring options;
        std::wstring ssid;
        std::wstring document; // stored on both interfaces, or written to the file
        DWORD exitCode;
        std::string line; // "": no line checked
    } cases[] = {
        {psk + L"/NonBroadcast:TRUE", L"Net",
         With(base, L"</SSID>", L"</SSID><nonBroadcast>true</nonBroadcast>"), 0, ""},
        {L"/SSID:Caf\xe9 " + psk, L"Caf\xe9",
         With(With(base, L"Net", L"Caf\xe9"), L"<SSID><name>Net",
              L"<SSID><hex>436166C3A9</hex><name>Caf\xe9"),
         0, ""},
        {psk + L"/NetworkKey:" + key64, L"Net",
         Document(L"Net", L"WPA2PSK", L"AES", L"false", SharedKey(L"networkKey", key64)), 0, ""},
        {sae + L"/TransitionMode:TRUE", L"Net",
         With(With(base, L"WPA2PSK", L"WPA3SAE"), L"</useOneX>",
              L"</useOneX><transitionMode" + ns + L"4\">true</transitionMode>"),
         0, ""},
        {psk + L"/ConnectionMode:manual /AutoSwitch:FALSE", L"Net",
         With(base, L"auto</connectionMode>",
              L"manual</connectionMode><autoSwitch>false</autoSwitch>"),
         0, ""},
        {psk + L"/MacRandomization:DAILY", L"Net",
         With(base, L"</MSM>",
              L"</MSM><MacRandomization" + ns +
                  L"3\"><enableRandomization>true"
                  L"</enableRandomization><randomizeEveryday>true</randomizeEveryday>"
                  L"</MacRandomization>"),
         0, ""},
        {psk + L"/MacRandomization:FALSE", L"Net",
         With(base, L"</MSM>",
              L"</MSM><MacRandomization" + ns +
                  L"3\"><enableRandomization>"
                  L"false</enableRandomization></MacRandomization>"),
         0, ""},
        {psk + L"/TransitionMode:FALSE", L"Net", L"", 13,
         "WZC_Vista :: the element [TransitionMode] should not be set\n"},
        {psk + L"/ConnectionMode:manual /AutoSwitch:TRUE", L"Net", L"", 13,
         "WZC_Vista :: the element [AutoSwitch] should not be set because ConnectionMode is "
         "manual\n"},
        // 17 characters of two UTF-8 bytes each.
        {L"/SSID:" + std::wstring(17, L'\xe9') + L" " + psk, std::wstring(17, L'\xe9'), L"", 13,
         "WZC_Vista :: [SSID] : invalid input\n"},
        {psk + L"/NonBroadcast:TRUE \"/SaveProfile:" + saved + L"\"", L"Net",
         With(base, L"</SSID>", L"</SSID><nonBroadcast>true</nonBroadcast>"), 0,
         "WZC_Vista :: the profile is written to " + WideToAnsi(saved) + "\n"},
        {psk + L"\"/SaveProfile:" + MachineDir() + L"\\no such folder\\p.xml\"", L"Net", L"", 3,
         "WZC_Vista :: ERROR!! the profile could not be written to " + WideToAnsi(MachineDir()) +
             "\\no such folder\\p.xml: 3\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(WideToAnsi(c.options));
        ASSERT_EQ(0, ResetTestbedState(DefaultTestbedInterfaces()));
        DeleteFileW(saved.c_str());
        std::wstring options = c.options.compare(0, 6, L"/SSID:") == 0 ? c.options
                                                                       : L"/SSID:Net " + c.options;
        ProcessResult add = RunVista(L"-add " + options);
        EXPECT_EQ(c.exitCode, add.exitCode) << add.output;
        EXPECT_NE(std::string::npos, add.output.find(c.line)) << add.output;
        bool toFile = c.options.find(L"/SaveProfile:") != std::wstring::npos;
        std::ifstream file(saved.c_str(), std::ios::binary);
        std::string written((std::istreambuf_iterator<char>(file)),
                            std::istreambuf_iterator<char>());
        EXPECT_EQ(toFile && c.exitCode == 0 ? WideToUtf8(c.document) : "", written);
        for (int i = 0; i < 2; ++i)
            EXPECT_EQ(toFile ? L"" : c.document, StoredDocument(i, c.ssid.c_str()));
    }
}

TEST(EndToEnd, AFailedInterfaceIsTheExitCode)
{
    SetEnvironmentVariableW(L"WLANPROV_TESTBED_STATE", kMachine);
    ASSERT_EQ(0, ResetTestbedState(DefaultTestbedInterfaces()));
    ASSERT_EQ(0, SetTestbedFault(L"WlanSetProfile", 0, 1206));
    ProcessResult add = RunVista(L"-add /SSID:Office /Authentication:open /Encryption:none");
    EXPECT_EQ(1206u, add.exitCode);
    EXPECT_EQ(L"", StoredDocument(0, L"Office"));
    EXPECT_NE(L"", StoredDocument(1, L"Office"));

    ASSERT_EQ(0, WriteTestbedProfile(0, L"Office", L"<stored/>"));
    ASSERT_EQ(0, SetTestbedFault(L"WlanDeleteProfile", 0, 5));
    EXPECT_EQ(5u, RunVista(L"-delete /SSID:Office").exitCode);
    ClearTestbedFaults();
    EXPECT_EQ(L"", StoredDocument(1, L"Office"));
}

TEST(EndToEnd, ProgramNeverImportsTheWlanApi)
{
    std::vector<std::string> imports = ImportedDlls(Program(L"vista"));
    ASSERT_FALSE(imports.empty());
    for (const std::string& name : imports)
        EXPECT_NE("wlanapi.dll", name);
}

TEST(EndToEnd, StartsOnXpWithoutAnyWlanApi)
{
    // Wine's own wlanapi.dll disabled too: no WLAN API anywhere, as on XP SP1.
    wchar_t saved[1024] = L"";
    GetEnvironmentVariableW(L"WINEDLLOVERRIDES", saved, 1024);
    SetEnvironmentVariableW(L"WINEDLLOVERRIDES", L"mscoree,mshtml=;rtutils=n,b;wlanapi=");
    ProcessResult run = RunProcess(L"\"" + Program(L"xpsp1-1106") + L"\" -add /SSID:Office");
    SetEnvironmentVariableW(L"WINEDLLOVERRIDES", saved);
    EXPECT_NE(0xC0000135u, run.exitCode); // STATUS_DLL_NOT_FOUND
    EXPECT_EQ(0u, run.output.find(kBanner));
    EXPECT_EQ(std::string::npos, run.output.find("Windows Vista"));
    EXPECT_NE(std::string::npos, run.output.find("WZC_XP_SP1"));
}

ProcessResult RunMachineState(const std::wstring& arguments)
{
    return RunProcess(L"\"" + MachineDir() + L"\\platforms\\vista\\wlanstate.exe\" " + arguments,
                      std::wstring(L"WLANPROV_TESTBED_STATE=") + kMachine);
}

TEST(MachineState, RefusesWhatItCannotDoAndChangesNothing)
{
    SetEnvironmentVariableW(L"WLANPROV_TESTBED_STATE", kMachine);
    ASSERT_EQ(0, ResetTestbedState(DefaultTestbedInterfaces()));
    const struct {
        const wchar_t* arguments;
        const char* output;
    } cases[] = {
        {L"fault WlanSetProfle 5",
         "wlanstate: no emulated WLAN API call is named \"WlanSetProfle\"\n"},
        {L"fault WlanSetProfile 5x", "wlanstate: the code must be a decimal number, not \"5x\"\n"},
        {L"fault WlanSetProfile one 5",
         "wlanstate: no interface has the index \"one\" (2 interface(s))\n"},
        {L"fault WlanSetProfile 2 5",
         "wlanstate: no interface has the index \"2\" (2 interface(s))\n"},
        {L"reset many",
         "wlanstate: the interface count must be a number from 0 to 64, not \"many\"\n"},
    };
    for (const auto& c : cases) {
        ProcessResult run = RunMachineState(c.arguments);
        EXPECT_EQ(2u, run.exitCode) << c.output;
        EXPECT_EQ(c.output, run.output);
    }
    std::vector<TestbedFault> faults;
    ASSERT_EQ(0, ReadTestbedFaults(&faults));
    EXPECT_TRUE(faults.empty());
    std::vector<TestbedInterface> interfaces;
    ASSERT_EQ(0, ReadTestbedInterfaces(&interfaces));
    EXPECT_EQ(2u, interfaces.size());
}

TEST(MachineState, ShowsFaultsWithProfilesAndEveryCharacter)
{
    SetEnvironmentVariableW(L"WLANPROV_TESTBED_STATE", kMachine);
    ASSERT_EQ(0, ResetTestbedState(DefaultTestbedInterfaces()));
    ASSERT_EQ(0, WriteTestbedProfile(1, L"Caf\x00e9 \x65e5\x672c",
                                     L"<a><b>Caf\x00e9 \x65e5\x672c \xd83d\xdcf6</b></a>",
                                     {0x43, 0x61, 0x66, 0xC3, 0xA9}));
    ASSERT_EQ(0u, RunMachineState(L"fault WlanGetProfile 1 5").exitCode);
    ProcessResult show = RunMachineState(L"");
    ClearTestbedFaults();
    EXPECT_EQ(0u, show.exitCode);
    EXPECT_EQ(std::string("Emulated wireless machine \"vista_end_to_end_test\" "
                          "(HKLM\\Software\\WlanprovTestbed\\vista_end_to_end_test)\n"
                          "injected fault: WlanGetProfile#1 fails with 5\n"
                          "2 wireless interface(s)\n"
                          "interface 0: {5E1A0C01-7D3B-4C2A-9F10-3A6B2C000001} Emulated 802.11 "
                          "Wireless Adapter #1\n"
                          "  no profile\n"
                          "interface 1: {5E1A0C01-7D3B-4C2A-9F10-3A6B2C000002} Emulated 802.11 "
                          "Wireless Adapter #2\n"
                          "  profile \"Caf\xc3\xa9 \xe6\x97\xa5\xe6\x9c\xac\" (all users), "
                          "SSID 43 61 66 C3 A9\n"
                          "    <a>\n"
                          "      <b>Caf\xc3\xa9 \xe6\x97\xa5\xe6\x9c\xac \xf0\x9f\x93\xb6</b>\n"
                          "    </a>\n"),
              show.output);
}

} // namespace
