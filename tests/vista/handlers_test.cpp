#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_support.h"
#include "testbed_state.h"
#include "vista_test_support.h"

namespace {

const wchar_t kMachine[] = L"vista_handlers_test";

const std::string kEcho = "WZC_Vista :: input parameter: SSID : Office\n"
                          "WZC_Vista :: input parameter: AuthenticationMode : WPA2PSK\n"
                          "WZC_Vista :: input parameter: EncryptionType : AES\n"
                          "WZC_Vista :: input parameter: NetworkKey : secret12\n"
                          "WZC_Vista :: input parameter: KeyIndex : 1\n"
                          "WZC_Vista :: input parameter: EAPType : \n"
                          "WZC_Vista :: input parameter: InnerAuthenticaionMode : \n"
                          "WZC_Vista :: input parameter: UseWindowsLogonInfo : 0\n"
                          "WZC_Vista :: input parameter: EnableFastReconnect : 0\n"
                          "WZC_Vista :: input parameter: ValidateServerCert : 0\n";
const std::vector<std::string> kPskOptions = {"/SSID:Office", "/Authentication:WPA2PSK",
                                              "/Encryption:AES", "/NetworkKey:secret12"};

class VistaHandlers : public ::testing::Test {
protected:
    void SetUp() override { UseMachine(kMachine, Interfaces(2)); }
    void TearDown() override
    {
        EXPECT_EQ(0u, OpenWlanHandles());
        EXPECT_EQ(0u, LiveWlanBlocks());
        ClearTestbedFaults();
    }
};

struct RuleCase {
    std::vector<std::string> options;
    const char* line;
};

std::vector<std::string> Plus(std::vector<std::string> options, const std::string& option)
{
    options.push_back(option);
    return options;
}

TEST_F(VistaHandlers, BrokenRulesPrintOneLineAndWriteNothing)
{
    const std::vector<std::string> sae = {"/SSID:N", "/Authentication:WPA3SAE", "/Encryption:AES",
                                          "/NetworkKey:abcdefgh"};
    const std::vector<std::string> owe = {"/SSID:N", "/Authentication:OWE", "/Encryption:AES"};
    const std::vector<std::string> ent = {"/SSID:N", "/Authentication:WPA3ENT", "/Encryption:AES"};
    const RuleCase cases[] = {
        {{}, "WZC_Vista :: [SSID] must be set\n"},
        {{"/Authentication:WPA2"}, "WZC_Vista :: [SSID] must be set\n"},
        {{"/SSID:N", "/Authentication:WPA2", "/Encryption:AES", "/NetworkKey:abcdefgh"},
         "WZC_Vista :: [NetworkKey] should not be set\n"},
        {{"/SSID:N", "/Authentication:WPA2PSK", "/Encryption:AES"},
         "WZC_Vista :: [NetworkKey] must be set\n"},
        {{"/SSID:N", "/Authentication:open", "/Encryption:AES"},
         "WZC_Vista :: [Encryptiontype] : invalid input\n"},
        {{"/SSID:N", "/Authentication:WPA", "/Encryption:WEP"},
         "WZC_Vista :: [Encryptiontype] : invalid input\n"},
        {{"/SSID:N"}, "WZC_Vista :: [Encryptiontype] : invalid input\n"},
        {{"/SSID:N", "/Authentication:open"}, "WZC_Vista :: [Encryptiontype] : invalid input\n"},
        {{"/SSID:N", "/Authentication:open", "/Encryption:none", "/NetworkKey:abc"},
         "WZC_Vista :: [NetworkKey] should not be set\n"},
        {{"/SSID:N", "/Authentication:open", "/Encryption:WEP", "/NetworkKey:abcdef"},
         "WZC_Vista :: [NetworkKey] : invalid input\n"},
        {{"/SSID:N", "/Authentication:shared", "/Encryption:WEP"},
         "WZC_Vista :: [NetworkKey] : invalid input\n"},
        {{"/SSID:N", "/Authentication:WPA2PSK", "/Encryption:AES", "/NetworkKey:abcdefg"},
         "WZC_Vista :: [NetworkKey] : invalid input\n"},
        {{"/SSID:N", "/Authentication:open", "/Encryption:none", "/EAPType:PEAP"},
         "WZC_Vista :: the element [InnerAuthenticationMethod] should be set\n"},
        {{"/SSID:N", "/Authentication:WPA2", "/Encryption:AES", "/EAPType:EAP-TLS",
          "/InnerAuthentication:GTC"},
         "WZC_Vista :: the element [InnerAuthenticationMethod] should not be set\n"},
        {{"/SSID:N", "/Authentication:WPA2", "/Encryption:AES", "/EAPType:EAP-TLS",
          "/UseWindowsLogonInfo:TRUE"},
         "WZC_Vista :: the element [UseWindowsLogonInfo] should not be set\n"},
        {{"/SSID:N", "/Authentication:WPA2", "/Encryption:AES", "/EAPType:EAP-TLS",
          "/EnableFastReconnect:TRUE"},
         "WZC_Vista :: the element [EnableFastReconnect] should not be set\n"},
        {{"/SSID:N", "/Authentication:open", "/Encryption:none", "/InnerAuthentication:GTC"},
         "WZC_Vista :: the element [EAPType] should be set to PEAP\n"},
        {{"/SSID:N", "/Authentication:WPA2", "/Encryption:AES", "/EAPType:PEAP",
          "/InnerAuthentication:GTC", "/UseWindowsLogonInfo:TRUE"},
         "WZC_Vista :: the element [InnerAuthenticationMethod] should be set to MSCHAPv2\n"},
        {{"/SSID:N", "/Authentication:open", "/Encryption:none", "/EnableFastReconnect:TRUE"},
         "WZC_Vista :: the element [EAPType] should be set to PEAP\n"},
        {{"/SSID:N", "/Authentication:WPA2", "/Encryption:AES", "/EAPType:PEAP",
          "/InnerAuthentication:GTC", "/TrustRootCA:Some_Root"},
         "WZC_Vista :: [ValidateServerCert] is not set.\n"},
        {{"/SSID:N", "/Authentication:WPA", "/Encryption:TKIP"},
         "WZC_Vista :: the element [EAPType] should be set\n"},
        {{"/SSID:N", "/authentication:WPA"}, "WZC_Vista :: invalid input\n"},
        // WPA3 and Enhanced Open.
        {Plus(owe, "/NetworkKey:abcdefgh"), "WZC_Vista :: [NetworkKey] should not be set\n"},
        {Plus(ent, "/NetworkKey:abcdefgh"), "WZC_Vista :: [NetworkKey] should not be set\n"},
        {{"/SSID:N", "/Authentication:WPA3SAE", "/Encryption:AES"},
         "WZC_Vista :: [NetworkKey] must be set\n"},
        {{"/SSID:N", "/Authentication:WPA3SAE", "/Encryption:TKIP", "/NetworkKey:abcdefgh"},
         "WZC_Vista :: [Encryptiontype] : invalid input\n"},
        {{"/SSID:N", "/Authentication:WPA3ENT192", "/Encryption:AES", "/EAPType:EAP-TLS"},
         "WZC_Vista :: [Encryptiontype] : invalid input\n"},
        {{"/SSID:N", "/Authentication:WPA2", "/Encryption:GCMP256", "/EAPType:EAP-TLS"},
         "WZC_Vista :: [Encryptiontype] : invalid input\n"},
        {{"/SSID:N", "/Authentication:OWE", "/Encryption:GCMP256"},
         "WZC_Vista :: [Encryptiontype] : invalid input\n"},
        {{"/SSID:N", "/Authentication:open", "/Encryption:GCMP256"},
         "WZC_Vista :: [Encryptiontype] : invalid input\n"},
        {Plus(sae, "/NetworkKey:abcdefg"), "WZC_Vista :: [NetworkKey] : invalid input\n"},
        {Plus(sae, "/NetworkKey:" + std::string(64, 'a')),
         "WZC_Vista :: [NetworkKey] : invalid input\n"},
        {Plus(owe, "/EAPType:EAP-TLS"), "WZC_Vista :: the element [EAPType] should not be set\n"},
        {Plus(sae, "/InnerAuthentication:GTC"),
         "WZC_Vista :: the element [InnerAuthenticationMethod] should not be set\n"},
        {Plus(owe, "/UseWindowsLogonInfo:TRUE"),
         "WZC_Vista :: the element [UseWindowsLogonInfo] should not be set\n"},
        {Plus(sae, "/EnableFastReconnect:TRUE"),
         "WZC_Vista :: the element [EnableFastReconnect] should not be set\n"},
        {Plus(owe, "/ValidateServerCert:TRUE"),
         "WZC_Vista :: the element [ValidateServerCert] should not be set\n"},
        {Plus(sae, "/TrustRootCA:Root"),
         "WZC_Vista :: the element [TrustRootCA] should not be set\n"},
        {ent, "WZC_Vista :: the element [EAPType] should be set\n"},
        {{"/SSID:N", "/Authentication:WPA3ENT192", "/Encryption:GCMP256", "/EAPType:PEAP",
          "/InnerAuthentication:GTC"},
         "WZC_Vista :: the element [EAPType] should be set to EAP-TLS\n"},
    };
    for (const RuleCase& c : cases) {
        SCOPED_TRACE(c.line);
        HandlerRun run = RunAdd(c.options);
        EXPECT_EQ(13u, run.result);
        EXPECT_EQ(c.line, run.output);
    }
    EXPECT_TRUE(ReadBackProfiles(0).empty());
    EXPECT_TRUE(ReadBackProfiles(1).empty());
}

struct KindCase {
    const char* name;
    std::vector<std::string> options;
    std::wstring profileName;
    std::wstring document;
};

TEST_F(VistaHandlers, EveryKindIsStoredOnEveryInterface)
{
    const std::wstring phrase63 =
        L"0123456789abcdef0123456789abcdef0123456789abcdef0123456789ABCDE";
    const KindCase cases[] = {
        {"WEP, key index 4",
         {"/SSID:Lab", "/Authentication:shared", "/Encryption:WEP", "/NetworkKey:0123456789",
          "/KeyIndex:4"},
         L"Lab",
         Document(L"Lab", L"shared", L"WEP", L"false",
                  SharedKey(L"networkKey", L"0123456789") + L"<keyIndex>3</keyIndex>")},
        {"open, no key",
         {"/SSID:Lobby", "/Authentication:open", "/Encryption:none"},
         L"Lobby",
         Document(L"Lobby", L"open", L"none", L"false", L"")},
        {"63-character pass phrase",
         {"/SSID:Home", "/Authentication:WPA2PSK", "/Encryption:TKIP",
          "/NetworkKey:" + WideToUtf8(phrase63)},
         L"Home",
         Document(L"Home", L"WPA2PSK", L"TKIP", L"false", SharedKey(L"passPhrase", phrase63))},
        {"escaped values",
         {"/SSID:R&D <lab>", "/Authentication:WPAPSK", "/Encryption:AES", "/NetworkKey:it's\"&<>"},
         L"R&D <lab>",
         Document(L"R&amp;D &lt;lab&gt;", L"WPAPSK", L"AES", L"false",
                  SharedKey(L"passPhrase", L"it&apos;s&quot;&amp;&lt;&gt;"))},
        {"EAP-TLS",
         {"/SSID:Corp", "/Authentication:WPA", "/Encryption:TKIP", "/EAPType:EAP-TLS"},
         L"Corp",
         Document(L"Corp", L"WPA", L"TKIP", L"true",
                  OneX(13, L"020000002A00000017000000" + std::wstring(60, L'0')))},
        {"PEAP MSCHAPv2, logon, fast reconnect",
         {"/SSID:Office", "/Authentication:WPA2", "/Encryption:AES", "/EAPType:PEAP",
          "/InnerAuthentication:MSCHAPv2", "/UseWindowsLogonInfo:TRUE",
          "/EnableFastReconnect:TRUE"},
         L"Office",
         Document(
             L"Office", L"WPA2", L"AES", L"true",
             OneX(
                 25,
                 L"010000003E000000010000000100000001000000150000001700000000000000000001000000170000001A00000001000000020000000000000000000000"))},
    };
    for (const KindCase& c : cases) {
        SCOPED_TRACE(c.name);
        UseMachine(kMachine, Interfaces(2));
        HandlerRun run = RunAdd(c.options);
        EXPECT_EQ(0u, run.result);
        EXPECT_EQ("The WLAN API version is 2.0\n"
                  "WZC_Vista :: WlanSetProfile succeeded\n"
                  "WZC_Vista :: WlanSetProfile succeeded\n",
                  AfterEcho(run.output));
        for (int i = 0; i < 2; ++i) {
            std::vector<TestbedProfile> profiles = ReadBackProfiles(i);
            ASSERT_EQ(1u, profiles.size());
            EXPECT_EQ(c.profileName, profiles[0].name);
            EXPECT_EQ(c.document, profiles[0].document);
            // The state keeps the SSID's bytes: an ASCII name's own.
            ASSERT_EQ(0, ReadTestbedProfiles(i, &profiles));
            EXPECT_EQ(std::vector<uint8_t>(c.profileName.begin(), c.profileName.end()),
                      profiles[0].ssid);
        }
    }
}

TEST_F(VistaHandlers, SharedWithoutEncryptionIsSentWithoutKeyAndRefusedByThePlatform)
{
    HandlerRun run = RunAdd({"/SSID:Old", "/Authentication:shared", "/Encryption:none",
                             "/NetworkKey:abcde", "/DebugLog:TRUE"});
    EXPECT_EQ(1206u, run.result);
    std::wstring sent = Document(L"Old", L"shared", L"none", L"false", L"");
    EXPECT_NE(std::string::npos, run.output.find("pwcXMLTemplate : " + WideToUtf8(sent) + "\n"));
    const std::string refusal =
        "WZC_Vista :: ERROR!! WlanSetProfile failed and returned code [1206]\n"
        "WZC_Vista :: The specified profile is not valid\n"
        "WZC_Vista :: Reason : The authentication and encryption pair is not valid.\n";
    EXPECT_NE(std::string::npos,
              run.output.find(refusal + refusal + "WZC_Vista :: returning 1206\n"));
}

TEST_F(VistaHandlers, DebugLogShowsInterfacesSizeAndDocument)
{
    HandlerRun run = RunAdd(
        {"/SSID:Lobby", "/Authentication:open", "/Encryption:none", "/DebugLog:TRUE"});
    EXPECT_EQ(0u, run.result);
    std::string document = WideToUtf8(Document(L"Lobby", L"open", L"none", L"false", L""));
    EXPECT_EQ("The WLAN API version is 2.0\n"
              "WZC_Vista :: NumAdapters=2\n"
              "WZC_Vista :: Interface [0] : \n"
              "WZC_Vista :: GUID : 5e1a0c01-7d3b-4c2a-9f10-3a6b2c000040\n"
              "WZC_Vista :: Description: Test adapter 0\n"
              "WZC_Vista :: Interface [1] : \n"
              "WZC_Vista :: GUID : 5e1a0c01-7d3b-4c2a-9f10-3a6b2c000041\n"
              "WZC_Vista :: Description: Test adapter 1\n"
              "WZC_Vista :: allocated 822 bytes for pwcXMLTemplate\n"
              "WZC_Vista :: pwcXMLTemplate : " +
                  document +
                  "\n"
                  "WZC_Vista :: WlanSetProfile succeeded\n"
                  "WZC_Vista :: WlanSetProfile succeeded\n"
                  "WZC_Vista :: returning 0\n",
              AfterEcho(run.output));
}

TEST_F(VistaHandlers, NoInterfaceSubmitsNothing)
{
    UseMachine(kMachine, {});
    HandlerRun run = RunAdd(kPskOptions);
    EXPECT_EQ(232u, run.result);
    EXPECT_EQ(kEcho + "The WLAN API version is 2.0\n", run.output);
    run = RunAdd({"/SSID:Office", "/DebugLog:TRUE", "/Authentication:open", "/Encryption:none"});
    EXPECT_EQ(232u, run.result);
    EXPECT_EQ(
        "The WLAN API version is 2.0\nWZC_Vista :: NumAdapters=0\nWZC_Vista :: returning 232\n",
        AfterEcho(run.output));
}

struct FaultCase {
    const char* name;
    const wchar_t* call;
    int interfaceIndex;
    DWORD code;
    DWORD result;
    std::string lines; // after the echo
    bool storedOn[2];
};

TEST_F(VistaHandlers, PlatformFailuresOfAdd)
{
    const std::string ok = "WZC_Vista :: WlanSetProfile succeeded\n";
    const std::string version = "The WLAN API version is 2.0\n";
    const FaultCase cases[] = {
        {"open fails", L"WlanOpenHandle", -1, 5, 5, "", {false, false}},
        {"enumeration fails", L"WlanEnumInterfaces", -1, 8, 8, version, {false, false}},
        {"first interface refuses the profile",
         L"WlanSetProfile",
         0,
         1206,
         1206,
         version +
             "WZC_Vista :: ERROR!! WlanSetProfile failed and returned code [1206]\n"
             "WZC_Vista :: The specified profile is not valid\n"
             "WZC_Vista :: Reason : An unknown error occurred.\n" +
             ok,
         {false, true}},
        {"last interface fails",
         L"WlanSetProfile",
         1,
         5,
         5,
         version + ok + "WZC_Vista :: ERROR!! WlanSetProfile failed and returned code [5]\n",
         {true, false}},
        {"reason text unavailable",
         L"WlanReasonCodeToString",
         -1,
         87,
         0,
         version + ok + ok,
         {true, true}},
    };
    for (const FaultCase& c : cases) {
        SCOPED_TRACE(c.name);
        UseMachine(kMachine, Interfaces(2));
        ASSERT_EQ(0, SetTestbedFault(c.call, c.interfaceIndex, c.code));
        HandlerRun run = RunAdd(kPskOptions);
        ClearTestbedFaults();
        EXPECT_EQ(c.result, run.result);
        EXPECT_EQ(kEcho + c.lines, run.output);
        for (int i = 0; i < 2; ++i)
            EXPECT_EQ(c.storedOn[i] ? 1u : 0u, ReadBackProfiles(i).size());
        EXPECT_EQ(0u, OpenWlanHandles());
        EXPECT_EQ(0u, LiveWlanBlocks());
    }
}

TEST_F(VistaHandlers, ReasonCodeShownAsNumberWhenItsTextCannotBeHad)
{
    ASSERT_EQ(0, SetTestbedFault(L"WlanSetProfile", -1, 1206));
    ASSERT_EQ(0, SetTestbedFault(L"WlanReasonCodeToString", -1, 87));
    HandlerRun run = RunAdd(kPskOptions);
    EXPECT_EQ(1206u, run.result);
    const std::string refusal =
        "WZC_Vista :: ERROR!! WlanSetProfile failed and returned code [1206]\n"
        "WZC_Vista :: The specified profile is not valid\n"
        "WZC_Vista :: Reason code: 65537\n";
    EXPECT_EQ("The WLAN API version is 2.0\n" + refusal + refusal, AfterEcho(run.output));
}

TEST_F(VistaHandlers, AddReplacesAProfileOfTheSameName)
{
    ASSERT_EQ(0u, RunAdd(kPskOptions).result);
    ASSERT_EQ(0u, RunAdd({"/SSID:Office", "/Authentication:WPAPSK", "/Encryption:TKIP",
                          "/NetworkKey:another1"})
                      .result);
    std::vector<TestbedProfile> profiles = ReadBackProfiles(1);
    ASSERT_EQ(1u, profiles.size());
    EXPECT_EQ(Document(L"Office", L"WPAPSK", L"TKIP", L"false",
                       SharedKey(L"passPhrase", L"another1")),
              profiles[0].document);
}

struct DeleteCase {
    const char* name;
    std::vector<std::string> options;
    bool presentOn[2];
    const wchar_t* call;
    int interfaceIndex;
    DWORD code;
    DWORD result;
    std::string output;
    bool leftOn[2];
    int interfaces = 2;
};

TEST_F(VistaHandlers, DeleteOutcomes)
{
    const std::string echo = "WZCRemoveProfile_Vista :: input parameter: SSID : Office\n";
    const std::string version = "The WLAN API version is 2.0\n";
    const std::string deleted = "WZCRemoveProfile_Vista :: the profile is deleted successfully\n";
    const std::string absent =
        "WZCRemoveProfile_Vista :: ERROR!! profile removal failed and return error [1168]\n";
    const DeleteCase cases[] = {
        {"on both",
         {"/SSID:Office"},
         {true, true},
         nullptr,
         0,
         0,
         0,
         echo + version + deleted + deleted,
         {false, false}},
        {"never added",
         {"/SSID:Office"},
         {false, false},
         nullptr,
         0,
         0,
         1168,
         echo + version + absent + absent,
         {false, false}},
        {"only on the second",
         {"/SSID:Office"},
         {false, true},
         nullptr,
         0,
         0,
         0,
         echo + version + absent + deleted,
         {false, false}},
        {"only on the first",
         {"/SSID:Office"},
         {true, false},
         nullptr,
         0,
         0,
         1168,
         echo + version + deleted + absent,
         {false, false}},
        {"the whole name, blank included",
         {"/SSID:Office Annex"},
         {true, true},
         nullptr,
         0,
         0,
         1168,
         "WZCRemoveProfile_Vista :: input parameter: SSID : Office Annex\n" + version + absent +
             absent,
         {true, true}},
        {"debug log",
         {"/SSID:Office", "/DebugLog:TRUE"},
         {true, true},
         nullptr,
         0,
         0,
         0,
         echo + version + "WZCRemoveProfile_Vista :: Adapter: Test adapter 0\n" + deleted +
             "WZCRemoveProfile_Vista :: Adapter: Test adapter 1\n" + deleted +
             "WZCRemoveProfile_Vista :: returning 0\n",
         {false, false}},
        {"removal fails on the first",
         {"/SSID:Office"},
         {true, true},
         L"WlanDeleteProfile",
         0,
         5,
         5,
         echo + version +
             "WZCRemoveProfile_Vista :: ERROR!! profile removal failed and return "
             "error [5]\n" +
             deleted,
         {true, false}},
        {"absent from the first, fails on the second",
         {"/SSID:Office"},
         {false, true},
         L"WlanDeleteProfile",
         1,
         5,
         5,
         echo + version + absent +
             "WZCRemoveProfile_Vista :: ERROR!! profile removal failed "
             "and return error [5]\n",
         {false, true}},
        {"open fails",
         {"/SSID:Office"},
         {true, true},
         L"WlanOpenHandle",
         -1,
         1062,
         1062,
         echo,
         {true, true}},
        {"enumeration fails",
         {"/SSID:Office"},
         {true, true},
         L"WlanEnumInterfaces",
         -1,
         8,
         8,
         echo + version,
         {true, true}},
        {"no SSID",
         {"/DebugLog:FALSE"},
         {true, true},
         nullptr,
         0,
         0,
         13,
         "WZCRemoveProfile_Vista :: [SSID] must be set\n",
         {true, true}},
        {"empty SSID",
         {"/SSID:"},
         {true, true},
         nullptr,
         0,
         0,
         13,
         "WZCRemoveProfile_Vista :: [SSID] : invalid input\n",
         {true, true}},
        {"other option",
         {"/SSID:Office", "/Authentication:open"},
         {true, true},
         nullptr,
         0,
         0,
         13,
         "WZCRemoveProfile_Vista :: invalid input\n",
         {true, true}},
        {"no interface", {"/SSID:Office"}, {}, nullptr, 0, 0, 232, echo + version, {}, 0},
    };
    for (const DeleteCase& c : cases) {
        SCOPED_TRACE(c.name);
        UseMachine(kMachine, Interfaces(c.interfaces));
        for (int i = 0; i < c.interfaces; ++i) {
            if (c.presentOn[i]) {
                ASSERT_EQ(0, WriteTestbedProfile(i, L"Office", L"<stored/>"));
            }
        }
        if (c.call) {
            ASSERT_EQ(0, SetTestbedFault(c.call, c.interfaceIndex, c.code));
        }
        HandlerRun run = RunDelete(c.options);
        ClearTestbedFaults();
        EXPECT_EQ(c.result, run.result);
        EXPECT_EQ(c.output, run.output);
        for (int i = 0; i < c.interfaces; ++i)
            EXPECT_EQ(c.leftOn[i] ? 1u : 0u, ReadBackProfiles(i).size());
        EXPECT_EQ(0u, OpenWlanHandles());
        EXPECT_EQ(0u, LiveWlanBlocks());
    }
}

} // namespace
