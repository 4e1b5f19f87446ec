// wlanprov.exe as a separate process on the emulated XP SP2 and later platforms: the
// provisioning service stores the network on every adapter, the EAPOL entries carry this
// tool's settings, and -delete removes the stored networks with the wireless service stopped.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "test_support.h"
#include "trusted_root.h"
#include "xpsp2_test_support.h"

namespace {

const wchar_t kMachine[] = L"xpsp2_end_to_end_test";
const char kBanner[] = "Wavestead wlanprov ( Version 1.4 )\n";

ProcessResult RunWlanprov(const std::wstring& program, const std::wstring& arguments)
{
    return RunProcess(L"\"" + program + L"\" " + arguments,
                      std::wstring(L"WLANPROV_TESTBED_STATE=") + kMachine);
}

std::wstring Program(const wchar_t* platform)
{
    return MachineDir() + L"\\platforms\\" + platform + L"\\wlanprov.exe";
}

const wchar_t kPeapGtc[] = L"-add /SSID:Office /Authentication:WPA2 /Encryption:AES "
                           L"/KeyProvidedAutomatically:TRUE /IEEE8021xEnabled:TRUE /EAPType:PEAP "
                           L"/InnerAuthentication:GTC";

std::string Echo(const std::string& trustedRoots)
{
    return "WZC_XP_SP2 :: input parameter: SSID : Office\n"
           "WZC_XP_SP2 :: input parameter: AuthenticationMode : WPA2\n"
           "WZC_XP_SP2 :: input parameter: EncryptionType : AES\n"
           "WZC_XP_SP2 :: input parameter: NetworkKey : \n"
           "WZC_XP_SP2 :: input parameter: KeyIndex : 1\n"
           "WZC_XP_SP2 :: input parameter: keyProvidedAutomatically : 1\n"
           "WZC_XP_SP2 :: input parameter: IEEE8021xEnabled : 1\n"
           "WZC_XP_SP2 :: input parameter: EAPType : PEAP\n"
           "WZC_XP_SP2 :: input parameter: MACHINE_AUTH : 0\n"
           "WZC_XP_SP2 :: input parameter: GUEST_AUTH : 0\n"
           "WZC_XP_SP2 :: input parameter: InnerAuthenticaionMode : GTC\n"
           "WZC_XP_SP2 :: input parameter: UseWindowsLogonInfo : 0\n"
           "WZC_XP_SP2 :: input parameter: EnableFastReconnect : 0\n"
           "WZC_XP_SP2 :: input parameter: ValidateServerCert : " +
           std::string(trustedRoots.empty() ? "0" : "1") + "\n" + trustedRoots;
}

const std::string kAdded = "WZC_XP_SP2 :: WPA2 is supported\n"
                           "WZC_XP_SP2 :: CreateProfile succeeded\n"
                           "WZC_XP_SP2 :: adding EAP Entry\n";
const std::string kDuplicate =
    "WZC_XP_SP2 :: WPA2 is supported\n"
    "WZC_XP_SP2 :: ERROR!! CreateProfile failed : function return:0x80004005, status:27\n"
    "WZC_XP_SP2 :: ERROR!! CreateProfile failed : DUPLICATE SSID\n"
    "WZC_XP_SP2 :: failed to open interfaces key: #\n";

TEST(XpSp2EndToEnd, AddAgainAndDeleteOnEveryXpSp2Build)
{
    RemoveTrustedRoots(L"Wlanprov XP E2E");
    TrustedRoot a(L"Wlanprov XP E2E A"), b(L"Wlanprov XP E2E B");
    uint8_t roots[2][20];
    memcpy(roots[0], a.Thumbprint(), 20);
    memcpy(roots[1], b.Thumbprint(), 20);
    const Bytes entry = Entry(EAPOL_LAYOUT_PEAP_GTC, "Office", {roots, 2, true, false, false});
    ASSERT_EQ(218u, entry.size());
    const struct {
        const wchar_t* platform;
        const char* version;
    } builds[] = {{L"xpsp2", "170395780"}, {L"xpsp3", "170399112"}, {L"server2003", "248381440"}};
    for (const auto& build : builds) {
        SCOPED_TRACE(WideToUtf8(build.platform));
        UseXpMachine(kMachine, 2);
        const std::string head = std::string(kBanner) + "main :: WZC Dll Version : " +
                                 build.version + "\nmain :: Windows XP SP2\n";
        ProcessResult add = RunWlanprov(Program(build.platform),
                                std::wstring(kPeapGtc) + L" /ValidateServerCert:TRUE "
                                L"/TrustRootCA:Wlanprov_XP_E2E_A /TrustRootCA:Wlanprov_XP_E2E_B");
        EXPECT_EQ(0u, add.exitCode);
        EXPECT_EQ(head + Echo("WZC_XP_SP2 :: input parameter: TrustRootCA[0] : Wlanprov XP E2E A\n"
                              "WZC_XP_SP2 :: input parameter: TrustRootCA[1] : Wlanprov XP E2E B\n") +
                      kAdded + kAdded,
                  add.output);
        for (int i = 0; i < 2; ++i) {
            EXPECT_EQ(std::vector<std::string>{"Office"}, StoredSsids(i));
            EXPECT_EQ(entry, EapolValue(i, L"1"));
        }

        ProcessResult again = RunWlanprov(Program(build.platform), kPeapGtc);
        EXPECT_EQ(110u, again.exitCode);
        EXPECT_EQ(head + Echo("") + kDuplicate + kDuplicate, MaskLastErrors(again.output));

        ProcessResult remove = RunWlanprov(Program(build.platform), L"-delete /SSID:Office");
        EXPECT_EQ(0u, remove.exitCode);
        EXPECT_EQ(head + "WZCRemoveProfile_XP_SP2 :: input parameter: SSID : Office\n"
                         "WZCRemoveProfile_XP_SP2 :: delete the entry Static#0000\n"
                         "WZCRemoveProfile_XP_SP2 :: delete the entry Static#0000\n",
                  remove.output);
        for (int i = 0; i < 2; ++i) {
            EXPECT_TRUE(StoredSsids(i).empty());
            EXPECT_EQ(entry, EapolValue(i, L"1"));
        }
    }
}

// One adapter refused (no WPA2, or the network already stored): that adapter keeps the
// service's own EAPOL header, the other gets the full entry, and the run ends with 110.
TEST(XpSp2EndToEnd, OneAdapterRefusedTheOtherProvisioned)
{
    const struct {
        const char* name;
        void (*arrange)();
        std::string first;
    } cases[] = {
        {"capability word 0x100", [] { WriteXpCapabilities(0, 0x100); },
         "WZC_XP_SP2 :: ERROR!! WPA2 is not supported\n"
         "WZC_XP_SP2 :: CreateProfile succeeded\n"
         "WZC_XP_SP2 :: failed to open interfaces key: #\n"},
        {"network already on adapter 0",
         [] { WritePreferredList(AdapterGuid(0).c_str(), {NetworkRecord("Office")}); },
         kDuplicate},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        UseXpMachine(kMachine, 2);
        c.arrange();
        ProcessResult add = RunWlanprov(Program(L"xpsp2"), kPeapGtc);
        EXPECT_EQ(110u, add.exitCode);
        EXPECT_EQ(c.first + kAdded, MaskLastErrors(AfterEcho(add.output)));
        EXPECT_EQ(std::vector<std::string>{"Office"}, StoredSsids(0));
        EXPECT_EQ(std::vector<std::string>{"Office"}, StoredSsids(1));
        EXPECT_NE(170u, EapolValue(0, L"1").size());
        EXPECT_EQ(Entry(EAPOL_LAYOUT_PEAP_GTC, "Office", {nullptr, 0, false, false, false}),
                  EapolValue(1, L"1"));
    }
}

// Without the provisioning service beside the program its class cannot be created.
TEST(XpSp2EndToEnd, NoProvisioningServiceFailsEveryAdapter)
{
    UseXpMachine(kMachine, 2);
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(temp) + L"wlanprov-xpsp2-noprov";
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring source = MachineDir() + L"\\platforms\\xpsp2\\";
    for (const wchar_t* file : {L"wlanprov.exe", L"wzcsapi.dll"})
        ASSERT_TRUE(CopyFileW((source + file).c_str(), (folder + L"\\" + file).c_str(), FALSE));
    ProcessResult add = RunWlanprov(folder + L"\\wlanprov.exe", kPeapGtc);
    for (const wchar_t* file : {L"wlanprov.exe", L"wzcsapi.dll"})
        DeleteFileW((folder + L"\\" + file).c_str());
    RemoveDirectoryW(folder.c_str());
    EXPECT_EQ(110u, add.exitCode);
    const std::string adapter = "WZC_XP_SP2 :: WPA2 is supported\n"
                                "WZC_XP_SP2 :: ERROR!! CoCreateInstance failed : 0x80040154\n"
                                "WZC_XP_SP2 :: failed to open interfaces key: #\n";
    EXPECT_EQ(adapter + adapter, MaskLastErrors(AfterEcho(add.output)));
    EXPECT_TRUE(StoredSsids(0).empty());
    EXPECT_EQ(0u, EapolValueCount(1));
}

} // namespace
