// WZC_XP_SP1 and WZCRemoveProfile_XP_SP1 in-process against the emulated XP SP1 client
// library; the pass-phrase key against the IEEE 802.11i test vectors.
#include <gtest/gtest.h>

#include <cstring>

#include "globals.h"
#include "handler_run.h"
#include "handlers.h"
#include "import_faults.h"
#include "passphrase_key.h"
#include "test_support.h"
#include "xp_test_support.h"

namespace {

const wchar_t kMachine[] = L"xpsp1_handlers_test";
const char kName[] = "WZC_XP_SP1";

Bytes Hex(const char* text)
{
    Bytes bytes;
    for (; text[0] && text[1]; text += 2)
        bytes.push_back((uint8_t)strtoul(std::string(text, 2).c_str(), nullptr, 16));
    return bytes;
}

// The network record the handler builds: privacy, authentication, control flags, key index
// field and key bytes on top of NetworkRecord.
Bytes Record(const std::string& ssid, uint8_t privacy, uint8_t auth, uint8_t flags = 0,
             uint8_t index = 0, const Bytes& key = {})
{
    Bytes r = NetworkRecord(ssid);
    r[4] = flags, r[52] = privacy, r[148] = auth, r[108] = index, r[112] = (uint8_t)key.size();
    std::copy(key.begin(), key.end(), r.begin() + 116);
    return r;
}

std::vector<Bytes> List(int adapter)
{
    std::vector<Bytes> records;
    EXPECT_EQ(0, ReadPreferredList(Guid(adapter).c_str(), &records));
    return records;
}

// EAP flags and type of the SSID's interface parameters (@8, @12), or -1 when never set.
std::pair<int64_t, int64_t> Params(int adapter, const std::string& ssid)
{
    Bytes p;
    if (ReadXpEapolParams(adapter, (const uint8_t*)ssid.data(), (uint32_t)ssid.size(), &p) != 0)
        return {-1, -1};
    uint32_t flags, type;
    memcpy(&flags, &p[8], 4);
    memcpy(&type, &p[12], 4);
    return {flags, type};
}

class XpSp1 : public ::testing::Test {
protected:
    void SetUp() override
    {
        UseXpMachine(kMachine, 2);
        platform_ = new Platform(L"xpsp1-1276");
    }
    void TearDown() override
    {
        delete platform_;
        ClearXpFaults();
        g_bDebugLog = 0;
    }
    Platform* platform_;
};

TEST(PassphraseKey, IeeeTestVectors)
{
    const struct {
        const char *phrase, *ssid, *key;
    } vectors[] = {
        {"password", "IEEE", "f42c6fc52df0ebef9ebb4b90b38a5f902e83fe1b135a70e23aed762e9710a12e"},
        {"ThisIsAPassword", "ThisIsASSID",
         "0dc0d6eb90555ed6419756b9a15ec3e3209b63df707dd508d14581f8982721af"},
        {"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", "ZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZ",
         "becb93866bb8c3832cb777c2f559807c8c59afcb6eae734885001300a981cc62"},
    };
    for (const auto& v : vectors) {
        BYTE key[PASSPHRASE_KEY_BYTES];
        ASSERT_EQ(0u, DerivePassphraseKey((const BYTE*)v.phrase, (DWORD)strlen(v.phrase),
                                          (const BYTE*)v.ssid, (DWORD)strlen(v.ssid), key));
        EXPECT_EQ(Hex(v.key), Bytes(key, key + 32)) << v.phrase;
    }
}

TEST_F(XpSp1, RecordsReachTheHeadOfEveryList)
{
    const std::string hex64(64, 'a'), kDoubleByte16 = [] {
        std::string s;
        for (int i = 0; i < 16; ++i)
            s += "\x93\xfa"; // U+65E5 in code page 932
        return s;
    }();
    const struct {
        std::string options;
        std::string line; // after the echo, before the adapters
        Bytes record;
        int64_t eapType;
    } cases[] = {
        {"S=Psk A=WPAPSK E=TKIP K="
         "aAaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa",
         "the key is entered as hexadecimal digits", Record("Psk", 4, 4, 3, 0, Bytes(32, 0xaa)),
         13},
        {"S=Psk A=WPAPSK E=TKIP K=123456789", "",
         Record("Psk", 4, 4, 1, 0, Bytes{'1', '2', '3', '4', '5', '6', '7', '8', '9'}), 13},
        {"S=Home A=WPAPSK E=AES K=a_pass_phrase_longer_than_thirty-two!!!!",
         "the pass phrase is stored as its 256-bit key",
         Record("Home", 6, 4, 3, 0,
                Hex("72d5755ccec1529a78fffcf9f3697e0c98cc26f765d6d6cfae349297e197c291")),
         13},
        {"S=Wep A=Shared E=WEP K=0A1b2C3d4E I=3", "the key is entered as hexadecimal digits",
         Record("Wep", 0, 1, 3, 2, Hex("0A1B2C3D4E")), 13},
        {"S=Auto A=Open E=WEP P=TRUE", "", Record("Auto", 0, 0), 13},
        {"S=Plain A=Shared E=None K=abcde", "",
         Record("Plain", 1, 1, 1, 0, Bytes{'a', 'b', 'c', 'd', 'e'}), 13},
        {"S=Corp A=WPA E=TKIP P=TRUE X=TRUE T=PEAP N=MSCHAPv2 M=TRUE G=TRUE", "",
         Record("Corp", 4, 3), 25},
        // 32 bytes: 16 double-byte characters under code page 932 (see CMakeLists.txt)
        {"S=" + kDoubleByte16 + " A=Open E=None", "", Record(kDoubleByte16, 1, 0), 13},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.options);
        UseXpMachine(kMachine, 2);
        WritePreferredList(Guid(1).c_str(),
                           {NetworkRecord("Other"),
                            NetworkRecord(std::string((const char*)&c.record[20], c.record[16]))});
        std::vector<std::string> options = Options(c.options);
        for (std::string& o : options) // blanks of the key, written as underscores above
            if (o.compare(0, 12, "/NetworkKey:") == 0)
                std::replace(o.begin(), o.end(), '_', ' ');
        // No block is released holding the stored key: ours, nor the client library's list,
        // which holds it too when the network is added again. A key stored as typed is left out,
        // as the command line's own copies hold it.
        std::string key((const char*)&c.record[116], c.record[112]);
        if (std::string(c.options).find(key) != std::string::npos)
            key.clear();
        HandlerRun run, again;
        {
            ImportFaults frees(GetModuleHandleW(nullptr), kSweptCallCount, 0, key);
            run = RunHandler(WZC_XP_SP1, "-add", options);
            again = RunHandler(WZC_XP_SP1, "-add", options);
            EXPECT_EQ(0, frees.SecretsFreed());
        }
        EXPECT_EQ(0u, again.result);
        EXPECT_EQ(0u, run.result);
        bool wpa = c.record[148] >= 3, oneX = c.eapType == 25;
        std::string adapter = std::string(wpa ? "WZC_XP_SP1 :: WPA is supported\n" : "") +
                              (oneX ? "WZC_XP_SP1 :: Modify the registry to setup EAP entry\n"
                                      "WZC_XP_SP1 :: Setting entry 1\n"
                                    : "");
        EXPECT_EQ((c.line.empty() ? "" : Lines({c.line}, kName)) + adapter + adapter,
                  AfterEcho(run.output));
        EXPECT_EQ((std::vector<Bytes>{c.record}), List(0));
        EXPECT_EQ((std::vector<Bytes>{c.record, NetworkRecord("Other")}), List(1));
        std::string ssid((const char*)&c.record[20], c.record[16]);
        int64_t flags = oneX ? 0xE0000000 : 0;
        EXPECT_EQ(std::make_pair(flags, c.eapType), Params(1, ssid));
        if (oneX) {
            Bytes entry = Entry(EAPOL_LAYOUT_PEAP_MSCHAPV2, ssid, {}, true, true);
            entry[0] = 3;
            EXPECT_EQ(entry, EapolValue(1, L"1"));
        }
    }
}

