// The byte formats of the XP SP2 back end: EAPOL entries, the stored-SSID comparison and the
// WirelessProfile documents.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "eapol_entry.h"
#include "wireless_profile.h"

namespace {

// An expected byte string, written field by field.
struct Bytes {
    std::vector<uint8_t> data;
    Bytes& U32(uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            data.push_back((uint8_t)(v >> (8 * i)));
        return *this;
    }
    Bytes& Zeros(size_t n)
    {
        data.insert(data.end(), n, 0);
        return *this;
    }
    Bytes& Raw(const void* p, size_t n)
    {
        data.insert(data.end(), (const uint8_t*)p, (const uint8_t*)p + n);
        return *this;
    }
    Bytes& Hash(const uint8_t* thumbprint) { return U32(20).Raw(thumbprint, 20); }
    Bytes& Header(uint32_t version, uint32_t flags, uint32_t type, const std::string& ssid)
    {
        U32(version).U32(0).U32(flags).U32(type).U32((uint32_t)ssid.size()).Raw(ssid.data(), ssid.size());
        return Zeros(32 - ssid.size());
    }
    Bytes& DefaultTls() { return U32(13).U32(40).U32(0).U32(40).U32(5).Zeros(28).U32(0); }
};

uint8_t kRoots[10][20];

struct EntryCase {
    const char* name;
    EapolLayout layout;
    uint32_t version;
    bool machine, guest;
    std::string ssid;
    EapRecordInput record;
    std::vector<uint8_t> expected;
};

std::vector<uint8_t> Build(const EntryCase& c)
{
    EapolEntryInput input = {c.version, c.layout, c.machine, c.guest,
                             (const uint8_t*)c.ssid.data(), (uint32_t)c.ssid.size(), c.record};
    uint8_t* entry = nullptr;
    uint32_t size = 0;
    EXPECT_EQ(0u, BuildEapolEntry(&input, &entry, &size));
    std::vector<uint8_t> bytes(entry, entry + size);
    free(entry);
    return bytes;
}

TEST(EapolEntry, EveryLayoutByteForByte)
{
    for (int i = 0; i < 10; ++i)
        for (int b = 0; b < 20; ++b)
            kRoots[i][b] = (uint8_t)(0x10 * i + b + 1);
    Bytes tls3 = Bytes().Header(5, 0x80000000, 13, "Corp").U32(13).U32(90)
                     .U32(2).U32(90).U32(0x15).Hash(kRoots[0]).Zeros(2).U32(3)
                     .Hash(kRoots[1]).Hash(kRoots[2]).U32(0);
    Bytes tls10 = Bytes().Header(5, 0x80000000, 13, "Corp").U32(13).U32(258)
                      .U32(2).U32(258).U32(0x15).Hash(kRoots[0]).Zeros(2).U32(10);
    for (int i = 1; i < 10; ++i)
        tls10.Hash(kRoots[i]);
    tls10.U32(0);
    const std::string ssid32(32, 'S');
    const EntryCase cases[] = {
        {"EAP-TLS, no root", EAPOL_LAYOUT_TLS, 5, false, false, "Corp", {kRoots, 0, false},
         Bytes().Header(5, 0x80000000, 13, "Corp").U32(13).U32(42)
             .U32(2).U32(42).U32(0x17).Zeros(26).U32(0).U32(0).data},
        {"EAP-TLS, one root", EAPOL_LAYOUT_TLS, 5, false, false, "Corp", {kRoots, 1, true},
         Bytes().Header(5, 0x80000000, 13, "Corp").U32(13).U32(42)
             .U32(2).U32(42).U32(0x15).Hash(kRoots[0]).Zeros(2).U32(1).U32(0).data},
        {"EAP-TLS, three roots", EAPOL_LAYOUT_TLS, 5, false, false, "Corp", {kRoots, 3, true},
         tls3.data},
        {"EAP-TLS, ten roots", EAPOL_LAYOUT_TLS, 5, false, false, "Corp", {kRoots, 10, true},
         tls10.data},
        {"PEAP/GTC, two roots", EAPOL_LAYOUT_PEAP_GTC, 5, false, false, "Office",
         {kRoots, 2, true},
         Bytes().Header(5, 0x80000000, 25, "Office").DefaultTls().U32(25).U32(102)
             .U32(1).U32(102).U32(1).U32(0).U32(1).U32(69).U32(0x15).U32(2)
             .Hash(kRoots[0]).Hash(kRoots[1]).Zeros(2).U32(1).U32(15).U32(6).Zeros(8).U32(0).data},
        {"PEAP/MSCHAPv2, logon and fast reconnect, machine and guest", EAPOL_LAYOUT_PEAP_MSCHAPV2,
         5, true, true, "Office", {kRoots, 0, false, true, true},
         Bytes().Header(5, 0xE0000000, 25, "Office").DefaultTls().U32(25).U32(62)
             .U32(1).U32(62).U32(1).U32(1).U32(1).U32(21).U32(0x17).U32(0)
             .Zeros(2).U32(1).U32(23).U32(26).U32(1).U32(2).Zeros(8).U32(0).data},
        {"SecureW2, guest, 32-byte SSID", EAPOL_LAYOUT_SECUREW2, 5, false, true, ssid32,
         {kRoots, 0, false},
         Bytes().Header(5, 0xA0000000, 21, ssid32).DefaultTls().data},
        {"header version 3", EAPOL_LAYOUT_TLS, 3, true, false, "Lab", {kRoots, 0, false},
         Bytes().Header(3, 0xC0000000, 13, "Lab").U32(13).U32(42)
             .U32(2).U32(42).U32(0x17).Zeros(26).U32(0).U32(0).data},
    };
    const size_t sizes[] = {106, 106, 154, 322, 218, 178, 104, 106};
    for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
        SCOPED_TRACE(cases[i].name);
        std::vector<uint8_t> entry = Build(cases[i]);
        EXPECT_EQ(sizes[i], entry.size());
        EXPECT_EQ(cases[i].expected, entry);
    }
}

