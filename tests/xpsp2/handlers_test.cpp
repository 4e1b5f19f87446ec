// WZC_XP_SP2 and WZCRemoveProfile_XP_SP2 in-process against the emulated XP SP2 client
// library, provisioning service and wireless service.
#include <gtest/gtest.h>
#include <objbase.h>

#include <cstring>
#include <map>
#include <memory>
#include <sstream>

#include "eapol_registry.h"
#include "fault_sweep.h"
#include "globals.h"
#include "handler_run.h"
#include "handlers.h"
#include "test_support.h"
#include "trusted_root.h"
#include "wzc_query_binding.h"
#include "xp_test_support.h"
#include "xpsp2_grammar.h"

namespace {

const wchar_t kMachine[] = L"xpsp2_handlers_test";
const std::string kOneX = "S=Office A=WPA2 E=AES P=TRUE X=TRUE", kPeap = kOneX + " T=PEAP N=GTC";

HandlerRun Add(const std::string& options)
{
    return RunHandler(WZC_XP_SP2, "-add", Options(options));
}

class XpSp2 : public ::testing::Test {
protected:
    void SetUp() override { Use(L"xpsp2", 2); }
    void TearDown() override
    {
        g_bDebugLog = 0;
        platform_.reset();
        ClearXpFaults();
    }
    void Use(const wchar_t* platform, int adapters)
    {
        platform_.reset();
        UseXpMachine(kMachine, adapters);
        platform_.reset(new Platform(platform));
    }
    std::unique_ptr<Platform> platform_;
};

TEST_F(XpSp2, BrokenRulesPrintOneLineAndWriteNothing)
{
    const std::string x = "S=N A=WPA E=TKIP P=TRUE X=TRUE", open = "S=N A=Open E=None";
    const std::string off = " should not be set because IEEE8021x is disabled";
    const std::pair<std::string, std::string> cases[] = {
        {"", "[SSID] must be set"},
        {"S=N A=WPA K=abcdefgh", "[NetworkKey] should not be set"},
        {"S=N A=WPA E=AES", "[keyProvidedAutomatically] must be set to TRUE"},
        {"S=N A=WPA2 P=TRUE", "[IEEE8021xEnabled] must be set to TRUE"},
        {"S=N A=WPAPSK P=TRUE", "[keyProvidedAutomatically] must be set to FALSE"},
        {"S=N A=WPA2PSK X=TRUE", "[IEEE8021xEnabled] must be set to FALSE"},
        {"S=N A=WPAPSK E=TKIP", "[NetworkKey] must be set"},
        {"S=N A=Open E=AES", "[Encryptiontype] : invalid input"},
        {x + " E=WEP", "[Encryptiontype] : invalid input"},
        {"S=N A=Shared", "[Encryptiontype] : invalid input"},
        {open + " K=abc", "[NetworkKey] should not be set"},
        {"S=N A=Open E=WEP K=abcdefghijkl", "[NetworkKey] : invalid input"},
        {"S=N A=WPAPSK E=TKIP K=abcdefg", "[NetworkKey] : invalid input"},
        {"S=N A=Shared E=None X=TRUE",
         " [IEEE8021xEnabled] must set to FALSE because data encryption is disabled"},
        {open + " T=PEAP", "the element [EAPType]" + off},
        {open + " M=TRUE", "the element [MACHINE_AUTH]" + off},
        {open + " G=TRUE", "the element [GUEST_AUTH]" + off},
        {open + " N=GTC", "the element [InnerAuthenticationMethod]" + off},
        {open + " L=TRUE", "the element [UseWindowsLogonInfo]" + off},
        {open + " F=TRUE", "the element [EnableFastReconnect]" + off},
        {x + " T=PEAP", "the element [InnerAuthenticationMethod] should be set"},
        {x + " T=EAP-TLS N=GTC", "the element [InnerAuthenticationMethod] should not be set"},
        {x + " T=SecureW2 L=TRUE", "the element [UseWindowsLogonInfo] should not be set"},
        {x + " T=EAP-TLS F=TRUE", "the element [EnableFastReconnect] should not be set"},
        {x + " T=SecureW2 V=TRUE", "the element [ValidateServercert] should not be set"},
        {x + " T=SecureW2 C=Any", "the element [TrustRootCA] should not be set"},
        {x + " N=GTC", "the element [EAPType] should be set to PEAP"},
        {x + " T=PEAP N=GTC L=TRUE",
         "the element [InnerAuthenticationMethod] should be set to MSCHAPv2"},
        {x + " F=TRUE", "the element [EAPType] should be set to PEAP"},
        {x + " T=EAP-TLS C=Any", "[ValidateServerCert] is not set."},
        {x + " T=EAP-TLS V=TRUE C=No_Such_Root",
         "Error looking for the certificate [No Such Root] in the sytem store."},
        {"S=N W=x", "invalid input"},
    };
    for (const auto& c : cases) {
        HandlerRun run = Add(c.first);
        EXPECT_EQ(13u, run.result) << c.second;
        EXPECT_EQ((c.second[0] == 'E' ? Lines({"Error looking for the certificate in the system "
                                               "store."},
                                              "GetCertificate")
                                      : "") +
                      Lines({c.second}),
                  run.output);
    }
    for (int i = 0; i < 2; ++i)
        EXPECT_TRUE(StoredSsids(i).empty() && EapolValue(i, L"1").empty());
}

TEST_F(XpSp2, DebugRunScansTheEapolValuesAndOverwritesTheMatch)
{
    RemoveTrustedRoots(L"Wlanprov XP Handlers");
    TrustedRoot a(L"Wlanprov XP Handlers A"), b(L"Wlanprov XP Handlers B");
    WriteEapolValue(Guid(0).c_str(), L"1", EapolHeader("Other"));
    WriteEapolValue(Guid(0).c_str(), L"2", EapolHeader("Offica"));
    HandlerRun run = Add(kPeap +
                         " V=TRUE C=Wlanprov_XP_Handlers_A C=Wlanprov_XP_Handlers_B D=TRUE");
    EXPECT_EQ(0u, run.result);
    std::string expected = Lines({"NumAdapters=2"});
    for (std::string n : {"0", "1"})
        expected += Lines({"Adapter[" + n + "] : {" + n + "}"}) + "WZCQueryWPA2State\n" +
                    Lines({"dwCapabilities : 0x300", "returning 1"}, "WZCQueryWPA2State") +
                    Lines({"WPA2 is supported", "CoInitialize Succeeded",
                           "CoCreateInstance Succeeded", "CreateProfile succeeded",
                           "adding EAP Entry", "Opened Interfaces entry",
                           "Opened GUID key: {" + n + "}"}) +
                    (n == "0" ? Lines({"SSID Length MisMatch", "SSID Value Mismatch",
                                       "SSID Value Match", "setting entry 3"})
                              : Lines({"SSID Value Match", "setting entry 1"}));
    EXPECT_EQ(expected + Lines({"returning 0"}), Normalised(AfterEcho(run.output)));
    uint8_t roots[2][20];
    memcpy(roots[0], a.Thumbprint(), 20);
    memcpy(roots[1], b.Thumbprint(), 20);
    Bytes entry = Entry(EAPOL_LAYOUT_PEAP_GTC, "Office", {roots, 2, true, false, false});
    EXPECT_TRUE(entry.size() == 218 && entry == EapolValue(0, L"3") &&
                entry == EapolValue(1, L"1"));
    EXPECT_EQ(EapolHeader("Other"), EapolValue(0, L"1"));
}

TEST_F(XpSp2, EveryTemplateIsAcceptedAndEveryLayoutWritten)
{
    const std::string w32(32, 'W'), oneX = " P=TRUE X=TRUE";
    const struct {
        std::string options, ssid;
        EapolLayout layout;
        EapRecordInput record;
        bool machineAndGuest;
    } cases[] = {
        {"S=Lobby A=Open E=None", "Lobby", EAPOL_LAYOUT_NONE},
        // Escaped values longer than the usual buffer: the document grows, never cut.
        {"S=R&D<\"lab'>&&&&&&&&&&&&&&&&&&&&&& A=WPAPSK E=TKIP K=" + std::string(62, '&') + "<",
         "R&D<\"lab'>&&&&&&&&&&&&&&&&&&&&&&", EAPOL_LAYOUT_NONE},
        {"S=Lab A=Shared E=WEP K=abcde I=3", "Lab", EAPOL_LAYOUT_NONE},
        {"S=" + w32 + " A=WPA E=TKIP" + oneX + " T=PEAP N=MSCHAPv2 L=TRUE F=TRUE",
         w32,
         EAPOL_LAYOUT_PEAP_MSCHAPV2,
         {nullptr, 0, false, true, true}},
        {"S=Wep1x A=Open E=WEP K=abcdefghijklm" + oneX + " T=EAP-TLS M=TRUE G=TRUE",
         "Wep1x",
         EAPOL_LAYOUT_TLS,
         {},
         true},
        {"S=Sw2 A=WPA E=AES" + oneX + " T=SecureW2", "Sw2", EAPOL_LAYOUT_SECUREW2},
    };
    for (const auto& c : cases) {
        UseXpMachine(kMachine, 2);
        HandlerRun run = Add(c.options);
        EXPECT_EQ(0u, run.result) << c.options;
        std::string adapter = Lines(
            {"CreateProfile succeeded",
             c.layout ? "adding EAP Entry" : "do not need to add EAP Entry"});
        EXPECT_EQ(adapter + adapter, AfterEcho(run.output));
        for (int i = 0; i < 2; ++i) {
            EXPECT_EQ(std::vector<std::string>{c.ssid}, StoredSsids(i));
            EXPECT_EQ(c.layout
                          ? Entry(c.layout, c.ssid, c.record, c.machineAndGuest, c.machineAndGuest)
                          : Bytes(),
                      EapolValue(i, L"1"));
        }
    }
}

TEST_F(XpSp2, EapolStepWithNothingToWriteEndsTheRun)
{
    // Without an EAP type no entry layout fits; a value named beyond 31 is never looked at.
    WriteEapolValue(Guid(0).c_str(), L"32", EapolHeader("Far", 13));
    const std::string wpa = " A=WPA E=TKIP P=TRUE X=TRUE";
    for (const auto& c :
         {std::make_pair("S=Office" + wpa, "wrong data"),
          std::make_pair("S=Far" + wpa + " T=EAP-TLS", "ERROR! Adding EAP entry failed.")}) {
        HandlerRun run = Add(c.first);
        EXPECT_EQ(13u, run.result);
        EXPECT_EQ(Lines({"CreateProfile succeeded", "adding EAP Entry", c.second}),
                  AfterEcho(run.output));
        EXPECT_TRUE(StoredSsids(1).empty());
    }
    EXPECT_EQ(EapolHeader("Far", 13), EapolValue(0, L"32"));
}

// A failed adapter skips its own EAPOL step only, and the run ends with the last failure.
TEST_F(XpSp2, AFailedAdapterSkipsItsOwnEapolStepOnly)
{
    const std::string skipped = Lines({"failed to open interfaces key: #"});
    SetXpFault(L"WZCQueryInterface", 0, 5);
    SetXpFault(L"CreateProfile", 1, 5);
    HandlerRun run = Add(kPeap);
    EXPECT_EQ(110u, run.result);
    EXPECT_EQ(Lines({"dwErr : 5"}, "WZCQueryWPA2State") +
                  Lines({"ERROR!! WPA2 is not supported", "CreateProfile succeeded"}) + skipped +
                  Lines({"WPA2 is supported",
                         "ERROR!! CreateProfile failed : function return:0x80070005, status:0"}) +
                  skipped,
              Normalised(AfterEcho(run.output)));
    EXPECT_EQ(EapolHeader("Office"), EapolValue(0, L"1"));
    // COM that cannot start on this thread fails every adapter before its call.
    UseXpMachine(kMachine, 2);
    ASSERT_EQ(S_OK, CoInitializeEx(nullptr, COINIT_MULTITHREADED));
    run = Add("S=Lobby A=Open E=None");
    CoUninitialize();
    EXPECT_EQ(110u, run.result);
    std::string adapter = Lines({"CoInitialize FAILED -2147417850, #"}) + skipped;
    EXPECT_EQ(adapter + adapter, Normalised(AfterEcho(run.output)));
    EXPECT_TRUE(StoredSsids(0).empty() && StoredSsids(1).empty());
}

// The EAPOL step as the XP SP1 add handler configures it: header version 3, no SecureW2, the
// first matching value or else the first free name, the values it reads in its debug lines.
TEST_F(XpSp2, EapolStepOfTheXpSp1Handler)
{
    const EapolEntryWriter writer = {"WZC_XP_SP1",
                                     3,
                                     EAPOL_LAYOUTS_TLS_AND_PEAP,
                                     {L"%lu", 1, 0, true},
                                     {"%s :: Opened eap entry : %ls, entry size: %ld\n",
                                      "%s :: pcSSIDValue : %.*s\n"},
                                     "%s :: Setting entry %ls\n",
                                     false};
    WriteEapolValue(Guid(0).c_str(), L"1", EapolHeader("Other"));
    WriteEapolValue(Guid(0).c_str(), L"2", EapolHeader("Offica"));
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, EapolInterfaceKeyPath(Guid(1).c_str()).c_str());
    const struct {
        const char* options;
        int adapter;
        bool failed;
        DWORD stop, result;
        std::vector<std::string> lines;
    } cases[] = {
        {"S=Office T=EAP-TLS M=TRUE D=TRUE",
         0,
         false,
         0,
         0,
         {"Opened Interfaces entry", "Opened GUID key: {0}", "Opened eap entry : 1, entry size: 52",
          "SSID Length MisMatch", "Opened eap entry : 2, entry size: 52", "pcSSIDValue : Offica",
          "SSID Value Mismatch", "Setting entry 3"}},
        {"S=Office T=SecureW2", 0, false, 13, 0, {"Setting entry 3", "wrong data"}},
        {"S=Office T=EAP-TLS", 1, false, 0, 2, {"failed to open guid key: 2"}}, // never hidden
        {"S=Office T=EAP-TLS", 1, true, 0, 110, {"failed to open interfaces key: #"}},
    };
    for (const auto& c : cases) {
        OptionSet options;
        g_bDebugLog = 0;
        std::vector<std::string> args = Options(c.options);
        args.insert(args.begin(), {"wlanprov.exe", "-add"});
        std::vector<char*> argv;
        for (std::string& arg : args)
            argv.push_back(&arg[0]);
        ASSERT_EQ(0u, ParseOptions((int)argv.size(), argv.data(), &kXpSp2AddGrammar, &options));
        EapolStepOutcome outcome;
        std::string text;
        {
            StdoutCapture capture;
            outcome = UpdateEapolEntry(&writer, c.failed, Guid(c.adapter).c_str(), &options,
                                       nullptr);
            text = capture.Text();
        }
        DWORD stop = outcome.endsHandler ? outcome.code : 0;
        DWORD result = outcome.endsHandler ? 0 : outcome.code;
        EXPECT_TRUE(stop == c.stop && result == c.result) << c.options;
        EXPECT_EQ(Lines(c.lines, "WZC_XP_SP1"), Normalised(text));
    }
    Bytes entry = Entry(EAPOL_LAYOUT_TLS, "Office", {}, true);
    entry[0] = 3;
    EXPECT_EQ(entry, EapolValue(0, L"3"));
}