TEST_F(XpSp1, RefusalsAndFailures)
{
    const char kWep[] = "S=Net A=Open E=WEP K=0102030405";
    const struct {
        const char* options;
        const wchar_t* fault;
        int adapter;
        DWORD code, result;
        std::string lines; // after the echo (or the whole output when there is none)
        size_t stored[2];
    } cases[] = {
        {"S=Net A=Open E=WEP K=01020304zz",
         nullptr,
         0,
         0,
         13,
         "WZC_XP_SP1 :: [NetworkKey] : invalid input\n",
         {0, 0}},
        {"S=Net A=WPAPSK E=TKIP K="
         "0123456789abcdef0123456789abcdef0123456789abcdef0123456789abcdeg",
         nullptr,
         0,
         0,
         13,
         "WZC_XP_SP1 :: [NetworkKey] : invalid input\n",
         {0, 0}},
        {kWep,
         L"WZCSetInterface",
         0,
         1722,
         1722,
         "WZC_XP_SP1 :: the key is entered as hexadecimal digits\n",
         {0, 1}},
        {kWep,
         L"WZCEapolSetInterfaceParams",
         1,
         5,
         5,
         "WZC_XP_SP1 :: the key is entered as hexadecimal digits\n",
         {1, 1}},
        {"S=Net A=WPA E=TKIP P=TRUE X=TRUE T=EAP-TLS",
         L"WZCSetInterface",
         0,
         1722,
         110,
         Lines({"WPA is supported", "Modify the registry to setup EAP entry",
                "failed to open interfaces key: #", "WPA is supported",
                "Modify the registry to setup EAP entry", "Setting entry 1"},
               kName),
         {0, 1}},
        {"S=Net A=Open E=WEP P=TRUE X=TRUE",
         nullptr,
         0,
         0,
         13,
         Lines({"Modify the registry to setup EAP entry", "Setting entry 1", "wrong data"}, kName),
         {1, 0}},
        {"S=Net A=WPAPSK E=TKIP K=12345678", L"WZCEnumInterfaces", -1, 1722, 1722, "", {0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.options);
        UseXpMachine(kMachine, 2);
        if (c.fault)
            SetXpFault(c.fault, c.adapter, c.code);
        HandlerRun run = RunHandler(WZC_XP_SP1, "-add", Options(c.options));
        ClearXpFaults();
        EXPECT_EQ(c.result, run.result);
        EXPECT_EQ(c.lines, Normalised(AfterEcho(run.output)));
        for (int i = 0; i < 2; ++i)
            EXPECT_EQ(c.stored[i], List(i).size()) << i;
    }
}

TEST_F(XpSp1, RemovalKeepsTheOthersInOrderAndNeverHidesAFailure)
{
    const struct {
        std::vector<std::string> lists[2];
        const wchar_t* fault;
        DWORD result;
        std::vector<std::string> left[2];
    } cases[] = {
        {{{"A", "Net", "B"}, {"Net"}}, nullptr, 0, {{"A", "B"}, {}}},
        {{{"Net"}, {"A", "net"}}, nullptr, 232, {{}, {"A", "net"}}},
        {{{"A", "Net"}, {"Net"}}, L"WZCSetInterface", 1722, {{"A", "Net"}, {}}},
    };
    for (const auto& c : cases) {
        UseXpMachine(kMachine, 2);
        for (int i = 0; i < 2; ++i) {
            std::vector<Bytes> records;
            for (const std::string& ssid : c.lists[i])
                records.push_back(NetworkRecord(ssid));
            WritePreferredList(Guid(i).c_str(), records);
        }
        WriteEapolValue(Guid(0).c_str(), L"1", EapolHeader("Net"));
        if (c.fault)
            SetXpFault(c.fault, 0, 1722);
        HandlerRun run = RunHandler(WZCRemoveProfile_XP_SP1, "-delete", {"/SSID:Net"});
        ClearXpFaults();
        EXPECT_EQ(c.result, run.result);
        EXPECT_EQ("WZCRemoveProfile_XP_SP1 :: input parameter: SSID : Net\n", run.output);
        for (int i = 0; i < 2; ++i)
            EXPECT_EQ(c.left[i], StoredSsids(i)) << i;
        EXPECT_EQ(EapolHeader("Net"), EapolValue(0, L"1"));
    }
}

} // namespace

