// wlanprov.exe as a separate process on the emulated XP SP1 platforms, and the same command
// lines side by side on the three platform families.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "test_support.h"
#include "testbed_state.h"
#include "trusted_root.h"
#include "xp_test_support.h"

namespace {

const wchar_t kMachine[] = L"xpsp1_end_to_end_test";

// planted: run from the folder of planted libraries, which is also on the PATH.
ProcessResult RunOn(const wchar_t* platform, const std::wstring& arguments,
                    const std::wstring& machine = kMachine, bool planted = false)
{
    return RunProcess(L"\"" + MachineDir() + L"\\platforms\\" + platform + L"\\wlanprov.exe\" " +
                          arguments,
                      L"WLANPROV_TESTBED_STATE=" + machine +
                          (planted ? L"\n" + PlantedEnvironment() : L""),
                      nullptr, 60000, "", planted ? PlantedDir() : L"");
}

TEST(XpSp1EndToEnd, EveryXpSp1Build)
{
    RemoveTrustedRoots(L"Wlanprov SP1 E2E");
    TrustedRoot* roots[10];
    uint8_t thumbprints[10][20];
    std::wstring rootOptions;
    for (int i = 0; i < 10; ++i) {
        roots[i] = new TrustedRoot(L"Wlanprov SP1 E2E " + std::to_wstring(i));
        memcpy(thumbprints[i], roots[i]->Thumbprint(), 20);
        rootOptions += L" /TrustRootCA:Wlanprov_SP1_E2E_" + std::to_wstring(i);
    }
    Bytes entry = Entry(EAPOL_LAYOUT_PEAP_MSCHAPV2, "Corp", {thumbprints, 10, true, false, false});
    entry[0] = 3;
    for (const wchar_t* build : {L"xpsp1-1106", L"xpsp1-1181", L"xpsp1-1276"}) {
        SCOPED_TRACE(WideToUtf8(build));
        bool wpa = wcscmp(build, L"xpsp1-1106") != 0;
        UseXpMachine(kMachine, 2);
        EXPECT_EQ(0u, RunOn(build, L"-add /SSID:Wep /Authentication:Open /Encryption:WEP "
                                   L"/NetworkKey:0A0B0C0D0E")
                          .exitCode);
        ProcessResult corp = RunOn(build, L"-add /SSID:Corp /Authentication:WPA /Encryption:TKIP "
                                          L"/KeyProvidedAutomatically:TRUE /IEEE8021xEnabled:TRUE "
                                          L"/EAPType:PEAP /InnerAuthentication:MSCHAPv2 "
                                          L"/ValidateServerCert:TRUE" +
                                              rootOptions);
        EXPECT_EQ(wpa ? 0u : 50u, corp.exitCode);
        EXPECT_NE(std::string::npos,
                  corp.output.find(wpa ? "WPA is supported" : "WPA is not supported"));
        EXPECT_EQ(wpa ? 0u : 50u, RunOn(build, L"-add /SSID:Psk /Authentication:WPAPSK "
                                               L"/Encryption:TKIP /NetworkKey:secret12")
                                      .exitCode);
        for (int i = 0; i < 2; ++i) {
            EXPECT_EQ(wpa ? (std::vector<std::string>{"Psk", "Corp", "Wep"})
                          : std::vector<std::string>{"Wep"},
                      StoredSsids(i))
                << i;
            EXPECT_EQ(wpa ? entry : Bytes(), EapolValue(i, L"1")) << i;
        }
        EXPECT_EQ(wpa ? 0u : 232u, RunOn(build, L"-delete /SSID:Corp").exitCode);
        for (int i = 0; i < 2; ++i) {
            EXPECT_EQ(wpa ? (std::vector<std::string>{"Psk", "Wep"})
                          : std::vector<std::string>{"Wep"},
                      StoredSsids(i))
                << i;
            EXPECT_EQ(wpa ? entry : Bytes(), EapolValue(i, L"1")) << i;
        }
    }
    for (TrustedRoot* root : roots)
        delete root;
}

// The lines after the platform lines, without the echo, each cut to 60 characters.
std::vector<std::string> Shown(const std::string& output)
{
    std::vector<std::string> lines;
    size_t start = output.find('\n', output.find("main :: Windows")) + 1;
    for (size_t end; (end = output.find('\n', start)) != std::string::npos; start = end + 1) {
        std::string line = output.substr(start, end - start);
        if (line.find(" :: input parameter: ") == std::string::npos)
            lines.push_back(line.substr(0, 60));
    }
    return lines;
}

TEST(AllPlatforms, SameCommandLinesSideBySide)
{
    const wchar_t* platforms[] = {L"vista", L"xpsp2", L"xpsp1-1181"};
    const struct {
        const wchar_t* arguments;
        DWORD results[3];
    } cases[] = {
        {L"-add /SSID:Cafe /Authentication:WPAPSK /Encryption:TKIP /NetworkKey:password1",
         {0, 0, 0}},
        {L"-add /SSID:Cafe /Authentication:WPAPSK /Encryption:TKIP /NetworkKey:password1",
         {0, 110, 0}},
        {L"-add /SSID:Open /Authentication:open /Encryption:none", {0, 13, 13}},
        {L"-add /SSID:Corp /Authentication:WPA2 /Encryption:AES /EAPType:PEAP "
         L"/InnerAuthentication:GTC",
         {0, 13, 13}},
        {L"-add /Authentication:WPA", {13, 13, 13}},
        {L"-delete /SSID:Cafe", {0, 0, 0}},
        {L"-delete /SSID:Cafe", {1168, 13, 232}},
    };
    // A machine of its own for each platform: the XP ones would otherwise share adapters.
    std::wstring machines[3];
    for (int p = 0; p < 3; ++p) {
        machines[p] = std::wstring(L"side_by_side_") + platforms[p];
        UseXpMachine(machines[p].c_str(), 2);
        ASSERT_EQ(0, ResetTestbedState(DefaultTestbedInterfaces()));
    }
    for (const auto& c : cases) {
        std::vector<std::string> columns[3];
        for (int p = 0; p < 3; ++p) {
            ProcessResult run = RunOn(platforms[p], c.arguments, machines[p]);
            EXPECT_EQ(c.results[p], run.exitCode)
                << WideToUtf8(platforms[p]) << " " << WideToUtf8(c.arguments);
            columns[p] = Shown(run.output);
            columns[p].push_back("exit code " + std::to_string(run.exitCode));
        }
        printf("\n%s\n%-60s | %-60s | %s\n", WideToUtf8(c.arguments).c_str(), "vista", "xpsp2",
               "xpsp1-1181");
        for (size_t row = 0;
             row < std::max({columns[0].size(), columns[1].size(), columns[2].size()}); ++row) {
            for (int p = 0; p < 3; ++p)
                printf(p < 2 ? "%-60s | " : "%s\n",
                       row < columns[p].size() ? columns[p][row].c_str() : "");
        }
    }
}

// A wzcsapi.dll, wlanapi.dll and methodres.dll in the current directory and on the PATH change
// nothing: none of them is loaded, on a platform that has the library beside the program or
// one that lacks it.
TEST(AllPlatforms, PlantedLibrariesAreNeverLoaded)
{
    SetEnvironmentVariableW(L"TESTBED_LOAD_MARKERS", MarkerDir().c_str());
    HMODULE control = LoadLibraryW((PlantedDir() + L"\\wzcsapi.dll").c_str());
    FreeLibrary(control);
    ASSERT_EQ(std::vector<std::wstring>{L"wzcsapi.dll.loaded"}, LoadMarkers())
        << "the marker is live";
    ClearMarkers();
    for (const wchar_t* platform : {L"vista", L"xpsp1-1181"}) {
        std::wstring machine = std::wstring(L"planted_") + platform;
        std::string outputs[2];
        for (bool planted : {false, true}) {
            UseXpMachine(machine.c_str(), 2);
            ASSERT_EQ(0, ResetTestbedState(DefaultTestbedInterfaces()));
            ProcessResult run = RunOn(platform,
                                      L"-add /SSID:Cafe /Authentication:WPAPSK "
                                      L"/Encryption:TKIP /NetworkKey:password1",
                                      machine, planted);
            EXPECT_EQ(0u, run.exitCode) << run.output;
            outputs[planted] = run.output;
        }
        EXPECT_EQ(outputs[0], outputs[1]);
    }
    EXPECT_TRUE(LoadMarkers().empty());
}

} // namespace
