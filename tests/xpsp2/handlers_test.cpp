// WZC_XP_SP2 and WZCRemoveProfile_XP_SP2 in-process against the emulated XP SP2 client
// library, provisioning service and wireless service.
#include <gtest/gtest.h>

#include <objbase.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "globals.h"
#include "handler_run.h"
#include "handlers.h"
#include "test_support.h"
#include "trusted_root.h"
#include "wzc_query_binding.h"
#include "xpsp2_test_support.h"

namespace {

const wchar_t kMachine[] = L"xpsp2_handlers_test";

HandlerRun RunAdd(const std::vector<std::string>& options)
{
    return RunHandler(WZC_XP_SP2, "-add", options);
}

HandlerRun RunDelete(const std::vector<std::string>& options)
{
    return RunHandler(WZCRemoveProfile_XP_SP2, "-delete", options);
}

std::vector<std::string> With(std::vector<std::string> options, const std::vector<std::string>& more)
{
    options.insert(options.end(), more.begin(), more.end());
    return options;
}

// 802.1X on WPA2 with AES, the options every 802.1X case starts from.
const std::vector<std::string> kOneX = {"/SSID:Office", "/Authentication:WPA2", "/Encryption:AES",
                                        "/KeyProvidedAutomatically:TRUE",
                                        "/IEEE8021xEnabled:TRUE"};

const std::vector<std::string> kPeap = With(kOneX, {"/EAPType:PEAP", "/InnerAuthentication:GTC"});

// A platform folder's wzcsapi.dll as the library of this process (the provisioning server
// beside it too), held loaded so that its count of blocks handed out outlives each handler's
// own load and release.
class HeldLibrary {
public:
    explicit HeldLibrary(const wchar_t* platform)
    {
        SetDllDirectoryW((MachineDir() + L"\\platforms\\" + platform).c_str());
        library_ = LoadLibraryW(L"wzcsapi.dll");
        EXPECT_NE(nullptr, library_);
    }
    ~HeldLibrary()
    {
        if (library_)
            FreeLibrary(library_);
        SetDllDirectoryW(nullptr);
    }
    DWORD LiveBlocks() const
    {
        auto count = reinterpret_cast<DWORD(WINAPI*)()>(
            reinterpret_cast<void*>(GetProcAddress(library_, "TestbedLiveBlocks")));
        return count ? count() : 0xdeadbeef;
    }

private:
    HMODULE library_ = nullptr;
};

class XpSp2Handlers : public ::testing::Test {
protected:
    void SetUp() override
    {
        UseXpMachine(kMachine, 2);
        Use(L"xpsp2");
    }
    void TearDown() override
    {
        EXPECT_EQ(0u, library_->LiveBlocks());
        ClearXpFaults();
        library_.reset();
    }
    void Use(const wchar_t* platform)
    {
        library_.reset();
        library_.reset(new HeldLibrary(platform));
    }
    std::unique_ptr<HeldLibrary> library_;
};

struct RuleCase {
    std::vector<std::string> options;
    const char* line;
};

TEST_F(XpSp2Handlers, BrokenRulesPrintOneLineAndWriteNothing)
{
    const std::vector<std::string> n = {"/SSID:N"};
    const std::vector<std::string> oneX = {"/SSID:N", "/Authentication:WPA", "/Encryption:TKIP",
                                           "/KeyProvidedAutomatically:TRUE",
                                           "/IEEE8021xEnabled:TRUE"};
    const std::vector<std::string> open = {"/SSID:N", "/Authentication:Open", "/Encryption:None"};
    const RuleCase cases[] = {
        {{}, "WZC_XP_SP2 :: [SSID] must be set\n"},
        {With(n, {"/Authentication:WPA", "/NetworkKey:abcdefgh"}),
         "WZC_XP_SP2 :: [NetworkKey] should not be set\n"},
        {With(n, {"/Authentication:WPA", "/Encryption:AES"}),
         "WZC_XP_SP2 :: [keyProvidedAutomatically] must be set to TRUE\n"},
        {With(n, {"/Authentication:WPA2", "/KeyProvidedAutomatically:TRUE"}),
         "WZC_XP_SP2 :: [IEEE8021xEnabled] must be set to TRUE\n"},
        {With(n, {"/Authentication:WPAPSK", "/KeyProvidedAutomatically:TRUE"}),
         "WZC_XP_SP2 :: [keyProvidedAutomatically] must be set to FALSE\n"},
        {With(n, {"/Authentication:WPA2PSK", "/IEEE8021xEnabled:TRUE"}),
         "WZC_XP_SP2 :: [IEEE8021xEnabled] must be set to FALSE\n"},
        {With(n, {"/Authentication:WPAPSK", "/Encryption:TKIP"}),
         "WZC_XP_SP2 :: [NetworkKey] must be set\n"},
        {With(n, {"/Authentication:Open", "/Encryption:AES"}),
         "WZC_XP_SP2 :: [Encryptiontype] : invalid input\n"},
        {With(oneX, {"/Encryption:WEP"}), "WZC_XP_SP2 :: [Encryptiontype] : invalid input\n"},
        {With(n, {"/Authentication:Shared"}), "WZC_XP_SP2 :: [Encryptiontype] : invalid input\n"},
        {With(open, {"/NetworkKey:abc"}), "WZC_XP_SP2 :: [NetworkKey] should not be set\n"},
        {With(n, {"/Authentication:Open", "/Encryption:WEP", "/NetworkKey:abcdefghijkl"}),
         "WZC_XP_SP2 :: [NetworkKey] : invalid input\n"},
        {With(n, {"/Authentication:WPAPSK", "/Encryption:TKIP", "/NetworkKey:abcdefg"}),
         "WZC_XP_SP2 :: [NetworkKey] : invalid input\n"},
        {With(n, {"/Authentication:Shared", "/Encryption:None", "/IEEE8021xEnabled:TRUE"}),
         "WZC_XP_SP2 ::  [IEEE8021xEnabled] must set to FALSE because data encryption is disabled\n"},
        {With(open, {"/EAPType:PEAP"}), "WZC_XP_SP2 :: the element [EAPType] should not be set "
                                        "because IEEE8021x is disabled\n"},
        {With(open, {"/MACHINE_AUTH:TRUE"}), "WZC_XP_SP2 :: the element [MACHINE_AUTH] should not "
                                             "be set because IEEE8021x is disabled\n"},
        {With(open, {"/GUEST_AUTH:TRUE"}), "WZC_XP_SP2 :: the element [GUEST_AUTH] should not be "
                                           "set because IEEE8021x is disabled\n"},
        {With(open, {"/InnerAuthentication:GTC"}),
         "WZC_XP_SP2 :: the element [InnerAuthenticationMethod] should not be set because "
         "IEEE8021x is disabled\n"},
        {With(open, {"/UseWindowsLogonInfo:TRUE"}), "WZC_XP_SP2 :: the element "
         "[UseWindowsLogonInfo] should not be set because IEEE8021x is disabled\n"},
        {With(open, {"/EnableFastReconnect:TRUE"}), "WZC_XP_SP2 :: the element "
         "[EnableFastReconnect] should not be set because IEEE8021x is disabled\n"},
        {With(oneX, {"/EAPType:PEAP"}),
         "WZC_XP_SP2 :: the element [InnerAuthenticationMethod] should be set\n"},
        {With(oneX, {"/EAPType:EAP-TLS", "/InnerAuthentication:GTC"}),
         "WZC_XP_SP2 :: the element [InnerAuthenticationMethod] should not be set\n"},
        {With(oneX, {"/EAPType:SecureW2", "/UseWindowsLogonInfo:TRUE"}),
         "WZC_XP_SP2 :: the element [UseWindowsLogonInfo] should not be set\n"},
        {With(oneX, {"/EAPType:EAP-TLS", "/EnableFastReconnect:TRUE"}),
         "WZC_XP_SP2 :: the element [EnableFastReconnect] should not be set\n"},
        {With(oneX, {"/EAPType:SecureW2", "/ValidateServerCert:TRUE"}),
         "WZC_XP_SP2 :: the element [ValidateServercert] should not be set\n"},
        {With(oneX, {"/EAPType:SecureW2", "/TrustRootCA:Any"}),
         "WZC_XP_SP2 :: the element [TrustRootCA] should not be set\n"},
        {With(oneX, {"/InnerAuthentication:GTC"}),
         "WZC_XP_SP2 :: the element [EAPType] should be set to PEAP\n"},
        {With(oneX, {"/EAPType:PEAP", "/InnerAuthentication:GTC", "/UseWindowsLogonInfo:TRUE"}),
         "WZC_XP_SP2 :: the element [InnerAuthenticationMethod] should be set to MSCHAPv2\n"},
        {With(oneX, {"/EnableFastReconnect:TRUE"}),
         "WZC_XP_SP2 :: the element [EAPType] should be set to PEAP\n"},
        {With(oneX, {"/EAPType:EAP-TLS", "/TrustRootCA:Any"}),
         "WZC_XP_SP2 :: [ValidateServerCert] is not set.\n"},
        {With(oneX, {"/EAPType:EAP-TLS", "/ValidateServerCert:TRUE", "/TrustRootCA:No_Such_Root"}),
         "GetCertificate :: Error looking for the certificate in the system store.\n"
         "WZC_XP_SP2 :: Error looking for the certificate [No Such Root] in the sytem store.\n"},
    };
    for (const RuleCase& c : cases) {
        SCOPED_TRACE(c.line);
        HandlerRun run = RunAdd(c.options);
        EXPECT_EQ(13u, run.result);
        EXPECT_EQ(c.line, run.output);
    }
    for (int adapter = 0; adapter < 2; ++adapter) {
        EXPECT_TRUE(StoredSsids(adapter).empty());
        EXPECT_EQ(0u, EapolValueCount(adapter));
    }
}

TEST_F(XpSp2Handlers, DebugRunWalksTheEapolValuesAndOverwritesTheMatch)
{
    RemoveTrustedRoots(L"Wlanprov XP Handlers");
    TrustedRoot a(L"Wlanprov XP Handlers A"), b(L"Wlanprov XP Handlers B");
    ASSERT_EQ(0, WriteEapolValue(AdapterGuid(0).c_str(), L"1", EapolHeader("Other")));
    ASSERT_EQ(0, WriteEapolValue(AdapterGuid(0).c_str(), L"2", EapolHeader("Offica")));
    HandlerRun run = RunAdd(With(kOneX, {"/EAPType:PEAP", "/InnerAuthentication:GTC",
                                         "/ValidateServerCert:TRUE",
                                         "/TrustRootCA:Wlanprov_XP_Handlers_A",
                                         "/TrustRootCA:Wlanprov_XP_Handlers_B", "/DebugLog:TRUE"}));
    EXPECT_EQ(0u, run.result);
    std::string expected =
        "WZC_XP_SP2 :: input parameter: SSID : Office\n"
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
        "WZC_XP_SP2 :: input parameter: ValidateServerCert : 1\n"
        "WZC_XP_SP2 :: input parameter: TrustRootCA[0] : Wlanprov XP Handlers A\n"
        "WZC_XP_SP2 :: input parameter: TrustRootCA[1] : Wlanprov XP Handlers B\n"
        "WZC_XP_SP2 :: NumAdapters=2\n";
    const char* const scans[] = {"WZC_XP_SP2 :: SSID Length MisMatch\n"
                                 "WZC_XP_SP2 :: SSID Value Mismatch\n"
                                 "WZC_XP_SP2 :: SSID Value Match\n"
                                 "WZC_XP_SP2 :: setting entry 3\n",
                                 "WZC_XP_SP2 :: SSID Value Match\n"
                                 "WZC_XP_SP2 :: setting entry 1\n"};
    for (int i = 0; i < 2; ++i) {
        std::string guid = WideToUtf8(AdapterGuid(i));
        expected += "WZC_XP_SP2 :: Adapter[" + std::to_string(i) + "] : " + guid + "\n"
                    "WZCQueryWPA2State\n"
                    "WZCQueryWPA2State :: dwCapabilities : 0x300\n"
                    "WZCQueryWPA2State :: returning 1\n"
                    "WZC_XP_SP2 :: WPA2 is supported\n"
                    "WZC_XP_SP2 :: CoInitialize Succeeded\n"
                    "WZC_XP_SP2 :: CoCreateInstance Succeeded\n"
                    "WZC_XP_SP2 :: CreateProfile succeeded\n"
                    "WZC_XP_SP2 :: adding EAP Entry\n"
                    "WZC_XP_SP2 :: Opened Interfaces entry\n"
                    "WZC_XP_SP2 :: Opened GUID key: " + guid + "\n" + scans[i];
    }
    EXPECT_EQ(expected + "WZC_XP_SP2 :: returning 0\n", run.output);

    uint8_t roots[2][20];
    memcpy(roots[0], a.Thumbprint(), 20);
    memcpy(roots[1], b.Thumbprint(), 20);
    Bytes entry = Entry(EAPOL_LAYOUT_PEAP_GTC, "Office", {roots, 2, true, false, false});
    EXPECT_EQ(218u, entry.size());
    EXPECT_EQ(entry, EapolValue(0, L"3"));
    EXPECT_EQ(EapolHeader("Other"), EapolValue(0, L"1"));
    EXPECT_EQ(entry, EapolValue(1, L"1"));
    for (int adapter = 0; adapter < 2; ++adapter)
        EXPECT_EQ(std::vector<std::string>{"Office"}, StoredSsids(adapter));
}

struct ProfileCase {
    const char* name;
    std::vector<std::string> options;
    std::string ssid;
    EapolLayout layout;         // EAPOL_LAYOUT_NONE: no entry
    EapRecordInput record;
    bool machine, guest;
};

TEST_F(XpSp2Handlers, EveryTemplateIsAcceptedAndEveryLayoutWritten)
{
    const std::string ssid32(32, 'W');
    const ProfileCase cases[] = {
        {"open", {"/SSID:Lobby", "/Authentication:Open", "/Encryption:None"}, "Lobby",
         EAPOL_LAYOUT_NONE, {}, false, false},
        {"pass phrase, escaped", {"/SSID:R&D<\"lab'>", "/Authentication:WPAPSK",
                                  "/Encryption:TKIP", "/NetworkKey:a&b<c>d\"e'f"},
         "R&D<\"lab'>", EAPOL_LAYOUT_NONE, {}, false, false},
        {"network key", {"/SSID:Lab", "/Authentication:Shared", "/Encryption:WEP",
                         "/NetworkKey:abcde", "/KeyIndex:3"}, "Lab", EAPOL_LAYOUT_NONE, {},
         false, false},
        {"802.1X without key, MSCHAPv2, 32-byte SSID",
         {"/SSID:" + ssid32, "/Authentication:WPA", "/Encryption:TKIP",
          "/KeyProvidedAutomatically:TRUE", "/IEEE8021xEnabled:TRUE", "/EAPType:PEAP",
          "/InnerAuthentication:MSCHAPv2", "/UseWindowsLogonInfo:TRUE", "/EnableFastReconnect:TRUE"},
         ssid32, EAPOL_LAYOUT_PEAP_MSCHAPV2, {nullptr, 0, false, true, true}, false, false},
        {"802.1X with key, EAP-TLS, machine and guest",
         {"/SSID:Wep1x", "/Authentication:Open", "/Encryption:WEP", "/NetworkKey:abcdefghijklm",
          "/KeyProvidedAutomatically:TRUE", "/IEEE8021xEnabled:TRUE", "/EAPType:EAP-TLS",
          "/MACHINE_AUTH:TRUE", "/GUEST_AUTH:TRUE"},
         "Wep1x", EAPOL_LAYOUT_TLS, {}, true, true},
        {"SecureW2 as PEAP", {"/SSID:Office", "/Authentication:WPA", "/Encryption:AES",
                              "/KeyProvidedAutomatically:TRUE", "/IEEE8021xEnabled:TRUE",
                              "/EAPType:SecureW2"}, "Office", EAPOL_LAYOUT_SECUREW2,
         {}, false, false},
    };
    for (const ProfileCase& c : cases) {
        SCOPED_TRACE(c.name);
        UseXpMachine(kMachine, 2);
        HandlerRun run = RunAdd(c.options);
        EXPECT_EQ(0u, run.result);
        bool oneX = c.layout != EAPOL_LAYOUT_NONE;
        std::string adapter = std::string("WZC_XP_SP2 :: CreateProfile succeeded\n") +
                              (oneX ? "WZC_XP_SP2 :: adding EAP Entry\n"
                                    : "WZC_XP_SP2 :: do not need to add EAP Entry\n");
        EXPECT_EQ(adapter + adapter, AfterEcho(run.output));
        for (int i = 0; i < 2; ++i) {
            EXPECT_EQ(std::vector<std::string>{c.ssid}, StoredSsids(i));
            EXPECT_EQ(oneX ? Entry(c.layout, c.ssid, c.record, c.machine, c.guest) : Bytes(),
                      EapolValue(i, L"1"));
        }
    }
}

TEST_F(XpSp2Handlers, EapolStepEndsTheRunWhenItHasNothingToWrite)
{
    // Without an EAP type the service takes the network, but no entry layout fits; a value
    // named beyond 31 is never looked at. Either ends the walk at the first adapter.
    ASSERT_EQ(0, WriteEapolValue(AdapterGuid(0).c_str(), L"32", EapolHeader("Far", 13)));
    const struct {
        std::vector<std::string> options;
        const char* line;
    } cases[] = {
        {kOneX, "WZC_XP_SP2 :: setting entry 1\nWZC_XP_SP2 :: wrong data\n"},
        {{"/SSID:Far", "/Authentication:WPA", "/Encryption:TKIP", "/KeyProvidedAutomatically:TRUE",
          "/IEEE8021xEnabled:TRUE", "/EAPType:EAP-TLS"},
         "WZC_XP_SP2 :: ERROR! Adding EAP entry failed.\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        HandlerRun run = RunAdd(With(c.options, {"/DebugLog:TRUE"}));
        EXPECT_EQ(13u, run.result);
        std::string tail = std::string(c.line) + "WZC_XP_SP2 :: returning 13\n";
        EXPECT_EQ(tail, run.output.substr(run.output.size() - std::min(tail.size(), run.output.size())));
        EXPECT_EQ(std::string::npos, run.output.find("Adapter[1]"));
        EXPECT_TRUE(StoredSsids(1).empty());
    }
    EXPECT_EQ(EapolHeader("Far", 13), EapolValue(0, L"32"));
}

struct FailureCase {
    const char* name;
    std::vector<std::string> options;
    void (*arrange)();
    DWORD result;
    std::string lines;                  // after the echo, last errors masked
    std::vector<bool> entryWritten;     // per adapter: the full entry at "1"
};

const std::string kSucceeded = "WZC_XP_SP2 :: CreateProfile succeeded\n";
const std::string kAdding = "WZC_XP_SP2 :: adding EAP Entry\n";
const std::string kSkipped = "WZC_XP_SP2 :: failed to open interfaces key: #\n";
const std::string kWpa2 = "WZC_XP_SP2 :: WPA2 is supported\n";
const std::string kNoWpa2 = "WZC_XP_SP2 :: ERROR!! WPA2 is not supported\n";

// One adapter's failure skips its own EAPOL step only; the result keeps the last failure.
TEST_F(XpSp2Handlers, AFailedAdapterSkipsOnlyItsOwnEapolStep)
{
    const FailureCase cases[] = {
        {"adapter 0 without WPA2", kPeap, [] { WriteXpCapabilities(0, 0x100); }, 110,
         kNoWpa2 + kSucceeded + kSkipped + kWpa2 + kSucceeded + kAdding, {false, true}},
        {"capability query refused", kPeap, [] { SetXpFault(L"WZCQueryInterface", 1, 5); }, 110,
         kWpa2 + kSucceeded + kAdding + "WZCQueryWPA2State :: dwErr : 5\n" + kNoWpa2 +
             kSucceeded + kSkipped,
         {true, false}},
        {"duplicate SSID on adapter 0",
         kPeap, [] { WritePreferredList(AdapterGuid(0).c_str(), {NetworkRecord("Office")}); }, 110,
         kWpa2 + "WZC_XP_SP2 :: ERROR!! CreateProfile failed : function return:0x80004005, "
                 "status:27\nWZC_XP_SP2 :: ERROR!! CreateProfile failed : DUPLICATE SSID\n" +
             kSkipped + kWpa2 + kSucceeded + kAdding,
         {false, true}},
        {"provisioning refused on adapter 1, no 802.1X",
         {"/SSID:Lobby", "/Authentication:Open", "/Encryption:None"},
         [] { SetXpFault(L"CreateProfile", 1, 5); }, 110,
         kSucceeded + "WZC_XP_SP2 :: do not need to add EAP Entry\n"
                      "WZC_XP_SP2 :: ERROR!! CreateProfile failed : function return:0x80070005, "
                      "status:0\n" + kSkipped,
         {false, false}},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.name);
        UseXpMachine(kMachine, 2);
        c.arrange();
        HandlerRun run = RunAdd(c.options);
        EXPECT_EQ(c.result, run.result);
        EXPECT_EQ(c.lines, MaskLastErrors(AfterEcho(run.output)));
        for (int i = 0; i < 2; ++i)
            EXPECT_EQ(c.entryWritten[i], EapolValue(i, L"1").size() == 170u) << i;
        ClearXpFaults();
    }
}

TEST_F(XpSp2Handlers, ComThatCannotStartSkipsEveryAdapter)
{
    // COM already runs in another mode on this thread.
    ASSERT_EQ(S_OK, CoInitializeEx(nullptr, COINIT_MULTITHREADED));
    HandlerRun run = RunAdd(kPeap);
    CoUninitialize();
    EXPECT_EQ(110u, run.result);
    std::string adapter = kWpa2 + "WZC_XP_SP2 :: CoInitialize FAILED -2147417850, #\n" + kSkipped;
    EXPECT_EQ(adapter + adapter, MaskLastErrors(AfterEcho(run.output)));
    for (int i = 0; i < 2; ++i)
        EXPECT_TRUE(StoredSsids(i).empty());
}

TEST_F(XpSp2Handlers, LibraryAndAdapterFailuresEndTheRun)
{
    const struct {
        const wchar_t* platform;
        int adapters;
        const wchar_t* fault;
        DWORD result;
        bool walks;
    } cases[] = {
        {L"xpsp1-1276", 2, nullptr, 50, true},   // a binding of class 5: every adapter refused
        {L"xp-1200", 2, nullptr, 50, false},     // a build outside the table
        {L"xpsp2", 0, nullptr, 232, false},
        {L"xpsp2", 2, L"WZCEnumInterfaces", 1168, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(WideToUtf8(c.platform) + " " + std::to_string(c.result));
        UseXpMachine(kMachine, c.adapters);
        if (c.fault)
            SetXpFault(c.fault, -1, c.result);
        Use(c.platform);
        HandlerRun run = RunAdd({"/SSID:Lobby", "/Authentication:Open", "/Encryption:None",
                                 "/DebugLog:TRUE"});
        EXPECT_EQ(c.result, run.result);
        std::string tail = c.walks ? "WZC_XP_SP2 :: NumAdapters=2\n"
                                 "WZC_XP_SP2 :: Adapter[0] : " + WideToUtf8(AdapterGuid(0)) + "\n"
                                 "WZC_XP_SP2 :: Adapter[1] : " + WideToUtf8(AdapterGuid(1)) + "\n"
                               : "";
        EXPECT_EQ(tail + "WZC_XP_SP2 :: returning " + std::to_string(c.result) + "\n",
                  AfterEcho(run.output));
        for (int i = 0; i < c.adapters; ++i)
            EXPECT_TRUE(StoredSsids(i).empty());
        ClearXpFaults();
    }
}

TEST_F(XpSp2Handlers, QueryBindingClassesAdaptersAndWpa2)
{
    const struct {
        const wchar_t* platform;
        DWORD result;
        LONG buildClass;
    } classes[] = {
        {L"xpsp2", 0, 6}, {L"xpsp3", 0, 6}, {L"server2003", 0, 6}, {L"xpsp1-1276", 0, 5},
        {L"xpsp1-1106", 0, 3}, {L"xp-1200", 50, 0},
    };
    for (const auto& c : classes) {
        Use(c.platform);
        WzcQueryBinding* binding = (WzcQueryBinding*)0xdeadbeef;
        EXPECT_EQ(c.result, WZCInit_XP_SP2(&binding)) << WideToUtf8(c.platform);
        if (c.result == 0) {
            EXPECT_EQ(c.buildClass, binding->buildClass) << WideToUtf8(c.platform);
            WZCUninit(binding);
        } else {
            EXPECT_EQ(nullptr, binding);
        }
    }
    Use(L"xpsp2");
    WzcQueryBinding* binding = nullptr;
    ASSERT_EQ(0u, WZCInit_XP_SP2(&binding));
    for (int count : {6, 2}) {
        UseXpMachine(kMachine, count);
        WzcAdapterList list = {};
        EXPECT_EQ(0u, WZCEnumAdapters_XP_SP2(binding, &list));
        EXPECT_EQ((DWORD)std::min(count, 5), list.count);
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(i < count ? AdapterGuid(i) : L"", std::wstring(list.guids[i])) << i;
    }
    const DWORD capabilities[] = {0x300, 0x100, 0x200, 0x700, 0};
    for (DWORD word : capabilities) {
        WriteXpCapabilities(0, word);
        g_bDebugLog = 1;
        StdoutCapture capture;
        DWORD answer = WZCQueryWPA2State(binding, AdapterGuid(0).c_str());
        g_bDebugLog = 0;
        EXPECT_EQ(word == 0x300 ? 1u : 0u, answer);
        char hex[16];
        snprintf(hex, sizeof(hex), "0x%x", (unsigned)word);
        EXPECT_EQ(std::string("WZCQueryWPA2State\nWZCQueryWPA2State :: dwCapabilities : ") + hex +
                      "\nWZCQueryWPA2State :: returning " + std::to_string(answer) + "\n",
                  capture.Text());
    }
    WZCUninit(binding);
}

DWORD WirelessServiceState()
{
    SERVICE_STATUS status = {};
    SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT);
    SC_HANDLE service = manager ? OpenServiceW(manager, L"WZCSVC", SERVICE_QUERY_STATUS) : nullptr;
    if (service)
        QueryServiceStatus(service, &status);
    if (service)
        CloseServiceHandle(service);
    if (manager)
        CloseServiceHandle(manager);
    return status.dwCurrentState;
}

std::vector<Bytes> Records(const std::vector<std::string>& ssids)
{
    std::vector<Bytes> records;
    for (const std::string& ssid : ssids)
        records.push_back(NetworkRecord(ssid));
    return records;
}

struct RemovalCase {
    const char* name;
    std::vector<std::string> options;
    bool echoed;
    std::vector<std::vector<std::string>> before;   // per adapter
    DWORD result;
    std::string lines;                              // after the SSID echo; {0} {1} the GUIDs
    std::vector<std::vector<std::string>> after;
};

std::string WithGuids(std::string text)
{
    for (int i = 0; i < 2; ++i) {
        std::string mark = "{" + std::to_string(i) + "}";
        for (size_t at; (at = text.find(mark)) != std::string::npos;)
            text.replace(at, mark.size(), WideToUtf8(AdapterGuid(i)));
    }
    return text;
}

TEST_F(XpSp2Handlers, RemovalDeletesTheStoredNetworkOfEachAdapter)
{
    std::vector<std::string> thirteen;
    for (int i = 0; i < 12; ++i)
        thirteen.push_back("Net" + std::to_string(i));
    std::vector<std::string> beyond = thirteen;
    beyond.resize(32, "Filler");
    std::vector<std::string> kept = thirteen;
    thirteen.push_back("Office");
    beyond.push_back("Office");
    const std::string notFound = "WZCRemoveProfile_XP_SP2 :: ERROR! registry entry not found.\n";
    std::string twelveMismatches;
    for (int i = 0; i < 12; ++i)
        twelveMismatches += "WZCRemoveProfile_XP_SP2 :: SSID Length MisMatch\n";
    const RemovalCase cases[] = {
        {"no option", {}, false, {{"Office"}, {}}, 13,
         "WZCRemoveProfile_XP_SP2 :: [SSID] must be set\n", {{"Office"}, {}}},
        {"an add option", {"/SSID:Office", "/Authentication:WPA"}, false, {{"Office"}, {}}, 13,
         "WZCRemoveProfile_XP_SP2 :: invalid input\n", {{"Office"}, {}}},
        {"index 0012, debug", {"/SSID:Office", "/DebugLog:TRUE"}, true, {thirteen, {"Offic", "Offica", "Office"}}, 0,
         "WZCRemoveProfile_XP_SP2 :: NumAdapters=2\n"
         "WZCRemoveProfile_XP_SP2 :: Adapter[0] : {0}\n"
         "WZCRemoveProfile_XP_SP2 :: Opened Interfaces entry\n"
         "WZCRemoveProfile_XP_SP2 :: Opened GUID key: {0}\n" +
             twelveMismatches +
             "WZCRemoveProfile_XP_SP2 :: SSID Value Match\n"
             "WZCRemoveProfile_XP_SP2 :: delete the entry Static#0012\n"
             "WZCRemoveProfile_XP_SP2 :: Adapter[1] : {1}\n"
             "WZCRemoveProfile_XP_SP2 :: Opened Interfaces entry\n"
             "WZCRemoveProfile_XP_SP2 :: Opened GUID key: {1}\n"
             "WZCRemoveProfile_XP_SP2 :: SSID Length MisMatch\n"
             "WZCRemoveProfile_XP_SP2 :: SSID Value Mismatch\n"
             "WZCRemoveProfile_XP_SP2 :: SSID Value Match\n"
             "WZCRemoveProfile_XP_SP2 :: delete the entry Static#0002\n"
             "WZCRemoveProfile_XP_SP2 :: returning 0\n",
         {kept, {"Offic", "Offica"}}},
        {"only on the second adapter", {"/SSID:Office"}, true, {{"Other"}, {"Office", "Other"}}, 13,
         notFound + "WZCRemoveProfile_XP_SP2 :: delete the entry Static#0000\n",
         {{"Other"}, {"Other"}}},
        {"only beyond index 0031", {"/SSID:Office"}, true, {beyond, {}}, 13, notFound + notFound,
         {beyond, {}}},
    };
    for (const RemovalCase& c : cases) {
        SCOPED_TRACE(c.name);
        UseXpMachine(kMachine, 2);
        for (int i = 0; i < 2; ++i) {
            ASSERT_EQ(0, WritePreferredList(AdapterGuid(i).c_str(), Records(c.before[i])));
            ASSERT_EQ(0, WriteEapolValue(AdapterGuid(i).c_str(), L"1", EapolHeader("Office")));
        }
        HandlerRun run = RunDelete(c.options);
        EXPECT_EQ(c.result, run.result);
        std::string echo = "WZCRemoveProfile_XP_SP2 :: input parameter: SSID : Office\n";
        EXPECT_EQ(WithGuids((c.echoed ? echo : "") + c.lines), run.output);
        for (int i = 0; i < 2; ++i) {
            EXPECT_EQ(c.after[i], StoredSsids(i)) << i;
            EXPECT_EQ(EapolHeader("Office"), EapolValue(i, L"1")) << i;   // EAPOL stays
        }
        EXPECT_EQ((DWORD)SERVICE_RUNNING, WirelessServiceState());
    }
}

TEST_F(XpSp2Handlers, RemovalKeepsAnAdapterFailureOverALaterMissingNetwork)
{
    ASSERT_EQ(0, RegDeleteKeyW(HKEY_LOCAL_MACHINE, WzcInterfaceKeyPath(AdapterGuid(0).c_str()).c_str()));
    HandlerRun run = RunDelete({"/SSID:Office"});
    EXPECT_EQ(2u, run.result);
    EXPECT_EQ("WZCRemoveProfile_XP_SP2 :: input parameter: SSID : Office\n"
              "WZCRemoveProfile_XP_SP2 :: failed to open guid key: 2\n"
              "WZCRemoveProfile_XP_SP2 :: ERROR! registry entry not found.\n",
              run.output);
    EXPECT_EQ((DWORD)SERVICE_RUNNING, WirelessServiceState());
}

} // namespace