TEST(EapolEntry, RefusesWhatHasNoLayoutAndLeavesOutputs)
{
    uint8_t* entry = (uint8_t*)0xdeadbeef;
    uint32_t size = 0xdeadbeef;
    EapolEntryInput input = {5, EAPOL_LAYOUT_NONE, false, false, (const uint8_t*)"A", 1,
                             {kRoots, 0, false}};
    EXPECT_EQ((uint32_t)EAP_RECORD_INVALID_PARAMETER, BuildEapolEntry(&input, &entry, &size));
    input = {5, EAPOL_LAYOUT_TLS, false, false, (const uint8_t*)"A", 0, {kRoots, 0, false}};
    EXPECT_EQ((uint32_t)EAP_RECORD_INVALID_PARAMETER, BuildEapolEntry(&input, &entry, &size));
    input = {5, EAPOL_LAYOUT_PEAP_GTC, false, false, (const uint8_t*)"A", 1, {kRoots, 11, true}};
    EXPECT_EQ((uint32_t)EAP_RECORD_INVALID_PARAMETER, BuildEapolEntry(&input, &entry, &size));
    EXPECT_EQ((uint8_t*)0xdeadbeef, entry);
    EXPECT_EQ(0xdeadbeefu, size);
}

TEST(EapolEntry, LayoutByEapTypeAndInnerMethod)
{
    struct {
        const wchar_t* type;
        const wchar_t* inner;
        unsigned allowed;
        EapolLayout layout;
    } const cases[] = {
        {L"EAP-TLS", L"", EAPOL_LAYOUTS_ALL, EAPOL_LAYOUT_TLS},
        {L"PEAP", L"GTC", EAPOL_LAYOUTS_ALL, EAPOL_LAYOUT_PEAP_GTC},
        {L"PEAP", L"MSCHAPv2", EAPOL_LAYOUTS_TLS_AND_PEAP, EAPOL_LAYOUT_PEAP_MSCHAPV2},
        {L"SecureW2", L"", EAPOL_LAYOUTS_ALL, EAPOL_LAYOUT_SECUREW2},
        {L"SecureW2", L"", EAPOL_LAYOUTS_TLS_AND_PEAP, EAPOL_LAYOUT_NONE},
        {L"PEAP", L"", EAPOL_LAYOUTS_ALL, EAPOL_LAYOUT_NONE},
        {L"", L"", EAPOL_LAYOUTS_ALL, EAPOL_LAYOUT_NONE},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.layout, EapolLayoutFor(c.type, c.inner, c.allowed)) << c.type << c.inner;
}

TEST(EapolEntry, StoredSsidComparison)
{
    Bytes stored = Bytes().Header(5, 0, 0, std::string(32, 'S'));
    Bytes office = Bytes().Header(5, 0, 0, "Office");
    struct {
        const std::vector<uint8_t>& value;
        size_t bytes;
        std::string ssid;
        StoredSsidMatch match;
    } const cases[] = {
        {stored.data, stored.data.size(), std::string(32, 'S'), STORED_SSID_MATCH},
        {stored.data, stored.data.size(), std::string(31, 'S'), STORED_SSID_LENGTH_MISMATCH},
        {office.data, office.data.size(), "Office", STORED_SSID_MATCH},
        {office.data, office.data.size(), "office", STORED_SSID_VALUE_MISMATCH},
        {office.data, 24, "Office", STORED_SSID_VALUE_MISMATCH},   // cut short: the rest is zero
        {office.data, 10, "Office", STORED_SSID_LENGTH_MISMATCH},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.match, MatchStoredSsid(c.value.data(), c.bytes,
                                           (const uint8_t*)c.ssid.data(), (uint32_t)c.ssid.size()))
            << c.ssid << " over " << c.bytes;
}

// The document with these children, as the provisioning service receives it.
std::wstring Document(const std::vector<std::pair<std::wstring, std::wstring>>& children)
{
    std::wstring text = L"<?xml version=\"1.0\"?> <wp:WirelessProfile xmlns=\"http://www.microsoft.com/"
                        L"provisioning/WirelessProfile\" xmlns:wp=\"http://www.microsoft.com/"
                        L"provisioning/WirelessProfile\">";
    for (const auto& child : children)
        text += L" <wp:" + child.first + L">" + child.second + L"</wp:" + child.first + L">";
    return text + L" </wp:WirelessProfile>";
}

