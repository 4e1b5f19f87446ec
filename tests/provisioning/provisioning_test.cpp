// The emulated wireless provisioning service, created and called the way the XP SP2 add
// handler does: CoInitialize, CoCreateInstance with context 0x17, CreateProfile, Release.
#include <windows.h>
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "provisioning_class.h"
#include "xp_testbed_state.h"

namespace {

typedef std::vector<uint8_t> Bytes;
typedef std::map<std::wstring, Bytes> EapolValues;

struct Outcome {
    HRESULT hr;
    ULONG status;
    bool operator==(const Outcome& o) const { return hr == o.hr && status == o.status; }
};

std::ostream& operator<<(std::ostream& out, const Outcome& o)
{
    return out << std::hex << "0x" << (unsigned long)o.hr << std::dec << ", status " << o.status;
}

GUID AdapterGuid(int adapter)
{
    GUID guid = {};
    CLSIDFromString(DefaultXpAdapters()[adapter].guid.c_str(), &guid);
    return guid;
}

Outcome Create(const wchar_t* document, GUID guid, const wchar_t* connection = nullptr)
{
    Outcome outcome = {E_UNEXPECTED, 0xdeadbeef};
    EXPECT_EQ(S_OK, CoInitialize(NULL));
    IProvisioningProfileWireless* service = nullptr;
    EXPECT_EQ(S_OK, CoCreateInstance(kClsidProvisioningService, NULL, 0x17,
                                     kIidProvisioningProfileWireless, (void**)&service));
    if (service) {
        outcome.hr = service->CreateProfile(const_cast<BSTR>(document),
                                            const_cast<BSTR>(connection), &guid, &outcome.status);
        service->Release();
    }
    CoUninitialize();
    return outcome;
}

Outcome CreateOn(int adapter, const std::wstring& document)
{
    BSTR text = SysAllocString(document.c_str());
    Outcome outcome = Create(text, AdapterGuid(adapter));
    SysFreeString(text);
    return outcome;
}

// The handler's document: children after one blank each, nullptr leaves a child out.
std::wstring Document(const wchar_t* ssid, const wchar_t* authentication, const wchar_t* encryption,
                      const wchar_t* key, const wchar_t* keyIndex, const wchar_t* automatic,
                      const wchar_t* oneX, const wchar_t* eapMethod)
{
    const wchar_t* ns = L"http://www.microsoft.com/provisioning/WirelessProfile";
    std::wstring text = std::wstring(L"<?xml version=\"1.0\"?> <wp:WirelessProfile xmlns=\"") + ns +
                        L"\" xmlns:wp=\"" + ns + L"\">";
    const std::pair<const wchar_t*, const wchar_t*> children[] = {
        {L"version", L"1"},           {L"ssid", ssid},
        {L"connectionType", L"ESS"},  {L"authentication", authentication},
        {L"encryption", encryption},  {L"networkKey", key},
        {L"keyIndex", keyIndex},      {L"keyProvidedAutomatically", automatic},
        {L"IEEE802.1XEnabled", oneX}, {L"EAPMethod", eapMethod}};
    for (const auto& child : children) {
        if (child.second)
            text += std::wstring(L" <wp:") + child.first + L">" + child.second + L"</wp:" +
                    child.first + L">";
    }
    return text + L" </wp:WirelessProfile>";
}

std::wstring Replace(std::wstring text, const std::wstring& from, const std::wstring& to)
{
    size_t at = text.find(from);
    EXPECT_NE(std::wstring::npos, at) << "no " << std::string(from.begin(), from.end());
    return at == std::wstring::npos ? text : text.replace(at, from.size(), to);
}

void PutU32(Bytes* bytes, size_t offset, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        (*bytes)[offset + i] = (uint8_t)(value >> (8 * i));
}

Bytes Record(const std::string& ssid, uint32_t privacy, uint32_t authentication, uint32_t flags = 0,
             uint32_t keyIndexField = 0, const Bytes& key = {})
{
    Bytes r(160, 0);
    PutU32(&r, 0, 160);
    PutU32(&r, 4, flags);
    PutU32(&r, 16, (uint32_t)ssid.size());
    std::copy(ssid.begin(), ssid.end(), r.begin() + 20);
    PutU32(&r, 52, privacy);
    PutU32(&r, 96, 1);
    PutU32(&r, 108, keyIndexField);
    PutU32(&r, 112, (uint32_t)key.size());
    std::copy(key.begin(), key.end(), r.begin() + 116);
    PutU32(&r, 148, authentication);
    return r;
}

Bytes EapolHeader(const std::string& ssid, uint32_t eapType)
{
    Bytes h(52, 0);
    PutU32(&h, 0, 5);
    PutU32(&h, 8, 0x80000000);
    PutU32(&h, 12, eapType);
    PutU32(&h, 16, (uint32_t)ssid.size());
    std::copy(ssid.begin(), ssid.end(), h.begin() + 20);
    return h;
}

Bytes Text(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

Bytes Join(Bytes first, const Bytes& second)
{
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

std::vector<Bytes> List(int adapter)
{
    std::vector<Bytes> records;
    EXPECT_EQ(0, ReadPreferredList(DefaultXpAdapters()[adapter].guid.c_str(), &records));
    return records;
}

EapolValues Eapol(int adapter)
{
    std::vector<std::pair<std::wstring, Bytes>> values;
    EXPECT_EQ(0, ReadEapolValues(DefaultXpAdapters()[adapter].guid.c_str(), &values));
    return EapolValues(values.begin(), values.end());
}

class Provisioning : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        SetEnvironmentVariableW(L"WLANPROV_TESTBED_STATE", L"provisioning_test");
        // The server beside this program registers the class as the build does.
        HMODULE server = LoadLibraryW(kProvisioningServerFile);
        ASSERT_NE(nullptr, server);
        auto reg = (HRESULT(WINAPI*)())(void*)GetProcAddress(server, "DllRegisterServer");
        ASSERT_EQ(S_OK, reg());
    }
    void SetUp() override { ASSERT_EQ(0, ResetXpState(DefaultXpAdapters())); }
    void TearDown() override { ClearXpFaults(); }
};

const Outcome kOk = {S_OK, 0};

struct AcceptCase {
    const char* name;
    std::wstring document;
    Bytes record;
    Bytes eapolHeader; // empty: no EAPOL value
};

TEST_F(Provisioning, EveryTemplateIsStoredAsItsRecord)
{
    const Bytes psk = {0xf4, 0x2c, 0x6f, 0xc5, 0x2d, 0xf0, 0xeb, 0xef, 0x9e, 0xbb, 0x4b,
                       0x90, 0xb3, 0x8a, 0x5f, 0x90, 0x2e, 0x83, 0xfe, 0x1b, 0x13, 0x5a,
                       0x70, 0xe2, 0x3a, 0xed, 0x76, 0x2e, 0x97, 0x10, 0xa1, 0x2e};
    const std::wstring hex64(32, L'a');
    const AcceptCase cases[] = {
        {"1: open", Document(L" Cafe  Co ", L"Open", L"None", 0, 0, L"0", L"0", 0),
         Record(" Cafe  Co ", 1, 0)},
        {"2: passphrase", Document(L"IEEE", L"WPA2PSK", L"AES", L"password", 0, L"0", L"0", 0),
         Record("IEEE", 6, 7, 1, 0, psk)},
        {"2: hex key",
         Document(L"N", L"WPAPSK", L"TKIP", (hex64 + std::wstring(32, L'F')).c_str(), 0, L"0", L"0",
                  0),
         Record("N", 4, 4, 3, 0, Join(Bytes(16, 0xaa), Bytes(16, 0xff)))},
        {"3: hex WEP", Document(L"Lab", L"Shared", L"WEP", L"0123456789", L"3", L"0", L"0", 0),
         Record("Lab", 0, 1, 3, 2, {0x01, 0x23, 0x45, 0x67, 0x89})},
        {"3: None", Document(L"Hall", L"Shared", L"None", L"ignored", L"1", L"0", L"0", 0),
         Record("Hall", 1, 1)},
        {"4: PEAP", Document(L"Corp", L"WPA2", L"AES", 0, 0, L"1", L"1", L"PEAP"),
         Record("Corp", 6, 6), EapolHeader("Corp", 25)},
        {"4: no method", Document(L"Corp", L"WPA", L"TKIP", 0, 0, L"1", L"1", L""),
         Record("Corp", 4, 3), EapolHeader("Corp", 13)},
        {"5: ASCII WEP",
         Document(L"W", L"Open", L"WEP", L"abcdefghijklm", L"4", L"0", L"1", L"EAP-TLS"),
         Record("W", 0, 0, 1, 3, Text("abcdefghijklm")), EapolHeader("W", 13)},
        {"5: automatic",
         Document(L"W", L"Open", L"WEP", L"twelve chars", L"1", L"1", L"1", L"PEAP"),
         Record("W", 0, 0), EapolHeader("W", 25)},
    };
    for (const AcceptCase& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(0, ResetXpState(DefaultXpAdapters()));
        EXPECT_EQ(kOk, CreateOn(0, c.document));
        EXPECT_EQ(std::vector<Bytes>{c.record}, List(0));
        EapolValues eapol;
        if (!c.eapolHeader.empty())
            eapol[L"1"] = c.eapolHeader;
        EXPECT_EQ(eapol, Eapol(0));
        EXPECT_TRUE(List(1).empty());
    }
}

struct RefuseCase {
    std::wstring document;
    ULONG status;
};

TEST_F(Provisioning, RefusedDocumentsWriteNothing)
{
    const std::wstring wep = Document(L"N", L"Open", L"WEP", L"abcde", L"1", L"0", L"0", nullptr);
    const RefuseCase cases[] = {
        {wep.substr(0, wep.size() - 2), 33},
        {Replace(wep, L"xmlns:wp=\"http://www.microsoft.com/provisioning/WirelessProfile\"",
                 L"xmlns:wp=\"http://www.microsoft.com/provisioning/WirelessProfile/v2\""),
         35},
        {Replace(wep, L"<wp:version>", L"<wp:profile/> <wp:version>"), 35},
        {Replace(wep, L"<wp:ssid>N</wp:ssid>", L"<wp:ssid>N</wp:ssid> <wp:ssid>M</wp:ssid>"), 35},
        {Replace(wep, L"<wp:version>1</wp:version> <wp:ssid>N</wp:ssid>",
                 L"<wp:ssid>N</wp:ssid> <wp:version>1</wp:version>"),
         35},
        {Replace(wep, L"<wp:ssid>N", L"<wp:ssid><wp:b>N</wp:b>"), 35},
        {Replace(wep, L"<wp:version>1</wp:version>", L"<version xmlns=\"urn:x\">1</version>"), 35},
        {Replace(wep, L" </wp:WirelessProfile>", L" text </wp:WirelessProfile>"), 35},
        {Replace(wep, L"<wp:version>1</wp:version>", L""), 1},
        {Replace(wep, L"<wp:version>1<", L"<wp:version>one<"), 2},
        {Replace(wep, L"<wp:version>1<", L"<wp:version>2<"), 3},
        {Replace(wep, L"<wp:ssid>N</wp:ssid>", L""), 4},
        {Document(std::wstring(33, L'S').c_str(), L"Open", L"None", 0, 0, L"0", L"0", 0), 5},
        {Replace(wep, L">ESS<", L">BSS<"), 6},
        {Document(L"N", L"open", L"None", 0, 0, L"0", L"0", 0), 7},
        {Document(L"N", L"Open", L"none", 0, 0, L"0", L"0", 0), 8},
        {Document(L"N", L"Open", L"None", 0, 0, L"2", L"0", 0), 9},
        {Document(L"N", L"Open", L"None", 0, 0, L"0", L"TRUE", 0), 10},
        {Document(L"N", L"WPA2", L"AES", 0, 0, L"1", L"1", L"TLS"), 11},
        {Replace(wep, L">1</wp:keyIndex>", L">x</wp:keyIndex>"), 12},
        {Replace(wep, L">1</wp:keyIndex>", L">5</wp:keyIndex>"), 13},
        {Replace(wep, L">abcde<", L">abcdefg<"), 14},
        {Replace(wep, L">abcde<", L">abcdefghij<"), 14},
        {Replace(Document(L"N", L"WPA2PSK", L"AES", L"password", 0, L"0", L"0", 0), L">ESS<",
                 L">IBSS<"),
         15},
        {Document(L"N", L"Open", L"AES", 0, 0, L"0", L"0", 0), 16},
        {Document(L"N", L"WPAPSK", L"TKIP", 0, 0, L"0", L"0", 0), 17},
        {Document(L"N", L"Open", L"WEP", L"abcde", 0, L"0", L"0", 0), 18},
        {Document(L"N", L"WPAPSK", L"TKIP", L"password", L"1", L"0", L"0", 0), 19},
        {Document(L"N", L"Shared", L"None", 0, 0, L"0", L"1", L"PEAP"), 20},
        {Document(L"N", L"WPA2PSK", L"AES", L"password", 0, L"0", L"1", L"PEAP"), 21},
        {Document(L"N", L"WPA2", L"AES", 0, 0, L"1", L"1", 0), 23},
        {Document(L"N", L"Open", L"None", 0, 0, L"0", L"0", L""), 24},
    };
    for (const RefuseCase& c : cases) {
        SCOPED_TRACE(std::string(c.document.begin(), c.document.end()));
        EXPECT_EQ((Outcome{E_INVALIDARG, c.status}), CreateOn(0, c.document));
    }
    EXPECT_TRUE(List(0).empty());
    EXPECT_TRUE(Eapol(0).empty());
}

TEST_F(Provisioning, DuplicateSsidIsRefusedOnThatAdapterOnly)
{
    const std::wstring first = Document(L"Dup", L"Open", L"None", 0, 0, L"0", L"0", 0);
    const std::wstring other = Document(L"Other", L"Open", L"None", 0, 0, L"0", L"0", 0);
    const std::wstring again = Document(L"Dup", L"Shared", L"WEP", L"abcde", L"1", L"0", L"0", 0);
    EXPECT_EQ(kOk, CreateOn(0, first));
    EXPECT_EQ(kOk, CreateOn(0, other));
    EXPECT_EQ((Outcome{E_FAIL, 27}), CreateOn(0, again));
    EXPECT_EQ((std::vector<Bytes>{Record("Dup", 1, 0), Record("Other", 1, 0)}), List(0));
    EXPECT_EQ(kOk, CreateOn(1, again));
    EXPECT_EQ(std::vector<Bytes>{Record("Dup", 0, 1, 1, 0, Text("abcde"))}, List(1));
}

struct EapolCase {
    std::vector<std::wstring> namesOfOtherSsids;
    bool sameSsidAt2;
    Outcome outcome;
    const wchar_t* written;
};

TEST_F(Provisioning, EapolValueTakesTheSsidsNameOrTheNextFreeOne)
{
    std::vector<std::wstring> all;
    for (int i = 1; i <= 31; ++i)
        all.push_back(std::to_wstring(i));
    const EapolCase cases[] = {
        {{L"1", L"3", L"32"}, false, kOk, L"2"},
        {{L"1", L"3"}, true, kOk, L"2"},
        {all, false, {E_FAIL, 30}, nullptr},
    };
    const std::wstring guid = DefaultXpAdapters()[0].guid;
    const Bytes withItems = Join(EapolHeader("Corp", 25), Bytes(12, 7));
    for (const EapolCase& c : cases) {
        ASSERT_EQ(0, ResetXpState(DefaultXpAdapters()));
        for (const std::wstring& name : c.namesOfOtherSsids)
            ASSERT_EQ(0, WriteEapolValue(guid.c_str(), name.c_str(), EapolHeader("Else", 13)));
        if (c.sameSsidAt2) {
            ASSERT_EQ(0, WriteEapolValue(guid.c_str(), L"2", withItems));
        }
        EapolValues expected = Eapol(0);
        EXPECT_EQ(c.outcome,
                  CreateOn(0, Document(L"Corp", L"WPA2", L"AES", 0, 0, L"1", L"1", L"PEAP")));
        if (c.written)
            expected[c.written] = EapolHeader("Corp", 25);
        EXPECT_EQ(expected, Eapol(0));
        EXPECT_EQ(c.written ? 1u : 0u, List(0).size());
    }
}

TEST_F(Provisioning, CallsRefusedBeforeTheDocument)
{
    const std::wstring doc = Document(L"F", L"Open", L"None", 0, 0, L"0", L"0", 0);
    ASSERT_EQ(0, SetXpFault(L"CreateProfile", 1, ERROR_ACCESS_DENIED));
    EXPECT_EQ((Outcome{HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED), 0}), CreateOn(1, doc));
    EXPECT_EQ(kOk, CreateOn(0, doc));
    ASSERT_EQ(0, SetXpFault(L"CreateProfile", -1, (DWORD)E_OUTOFMEMORY));
    EXPECT_EQ((Outcome{E_OUTOFMEMORY, 0}), CreateOn(0, doc));
    ClearXpFaults();
    GUID unknown = AdapterGuid(0);
    unknown.Data1 ^= 1;
    EXPECT_EQ((Outcome{HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND), 0}), Create(doc.c_str(), unknown));
    EXPECT_EQ((Outcome{E_NOTIMPL, 32}), Create(doc.c_str(), AdapterGuid(1), L"<x/>"));
    EXPECT_EQ((Outcome{E_INVALIDARG, 0}), Create(nullptr, AdapterGuid(1)));
    EXPECT_TRUE(List(1).empty());
    // Plain zero-terminated text, as wlanprov hands it, behind a length word that lies.
    std::wstring plain = L"\xFFFF\xFFFF" + doc;
    EXPECT_EQ(kOk, Create(plain.c_str() + 2, AdapterGuid(1)));
    EXPECT_EQ(std::vector<Bytes>{Record("F", 1, 0)}, List(1));
}

TEST_F(Provisioning, ClassIsRegisteredByFullPathWithBothThreadingModels)
{
    const wchar_t* key =
        L"Software\\Classes\\CLSID\\{2AA2B5FE-B846-4D07-810C-B21EE45320E3}\\InprocServer32";
    wchar_t value[MAX_PATH] = L"", self[MAX_PATH] = L"";
    DWORD bytes = sizeof(value);
    EXPECT_EQ(0, RegGetValueW(HKEY_LOCAL_MACHINE, key, nullptr, RRF_RT_REG_SZ, nullptr, value,
                              &bytes));
    GetModuleFileNameW(GetModuleHandleW(kProvisioningServerFile), self, MAX_PATH);
    EXPECT_STREQ(self, value);
    bytes = sizeof(value);
    EXPECT_EQ(0, RegGetValueW(HKEY_LOCAL_MACHINE, key, L"ThreadingModel", RRF_RT_REG_SZ, nullptr,
                              value, &bytes));
    EXPECT_STREQ(L"Both", value);
}

} // namespace