namespace {

// Every client library call of the XP SP1 handlers failed once at each position of a run on two
// adapters: code, lines, what each adapter's list holds, blocks handed out, heap.
size_t Stored(int adapter)
{
    return List(adapter).size();
}

TEST_F(XpSp1, FaultSweepOfAnEapTlsAdd)
{
    const std::string wpa = "WPA is supported", modify = "Modify the registry to setup EAP entry",
                      set = "Setting entry 1", skipped = "failed to open interfaces key: #",
                      guidFailed = "failed to open guid key: 1722",
                      setFailed = "Failed to set value: 1722";
    const std::vector<std::string> firstFails = {wpa, modify, skipped, wpa, modify, set},
                                   secondFails = {wpa, modify, set, wpa, modify, skipped};
    const std::vector<XpSweepRow> rows = {
        {L"WZCEnumInterfaces", 1, 1722, {}, {0, 0}},
        {L"WZCQueryInterface", 1, 50, {"ERROR!! WPA is not supported"}, {0, 0}},
        {L"WZCQueryInterface", 2, 110, firstFails, {0, 1}},
        {L"WZCQueryInterface", 3, 50, {wpa, modify, set, "ERROR!! WPA is not supported"}, {1, 0}},
        {L"WZCQueryInterface", 4, 110, secondFails, {1, 0}},
        {L"WZCSetInterface", 1, 110, firstFails, {0, 1}},
        {L"WZCSetInterface", 2, 110, secondFails, {1, 0}},
        {L"WZCEapolGetInterfaceParams", 1, 110, firstFails, {1, 1}},
        {L"WZCEapolGetInterfaceParams", 2, 110, secondFails, {1, 1}},
        {L"WZCEapolSetInterfaceParams", 1, 110, firstFails, {1, 1}},
        {L"WZCEapolSetInterfaceParams", 2, 110, secondFails, {1, 1}},
        {L"WZCEapolSetCustomAuthData", 1, 110, firstFails, {1, 1}},
        {L"WZCEapolSetCustomAuthData", 2, 110, secondFails, {1, 1}},
        {L"RegOpenKeyExW", 1, 110, firstFails, {1, 1}},
        {L"RegOpenKeyExW", 2, 1722, {wpa, modify, guidFailed, wpa, modify, set}, {1, 1}},
        {L"RegOpenKeyExW", 3, 110, secondFails, {1, 1}},
        {L"RegOpenKeyExW", 4, 1722, {wpa, modify, set, wpa, modify, guidFailed}, {1, 1}},
        // a value that cannot be read is passed over, not taken as free
        {L"RegQueryValueExW", 1, 0, {wpa, modify, "Setting entry 2", wpa, modify, set}, {1, 1}},
        {L"RegQueryValueExW", 2, 0, {wpa, modify, set, wpa, modify, "Setting entry 2"}, {1, 1}},
        {L"RegSetValueExW", 1, 1722, {wpa, modify, set, setFailed, wpa, modify, set}, {1, 1}},
        {L"RegSetValueExW", 2, 1722, {wpa, modify, set, wpa, modify, set, setFailed}, {1, 1}},
    };
    XpSweep(
        platform_->library, kName, rows, Stored, [] { UseXpMachine(kMachine, 2); },
        [] {
            return RunHandler(WZC_XP_SP1, "-add",
                              Options("S=Net A=WPA E=TKIP P=TRUE X=TRUE T=EAP-TLS"));
        },
        {L"RegOpenKeyExW", L"RegCreateKeyExW", L"RegQueryValueExW", L"RegSetValueExW"});
}

TEST_F(XpSp1, FaultSweepOfADelete)
{
    const std::vector<XpSweepRow> rows = {
        {L"WZCEnumInterfaces", 1, 1722, {}, {2, 2}}, {L"WZCQueryInterface", 1, 1722, {}, {2, 1}},
        {L"WZCQueryInterface", 2, 1722, {}, {1, 2}}, {L"WZCSetInterface", 1, 1722, {}, {2, 1}},
        {L"WZCSetInterface", 2, 1722, {}, {1, 2}},
    };
    XpSweep(
        platform_->library, "WZCRemoveProfile_XP_SP1", rows, Stored,
        [] {
            UseXpMachine(kMachine, 2);
            for (int i = 0; i < 2; ++i)
                WritePreferredList(Guid(i).c_str(), {NetworkRecord("A"), NetworkRecord("Net")});
        },
        [] { return RunHandler(WZCRemoveProfile_XP_SP1, "-delete", {"/SSID:Net"}); });
}

} // namespace