struct DocumentCase {
    const char* name;
    WirelessProfileValues values;
    std::wstring expected;
};

TEST(WirelessProfile, FiveTemplatesAndEscapedValues)
{
    const std::wstring key64(64, L'k');
    const std::wstring ssid32(32, L's');
    const DocumentCase cases[] = {
        {"1: no 802.1X, no key", {L"Lobby", L"Open", L"None", L"", 1, 0, 0, L""},
         Document({{L"version", L"1"}, {L"ssid", L"Lobby"}, {L"connectionType", L"ESS"},
                   {L"authentication", L"Open"}, {L"encryption", L"None"},
                   {L"keyProvidedAutomatically", L"0"}, {L"IEEE802.1XEnabled", L"0"}})},
        {"2: pass phrase", {L"Home", L"WPA2PSK", L"TKIP", key64.c_str(), 3, 0, 0, L""},
         Document({{L"version", L"1"}, {L"ssid", L"Home"}, {L"connectionType", L"ESS"},
                   {L"authentication", L"WPA2PSK"}, {L"encryption", L"TKIP"},
                   {L"networkKey", key64}, {L"keyProvidedAutomatically", L"0"},
                   {L"IEEE802.1XEnabled", L"0"}})},
        {"3: network key", {L"Lab", L"Shared", L"WEP", L"abcde", 4, 0, 0, L""},
         Document({{L"version", L"1"}, {L"ssid", L"Lab"}, {L"connectionType", L"ESS"},
                   {L"authentication", L"Shared"}, {L"encryption", L"WEP"},
                   {L"networkKey", L"abcde"}, {L"keyIndex", L"4"},
                   {L"keyProvidedAutomatically", L"0"}, {L"IEEE802.1XEnabled", L"0"}})},
        {"4: 802.1X without key", {L"Corp", L"WPA", L"AES", L"", 1, 1, 1, L"PEAP"},
         Document({{L"version", L"1"}, {L"ssid", L"Corp"}, {L"connectionType", L"ESS"},
                   {L"authentication", L"WPA"}, {L"encryption", L"AES"},
                   {L"keyProvidedAutomatically", L"1"}, {L"IEEE802.1XEnabled", L"1"},
                   {L"EAPMethod", L"PEAP"}})},
        {"5: 802.1X with key, longest", {ssid32.c_str(), L"Shared", L"WEP", key64.c_str(), 1, 1, 1,
                                         L"EAP-TLS"},
         Document({{L"version", L"1"}, {L"ssid", ssid32}, {L"connectionType", L"ESS"},
                   {L"authentication", L"Shared"}, {L"encryption", L"WEP"},
                   {L"networkKey", key64}, {L"keyIndex", L"1"},
                   {L"keyProvidedAutomatically", L"1"}, {L"IEEE802.1XEnabled", L"1"},
                   {L"EAPMethod", L"EAP-TLS"}})},
        {"escaped", {L"R&D <\"lab'>", L"WPAPSK", L"AES", L"a&b<c>d", 1, 0, 0, L""},
         Document({{L"version", L"1"}, {L"ssid", L"R&amp;D &lt;&quot;lab&apos;&gt;"},
                   {L"connectionType", L"ESS"}, {L"authentication", L"WPAPSK"},
                   {L"encryption", L"AES"}, {L"networkKey", L"a&amp;b&lt;c&gt;d"},
                   {L"keyProvidedAutomatically", L"0"}, {L"IEEE802.1XEnabled", L"0"}})},
    };
    for (const DocumentCase& c : cases) {
        SCOPED_TRACE(c.name);
        wchar_t* document = nullptr;
        size_t bytes = 0;
        ASSERT_EQ(0u, BuildWirelessProfile(&c.values, &document, &bytes));
        EXPECT_EQ(c.expected, std::wstring(document));
        EXPECT_EQ((size_t)WIRELESS_PROFILE_MIN_BYTES, bytes);
        free(document);
    }
    // The longest unescaped document: 665 characters with its terminator.
    EXPECT_EQ(664u, cases[4].expected.size());
}

TEST(WirelessProfile, EscapedTextGrowsTheBufferInsteadOfBeingCut)
{
    const std::wstring ssid(32, L'&'), key(64, L'<');
    WirelessProfileValues values = {ssid.c_str(), L"Shared", L"WEP", key.c_str(), 1, 1, 1, L"PEAP"};
    wchar_t* document = nullptr;
    size_t bytes = 0;
    ASSERT_EQ(0u, BuildWirelessProfile(&values, &document, &bytes));
    std::wstring text = document;
    EXPECT_GT(bytes, (size_t)WIRELESS_PROFILE_MIN_BYTES);
    EXPECT_LT(text.size() * 2, bytes);
    EXPECT_EQ(664u + 32 * 4 + 64 * 3 - 3, text.size());
    EXPECT_EQ(L" </wp:WirelessProfile>", text.substr(text.size() - 22));
    free(document);
}

} // namespace
