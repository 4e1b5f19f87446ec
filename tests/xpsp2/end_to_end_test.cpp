// wlanprov.exe as a separate process on the emulated XP SP2 and later platforms.
#include <gtest/gtest.h>

#include <cstring>

#include "test_support.h"
#include "trusted_root.h"
#include "xp_test_support.h"

namespace {

const wchar_t kMachine[] = L"xpsp2_end_to_end_test";
const wchar_t kPeapGtc[] = L"-add /SSID:Office /Authentication:WPA2 /Encryption:AES "
                           L"/KeyProvidedAutomatically:TRUE /IEEE8021xEnabled:TRUE /EAPType:PEAP "
                           L"/InnerAuthentication:GTC";
const std::string kAdded = "WZC_XP_SP2 :: WPA2 is supported\nWZC_XP_SP2 :: CreateProfile "
                           "succeeded\nWZC_XP_SP2 :: adding EAP Entry\n";
const std::string kSkipped = "WZC_XP_SP2 :: failed to open interfaces key: #\n";
const std::string kDuplicate =
    "WZC_XP_SP2 :: WPA2 is supported\nWZC_XP_SP2 :: ERROR!! CreateProfile failed : function "
    "return:0x80004005, status:27\nWZC_XP_SP2 :: ERROR!! CreateProfile failed : DUPLICATE SSID\n" +
    kSkipped;

ProcessResult RunIn(const std::wstring& folder, const std::wstring& arguments)
{
    return RunProcess(L"\"" + folder + L"\\wlanprov.exe\" " + arguments,
                      std::wstring(L"WLANPROV_TESTBED_STATE=") + kMachine);
}

std::wstring Platform(const wchar_t* name)
{
    return MachineDir() + L"\\platforms\\" + name;
}

TEST(XpSp2EndToEnd, AddAgainAndDeleteOnEveryXpSp2Build)
{
    RemoveTrustedRoots(L"Wlanprov XP E2E");
    TrustedRoot a(L"Wlanprov XP E2E A"), b(L"Wlanprov XP E2E B");
    uint8_t roots[2][20];
    memcpy(roots[0], a.Thumbprint(), 20);
    memcpy(roots[1], b.Thumbprint(), 20);
    const Bytes entry = Entry(EAPOL_LAYOUT_PEAP_GTC, "Office", {roots, 2, true, false, false});
    for (const auto& build :
         {std::make_pair(L"xpsp2", "170395780"), std::make_pair(L"xpsp3", "170399112"),
          std::make_pair(L"server2003", "248381440")}) {
        SCOPED_TRACE(build.second);
        UseXpMachine(kMachine, 2);
        const std::string head = std::string("Wavestead wlanprov ( Version 1.4 )\nmain :: WZC Dll "
                                             "Version : ") +
                                 build.second + "\nmain :: Windows XP SP2\n";
        ProcessResult add = RunIn(Platform(build.first),
                                  std::wstring(kPeapGtc) +
                                      L" /ValidateServerCert:TRUE /TrustRootCA:Wlanprov_XP_E2E_A "
                                      L"/TrustRootCA:Wlanprov_XP_E2E_B");
        EXPECT_EQ(0u, add.exitCode);
        EXPECT_EQ(0u, add.output.find(head)); // the echo's lines are the option grammar's
        EXPECT_EQ(kAdded + kAdded, AfterEcho(add.output));
        for (int i = 0; i < 2; ++i)
            EXPECT_TRUE(StoredSsids(i) == std::vector<std::string>{"Office"} &&
                        EapolValue(i, L"1") == entry)
                << i;

        ProcessResult again = RunIn(Platform(build.first), kPeapGtc);
        EXPECT_EQ(110u, again.exitCode);
        EXPECT_EQ(kDuplicate + kDuplicate, Normalised(AfterEcho(again.output)));

        ProcessResult remove = RunIn(Platform(build.first), L"-delete /SSID:Office");
        EXPECT_EQ(0u, remove.exitCode);
        EXPECT_EQ(head + "WZCRemoveProfile_XP_SP2 :: input parameter: SSID : Office\n"
                         "WZCRemoveProfile_XP_SP2 :: delete the entry Static#0000\n"
                         "WZCRemoveProfile_XP_SP2 :: delete the entry Static#0000\n",
                  remove.output);
        for (int i = 0; i < 2; ++i)
            EXPECT_TRUE(StoredSsids(i).empty() && EapolValue(i, L"1") == entry) << i;
    }
}

// One adapter refused (no WPA2, the network already stored, no provisioning service beside
// the program): it keeps the service's EAPOL header, the other gets the entry; the run ends
// with 110.
TEST(XpSp2EndToEnd, RefusedAdaptersKeepTheirEapolValues)
{
    std::wstring bare = std::wstring(_wgetenv(L"TEMP")) + L"\\wlanprov-xpsp2-bare";
    CreateDirectoryW(bare.c_str(), nullptr);
    for (const wchar_t* file : {L"\\wlanprov.exe", L"\\wzcsapi.dll"})
        CopyFileW((Platform(L"xpsp2") + file).c_str(), (bare + file).c_str(), FALSE);
    const std::string noClass = "WZC_XP_SP2 :: WPA2 is supported\nWZC_XP_SP2 :: ERROR!! "
                                "CoCreateInstance failed : 0x80040154\n" +
                                kSkipped;
    const struct {
        std::wstring folder;
        void (*arrange)();
        std::string lines;
        bool secondWritten;
    } cases[] = {
        {Platform(L"xpsp2"), [] { WriteXpCapabilities(0, 0x100); },
         "WZC_XP_SP2 :: ERROR!! WPA2 is not supported\nWZC_XP_SP2 :: CreateProfile succeeded\n" +
             kSkipped + kAdded,
         true},
        {Platform(L"xpsp2"), [] { WritePreferredList(Guid(0).c_str(), {NetworkRecord("Office")}); },
         kDuplicate + kAdded, true},
        {bare, [] {}, noClass + noClass, false},
    };
    for (const auto& c : cases) {
        UseXpMachine(kMachine, 2);
        c.arrange();
        ProcessResult add = RunIn(c.folder, kPeapGtc);
        EXPECT_EQ(110u, add.exitCode);
        EXPECT_EQ(c.lines, Normalised(AfterEcho(add.output)));
        EXPECT_NE(170u, EapolValue(0, L"1").size());
        EXPECT_EQ(c.secondWritten ? Entry(EAPOL_LAYOUT_PEAP_GTC, "Office") : Bytes(),
                  EapolValue(1, L"1"));
    }
    for (const wchar_t* file : {L"\\wlanprov.exe", L"\\wzcsapi.dll"})
        DeleteFileW((bare + file).c_str());
    RemoveDirectoryW(bare.c_str());
}

} // namespace