TEST_F(XpSp2, QueryBindingAdaptersAndWpa2)
{
    const std::pair<const wchar_t*, LONG> classes[] = {
        {L"xpsp2", 6}, {L"xpsp3", 6}, {L"server2003", 6}, {L"xpsp1-1276", 5}, {L"xp-1200", -1}};
    for (const auto& c : classes) {
        Use(c.first, 2);
        WzcQueryBinding* binding = (WzcQueryBinding*)0xdeadbeef;
        EXPECT_EQ(c.second < 0 ? 50u : 0u, WZCInit_XP_SP2(&binding));
        EXPECT_EQ(c.second, binding ? binding->buildClass : -1);
        if (binding)
            WZCUninit(binding);
    }
    // Below XP SP2 every adapter is refused; no adapter at all ends the run at once.
    for (auto c : {std::make_pair(L"xpsp1-1276", 2), std::make_pair(L"xpsp2", 0)}) {
        Use(c.first, c.second);
        HandlerRun run = Add("S=Lobby A=Open E=None D=TRUE");
        std::string result = c.second ? "50" : "232";
        EXPECT_EQ((c.second ? Lines({"NumAdapters=2", "Adapter[0] : {0}", "Adapter[1] : {1}"})
                            : "") +
                      Lines({"returning " + result}),
                  Normalised(AfterEcho(run.output)));
    }
    Use(L"xpsp2", 6);
    WzcQueryBinding* binding = nullptr;
    ASSERT_EQ(0u, WZCInit_XP_SP2(&binding));
    WzcAdapterList list = {};
    EXPECT_EQ(0u, WZCEnumAdapters_XP_SP2(binding, &list));
    EXPECT_TRUE(list.count == 5 && Guid(4) == list.guids[4]);
    for (DWORD word : {0x300u, 0x100u, 0x700u, 0x200u}) {
        WriteXpCapabilities(0, word);
        EXPECT_EQ(word == 0x300 ? 1u : 0u, WZCQueryWPA2State(binding, Guid(0).c_str())) << word;
    }
    WZCUninit(binding);
}

TEST_F(XpSp2, RemovalDeletesTheStoredNetworkOfEachAdapter)
{
    std::vector<std::string> twelve, beyond(32, "Filler");
    for (int i = 0; i < 12; ++i)
        twelve.push_back("Net" + std::to_string(i));
    std::vector<std::string> thirteen = twelve;
    thirteen.push_back("Office");
    beyond.push_back("Office");
    const std::string notFound = "ERROR! registry entry not found.";
    struct {
        std::string options;
        std::vector<std::string> before[2], after[2];
        DWORD result;
        std::vector<std::string> lines; // after the echo
    } cases[] = {
        {"", {{"Office"}, {}}, {{"Office"}, {}}, 13, {"[SSID] must be set"}},
        {"S=Office A=WPA", {{"Office"}, {}}, {{"Office"}, {}}, 13, {"invalid input"}},
        {"S=Office D=TRUE",
         {{"Offic", "Offica", "Office"}, thirteen},
         {{"Offic", "Offica"}, twelve},
         0,
         {"NumAdapters=2", "Adapter[0] : {0}", "Opened Interfaces entry", "Opened GUID key: {0}",
          "SSID Length MisMatch", "SSID Value Mismatch", "SSID Value Match",
          "delete the entry Static#0002", "Adapter[1] : {1}", "Opened Interfaces entry",
          "Opened GUID key: {1}", "SSID Value Match", "delete the entry Static#0012",
          "returning 0"}},
        {"S=Office",
         {{"Other"}, {"Office", "Other"}},
         {{"Other"}, {"Other"}},
         13,
         {notFound, "delete the entry Static#0000"}},
        {"S=Office", {beyond, {}}, {beyond, {}}, 13, {notFound, notFound}},
    };
    cases[2].lines.insert(cases[2].lines.begin() + 11, 12, "SSID Length MisMatch"); // Net0..11
    for (const auto& c : cases) {
        UseXpMachine(kMachine, 2);
        for (int i = 0; i < 2; ++i) {
            std::vector<Bytes> records;
            for (const std::string& ssid : c.before[i])
                records.push_back(NetworkRecord(ssid));
            WritePreferredList(Guid(i).c_str(), records);
            WriteEapolValue(Guid(i).c_str(), L"1", EapolHeader("Office"));
        }
        HandlerRun run = RunHandler(WZCRemoveProfile_XP_SP2, "-delete", Options(c.options));
        EXPECT_EQ(c.result, run.result) << c.options;
        EXPECT_EQ(Lines(c.lines, "WZCRemoveProfile_XP_SP2"), Normalised(AfterEcho(run.output)));
        for (int i = 0; i < 2; ++i) // the EAPOL entries stay
            EXPECT_TRUE(c.after[i] == StoredSsids(i) &&
                        EapolHeader("Office") == EapolValue(i, L"1"));
    }
    // A failure to reach an adapter's values outranks a later adapter without the network.
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, WzcInterfaceKeyPath(Guid(0).c_str()).c_str());
    HandlerRun run = RunHandler(WZCRemoveProfile_XP_SP2, "-delete", {"/SSID:Lobby"});
    EXPECT_EQ(2u, run.result);
    EXPECT_EQ(Lines({"failed to open guid key: 2", notFound}, "WZCRemoveProfile_XP_SP2"),
              AfterEcho(run.output));
    SERVICE_STATUS status = {};
    SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT);
    SC_HANDLE service = OpenServiceW(manager, L"WZCSVC", SERVICE_QUERY_STATUS);
    EXPECT_TRUE(QueryServiceStatus(service, &status) && status.dwCurrentState == SERVICE_RUNNING);
    CloseServiceHandle(service);
    CloseServiceHandle(manager);
}

} // namespace

namespace {

// Every client library and provisioning server call of a PEAP add on two adapters failed once at
// each position: the failed adapter skips its own EAPOL step only (see above).
TEST_F(XpSp2, FaultSweepOfAPeapAdd)
{
    const std::string wpa2 = "WPA2 is supported", created = "CreateProfile succeeded",
                      entry = "adding EAP Entry", skipped = "failed to open interfaces key: #",
                      noWpa2 = "ERROR!! WPA2 is not supported",
                      refused =
                          "ERROR!! CreateProfile failed : function return:0x800706ba, status:0";
    const std::string queryFailed = "WZCQueryWPA2State :: dwErr : 1722",
                      guidFailed = "failed to open guid key: 1722",
                      noEntry = "ERROR! Adding EAP entry failed.",
                      noServer = "ERROR!! CoCreateInstance failed : 0x8007000e",
                      setFailed = "Failed to set value: 1722";
    const std::vector<XpSweepRow> rows = {
        {L"WZCEnumInterfaces", 1, 1722, {}, {0, 0}},
        {L"WZCQueryInterface",
         1,
         110,
         {queryFailed, noWpa2, created, skipped, wpa2, created, entry},
         {1, 1}},
        {L"WZCQueryInterface",
         2,
         110,
         {wpa2, created, entry, queryFailed, noWpa2, created, skipped},
         {1, 1}},
        {L"CreateProfile", 1, 110, {wpa2, refused, skipped, wpa2, created, entry}, {0, 1}},
        {L"CreateProfile", 2, 110, {wpa2, created, entry, wpa2, refused, skipped}, {1, 0}},
        {L"CoCreateInstance", 1, 110, {wpa2, noServer, skipped, wpa2, created, entry}, {0, 1}},
        {L"CoCreateInstance", 2, 110, {wpa2, created, entry, wpa2, noServer, skipped}, {1, 0}},
        {L"RegOpenKeyExW", 1, 110, {wpa2, created, entry, skipped, wpa2, created, entry}, {1, 1}},
        {L"RegOpenKeyExW",
         2,
         1722,
         {wpa2, created, entry, guidFailed, wpa2, created, entry},
         {1, 1}},
        {L"RegOpenKeyExW", 3, 110, {wpa2, created, entry, wpa2, created, entry, skipped}, {1, 1}},
        {L"RegOpenKeyExW",
         4,
         1722,
         {wpa2, created, entry, wpa2, created, entry, guidFailed},
         {1, 1}},
        {L"RegQueryValueExW", 1, 13, {wpa2, created, entry, noEntry}, {1, 0}},
        {L"RegQueryValueExW", 2, 13, {wpa2, created, entry, wpa2, created, entry, noEntry}, {1, 1}},
        {L"RegSetValueExW",
         1,
         1722,
         {wpa2, created, entry, setFailed, wpa2, created, entry},
         {1, 1}},
        {L"RegSetValueExW",
         2,
         1722,
         {wpa2, created, entry, wpa2, created, entry, setFailed},
         {1, 1}},
    };
    XpSweep(
        platform_->library, "WZC_XP_SP2", rows,
        [](int adapter) { return StoredSsids(adapter).size(); }, [] { UseXpMachine(kMachine, 2); },
        [] { return Add(kPeap); },
        {L"CoCreateInstance", L"RegOpenKeyExW", L"RegCreateKeyExW", L"RegQueryValueExW",
         L"RegSetValueExW"});
}

// The registry and service manager calls of a removal on two adapters, each holding the network
// second, failed once at each position: a failure never hides and nothing else is deleted. A
// service that would not stop leaves its adapter unedited; one that would not start again (and
// so is found stopped by the next adapter's stop) is the result too.
TEST_F(XpSp2, FaultSweepOfADelete)
{
    const std::string deleted = "delete the entry Static#0001",
                      notFound = "ERROR! registry entry not found.",
                      stop = "failed to stop the wireless service: 1722",
                      start = "failed to start the wireless service: 1722";
    const std::vector<std::string> both = {deleted, deleted};
    const std::vector<XpSweepRow> rows = {
        {L"WZCEnumInterfaces", 1, 1722, {}, {2, 2}},
        {L"RegOpenKeyExW", 1, 1722, {"failed to open interfaces key: #", deleted}, {2, 1}},
        {L"RegOpenKeyExW", 2, 1722, {"failed to open guid key: 1722", deleted}, {2, 1}},
        {L"RegOpenKeyExW", 3, 1722, {deleted, "failed to open interfaces key: #"}, {1, 2}},
        {L"RegOpenKeyExW", 4, 1722, {deleted, "failed to open guid key: 1722"}, {1, 2}},
        {L"RegQueryValueExW", 1, 0, both, {1, 1}}, // another network's value unread
        {L"RegQueryValueExW", 2, 13, {notFound, deleted}, {2, 1}},
        {L"RegQueryValueExW", 3, 0, both, {1, 1}},
        {L"RegQueryValueExW", 4, 13, {deleted, notFound}, {1, 2}},
        {L"RegDeleteValueW", 1, 1722, {deleted, "Failed to set value : 1722", deleted}, {2, 1}},
        {L"RegDeleteValueW", 2, 1722, {deleted, deleted, "Failed to set value : 1722"}, {1, 2}},
        {L"OpenSCManagerW", 1, 1722, {stop, deleted}, {2, 1}},
        {L"OpenSCManagerW", 2, 1722, {deleted, start, deleted}, {1, 1}},
        {L"OpenSCManagerW", 3, 1722, {deleted, stop}, {1, 2}},
        {L"OpenSCManagerW", 4, 1722, {deleted, deleted, start}, {1, 1}},
        {L"OpenServiceW", 1, 1722, {stop, deleted}, {2, 1}},
        {L"OpenServiceW", 2, 1722, {deleted, start, deleted}, {1, 1}},
        {L"OpenServiceW", 3, 1722, {deleted, stop}, {1, 2}},
        {L"OpenServiceW", 4, 1722, {deleted, deleted, start}, {1, 1}},
        {L"ControlService", 1, 1722, {stop, deleted}, {2, 1}},
        {L"ControlService", 2, 1722, {deleted, stop}, {1, 2}},
        {L"StartServiceW", 1, 1722, {deleted, start, deleted}, {1, 1}},
        {L"StartServiceW", 2, 1722, {deleted, deleted, start}, {1, 1}},
    };
    XpSweep(
        platform_->library, "WZCRemoveProfile_XP_SP2", rows,
        [](int adapter) { return StoredSsids(adapter).size(); },
        [] {
            UseXpMachine(kMachine, 2);
            for (int i = 0; i < 2; ++i)
                WritePreferredList(Guid(i).c_str(), {NetworkRecord("A"), NetworkRecord("Net")});
        },
        [] { return RunHandler(WZCRemoveProfile_XP_SP2, "-delete", {"/SSID:Net"}); },
        {L"RegOpenKeyExW", L"RegQueryValueExW", L"RegDeleteValueW", L"OpenSCManagerW",
         L"OpenServiceW", L"ControlService", L"ChangeServiceConfigW", L"StartServiceW"});
}

} // namespace
