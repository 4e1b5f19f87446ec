#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "profile_check.h"
#include "profile_document.h"
#include "wlan_reason.h"

namespace {

const std::wstring kHead =
    L"<?xml version=\"1.0\"?><WLANProfile xmlns=\"http://www.microsoft.com/networking/WLAN/profile/v1\">";
const wchar_t kGtcBlob[] =
    L"01000000360000000100000000000000010000001500000017000000000000000000010000000F000000060000000000000000000000";

struct Built {
    uint32_t result;
    std::wstring document;
    size_t bytes;
};

Built Build(ProfileKind kind, const ProfileValues& values)
{
    Built built = {};
    wchar_t* document = nullptr;
    built.result = BuildProfileDocument(kind, &values, &document, &built.bytes);
    if (document)
        built.document = document;
    free(document);
    return built;
}

struct DocumentCase {
    const char* name;
    ProfileKind kind;
    ProfileValues values;
    size_t bytes;
    std::wstring expected;
};

TEST(ProfileDocument, EveryKindByteForByte)
{
    const DocumentCase cases[] = {
        {"without key",
         PROFILE_WITHOUT_KEY,
         {L"Cafe", L"shared", L"none", L"false", L"abcde", 1, 25, nullptr},
         2 * (4 + 4 + 3 + 4 + 6 + 4 + 5) + 762,
         kHead +
             L"<name>Cafe</name><SSIDConfig><SSID><name>Cafe</name></SSID></SSIDConfig>"
             L"<connectionType>ESS</connectionType><connectionMode>auto</connectionMode><MSM>"
             L"<security><authEncryption><authentication>shared</authentication><encryption>none"
             L"</encryption><useOneX>false</useOneX></authEncryption></security></MSM></WLANProfile>"},
        {"network key, key index 4",
         PROFILE_NETWORK_KEY,
         {L"Lab", L"open", L"WEP", L"false", L"0123456789", 4, 25, nullptr},
         2 * (3 + 3 + 3 + 4 + 4 + 3 + 5 + 10) + 1024,
         kHead +
             L"<name>Lab</name><SSIDConfig><SSID><name>Lab</name></SSID></SSIDConfig>"
             L"<connectionType>ESS</connectionType><connectionMode>auto</connectionMode><MSM>"
             L"<security><authEncryption><authentication>open</authentication><encryption>WEP"
             L"</encryption><useOneX>false</useOneX></authEncryption><sharedKey><keyType>"
             L"networkKey</keyType><protected>false</protected><keyMaterial>0123456789"
             L"</keyMaterial></sharedKey><keyIndex>3</keyIndex></security></MSM></WLANProfile>"},
        {"pass phrase",
         PROFILE_PASS_PHRASE,
         {L"Home", L"WPA2PSK", L"AES", L"false", L"secret12", 1, 25, nullptr},
         2 * (4 + 4 + 3 + 4 + 7 + 3 + 5 + 8) + 976,
         kHead +
             L"<name>Home</name><SSIDConfig><SSID><name>Home</name></SSID></SSIDConfig>"
             L"<connectionType>ESS</connectionType><connectionMode>auto</connectionMode><MSM>"
             L"<security><authEncryption><authentication>WPA2PSK</authentication><encryption>AES"
             L"</encryption><useOneX>false</useOneX></authEncryption><sharedKey><keyType>"
             L"passPhrase</keyType><protected>false</protected><keyMaterial>secret12"
             L"</keyMaterial></sharedKey></security></MSM></WLANProfile>"},
        {"802.1X",
         PROFILE_ONEX,
         {L"Office", L"WPA2", L"AES", L"true", L"", 1, 25, kGtcBlob},
         2 * (6 + 6 + 3 + 4 + 4 + 3 + 4 + 108) + 1836,
         kHead +
             L"<name>Office</name><SSIDConfig><SSID><name>Office</name></SSID></SSIDConfig>"
             L"<connectionType>ESS</connectionType><connectionMode>auto</connectionMode><MSM>"
             L"<security><authEncryption><authentication>WPA2</authentication><encryption>AES"
             L"</encryption><useOneX>true</useOneX></authEncryption>"
             L"<OneX xmlns=\"http://www.microsoft.com/networking/OneX/v1\"><EAPConfig>"
             L"<EapHostConfig xmlns=\"http://www.microsoft.com/provisioning/EapHostConfig\">"
             L"<EapMethod><Type xmlns=\"http://www.microsoft.com/provisioning/EapCommon\">25</Type>"
             L"<VendorId xmlns=\"http://www.microsoft.com/provisioning/EapCommon\">0</VendorId>"
             L"<VendorType xmlns=\"http://www.microsoft.com/provisioning/EapCommon\">0</VendorType>"
             L"<AuthorId xmlns=\"http://www.microsoft.com/provisioning/EapCommon\">0</AuthorId>"
             L"</EapMethod><ConfigBlob>" +
             kGtcBlob +
             L"</ConfigBlob></EapHostConfig></EAPConfig>"
             L"</OneX></security></MSM></WLANProfile>"},
    };
    for (const DocumentCase& c : cases) {
        SCOPED_TRACE(c.name);
        Built built = Build(c.kind, c.values);
        ASSERT_EQ(0u, built.result);
        EXPECT_EQ(c.expected, built.document);
        EXPECT_EQ(c.bytes, built.bytes);
    }
}

TEST(ProfileDocument, EscapesEachSpecialCharacterAndKeepsTheValue)
{
    const struct {
        wchar_t character;
        const wchar_t* entity;
    } cases[] = {
        {L'&', L"&amp;"}, {L'<', L"&lt;"}, {L'>', L"&gt;"}, {L'"', L"&quot;"}, {L'\'', L"&apos;"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.character);
        std::wstring ssid = std::wstring(L"a") + c.character + L"b";
        std::wstring key = std::wstring(L"key") + c.character + L"12345";
        ProfileValues values = {ssid.c_str(), L"WPAPSK", L"TKIP", L"false",
                                key.c_str(),  1,         25,      nullptr};
        Built built = Build(PROFILE_PASS_PHRASE, values);
        ASSERT_EQ(0u, built.result);
        std::wstring escapedSsid = std::wstring(L"a") + c.entity + L"b";
        EXPECT_NE(std::wstring::npos,
                  built.document.find(L"<name>" + escapedSsid + L"</name><SSIDConfig>"));
        EXPECT_NE(std::wstring::npos,
                  built.document.find(L"<SSID><name>" + escapedSsid + L"</name>"));
        EXPECT_NE(std::wstring::npos, built.document.find(std::wstring(L"<keyMaterial>key") +
                                                          c.entity + L"12345</keyMaterial>"));
        // The platform's reader sees the exact network.
        std::wstring name;
        EXPECT_EQ(0u, CheckProfileDocument(built.document, &name));
        EXPECT_EQ(ssid, name);
    }
}

// A reader turns a bare carriage return into a line feed; the reference keeps the SSID exact.
TEST(ProfileDocument, WritesACarriageReturnAsAReference)
{
    ProfileValues values = {L"a\rb", L"WPAPSK", L"TKIP", L"false", L"12345678", 1, 25, nullptr};
    Built built = Build(PROFILE_PASS_PHRASE, values);
    ASSERT_EQ(0u, built.result);
    EXPECT_NE(std::wstring::npos, built.document.find(L"<SSID><name>a&#13;b</name>"));
    std::wstring name;
    EXPECT_EQ(0u, CheckProfileDocument(built.document, &name));
    EXPECT_EQ(L"a\rb", name);
}

TEST(ProfileDocument, LongestEscapedValuesFitTheirBuffer)
{
    std::wstring ssid(32, L'&');
    std::wstring key(64, L'"');
    std::wstring blob(302 * 2, L'F');
    for (ProfileKind kind :
         {PROFILE_WITHOUT_KEY, PROFILE_NETWORK_KEY, PROFILE_PASS_PHRASE, PROFILE_ONEX}) {
        SCOPED_TRACE(kind);
        // The longest authentication and encryption texts.
        ProfileValues values = {ssid.c_str(), L"WPA3ENT192", L"GCMP256", L"false", key.c_str(), 4,
                                13,           blob.c_str()};
        Built built = Build(kind, values);
        ASSERT_EQ(0u, built.result);
        EXPECT_LE((built.document.size() + 1) * sizeof(wchar_t), built.bytes);
        EXPECT_EQ(ProfileDocumentBytes(kind, &values), built.bytes);
        EXPECT_NE(std::wstring::npos, built.document.find(L"</WLANProfile>"));
    }
}

// The emulated WlanSetProfile's reading of a document, from valid ones changed in one place.
struct CheckCase {
    const char* name;
    ProfileKind kind;
    const wchar_t* authentication;
    const wchar_t* encryption;
    const wchar_t* key;
    std::wstring find;
    std::wstring replace;
    DWORD reason;
    std::string ssid = "Net"; // the bytes a valid document connects to
};

// The open document without key, changed in one place.
CheckCase Open(const char* name, std::wstring find, std::wstring replace, DWORD reason)
{
    return {name, PROFILE_WITHOUT_KEY, L"open", L"none", L"", find, replace, reason};
}

TEST(EmulatedProfileCheck, ReportsThePlatformReason)
{
    const DWORD kSchema = WLAN_REASON_INVALID_PROFILE_SCHEMA;
    const DWORD kPair = WLAN_REASON_MSMSEC_INVALID_AUTH_CIPHER;
    const DWORD kKeyType = WLAN_REASON_MSMSEC_PROFILE_WRONG_KEYTYPE;
    const DWORD kSsid = WLAN_REASON_PROFILE_SSID_INVALID;
    const std::wstring hex64(64, L'a');
    const std::wstring text64(64, L'x');
    const std::wstring text63(63, L'~');
    const std::wstring v3 = L" xmlns=\"http://www.microsoft.com/networking/WLAN/profile/v3\">";
    const std::wstring v4 = L" xmlns=\"http://www.microsoft.com/networking/WLAN/profile/v4\">";
    auto mac = [&](const std::wstring& inner) {
        return L"</MSM><MacRandomization" + v3 + inner + L"</MacRandomization>";
    };
    const std::wstring daily = mac(L"<enableRandomization>true</enableRandomization>"
                                   L"<randomizeEveryday>true</randomizeEveryday>");
    const CheckCase cases[] = {
        {"valid pass phrase", PROFILE_PASS_PHRASE, L"WPA2PSK", L"AES", L"secret12", L"", L"", 0},
        {"63-character pass phrase", PROFILE_PASS_PHRASE, L"WPA2PSK", L"AES", text63.c_str(), L"",
         L"", 0},
        {"64 hex digits as a pass phrase", PROFILE_PASS_PHRASE, L"WPAPSK", L"TKIP", hex64.c_str(),
         L"", L"", kKeyType},
        {"64 characters not hex", PROFILE_PASS_PHRASE, L"WPAPSK", L"TKIP", text64.c_str(), L"", L"",
         kKeyType},
        {"7-character pass phrase", PROFILE_PASS_PHRASE, L"WPAPSK", L"TKIP", L"secret1", L"", L"",
         kKeyType},
        {"pass phrase not ASCII", PROFILE_PASS_PHRASE, L"WPA2PSK", L"AES", L"pass\x20acword", L"",
         L"", kKeyType},
        {"64-digit network key", PROFILE_PASS_PHRASE, L"WPA2PSK", L"AES", hex64.c_str(),
         L"passPhrase", L"networkKey", 0},
        {"63-digit network key", PROFILE_PASS_PHRASE, L"WPA2PSK", L"AES", hex64.c_str() + 1,
         L"passPhrase", L"networkKey", kKeyType},
        {"transition mode", PROFILE_PASS_PHRASE, L"WPA3SAE", L"AES", L"secret12", L"</useOneX>",
         L"</useOneX><transitionMode" + v4 + L"true</transitionMode>", 0},
        {"transition mode first", PROFILE_PASS_PHRASE, L"WPA3SAE", L"AES", L"secret12",
         L"<useOneX>", L"<transitionMode" + v4 + L"true</transitionMode><useOneX>", kSchema},
        {"transition mode in v1", PROFILE_PASS_PHRASE, L"WPA3SAE", L"AES", L"secret12",
         L"</useOneX>", L"</useOneX><transitionMode>true</transitionMode>", kSchema},
        {"transition mode yes", PROFILE_PASS_PHRASE, L"WPA3SAE", L"AES", L"secret12", L"</useOneX>",
         L"</useOneX><transitionMode" + v4 + L"yes</transitionMode>", kSchema},
        {"valid WEP", PROFILE_NETWORK_KEY, L"open", L"WEP", L"abcde", L"", L"", 0},
        {"6-character WEP key", PROFILE_NETWORK_KEY, L"open", L"WEP", L"abcdef", L"", L"",
         WLAN_REASON_MSMSEC_KEY_LENGTH},
        {"10 characters not hex", PROFILE_NETWORK_KEY, L"open", L"WEP", L"ghijklmnop", L"", L"",
         WLAN_REASON_MSMSEC_KEY_LENGTH},
        {"key index 4", PROFILE_NETWORK_KEY, L"open", L"WEP", L"abcde", L"<keyIndex>0",
         L"<keyIndex>4", WLAN_REASON_MSMSEC_INVALID_KEY_INDEX},
        {"open with AES", PROFILE_WITHOUT_KEY, L"open", L"AES", L"", L"", L"",
         WLAN_REASON_MSMSEC_INVALID_AUTH_CIPHER},
        {"shared with none", PROFILE_WITHOUT_KEY, L"shared", L"none", L"", L"", L"",
         WLAN_REASON_MSMSEC_INVALID_AUTH_CIPHER},
        {"valid 802.1X", PROFILE_ONEX, L"WPA", L"TKIP", L"", L"", L"", 0},
        {"802.1X with useOneX false", PROFILE_ONEX, L"WPA", L"TKIP", L"", L"<useOneX>true",
         L"<useOneX>false", WLAN_REASON_MSMSEC_ONEX_DISABLED},
        {"OneX on a pass phrase", PROFILE_PASS_PHRASE, L"WPAPSK", L"TKIP", L"secret12",
         L"<useOneX>false", L"<useOneX>true", WLAN_REASON_MSMSEC_ONEX_ENABLED},
        {"OneX missing", PROFILE_ONEX, L"WPA2", L"AES", L"", L"<OneX ", L"<OneY ",
         WLAN_REASON_INVALID_PROFILE_SCHEMA},
        {"odd-length ConfigBlob", PROFILE_ONEX, L"WPA2", L"AES", L"", L"0000</ConfigBlob>",
         L"000</ConfigBlob>", WLAN_REASON_INVALID_PROFILE_SCHEMA},
        {"PEAP record named EAP-TLS", PROFILE_ONEX, L"WPA2", L"AES", L"", L">25</Type>",
         L">13</Type>", WLAN_REASON_INVALID_PROFILE_SCHEMA},
        {"raw ampersand", PROFILE_WITHOUT_KEY, L"open", L"none", L"",
         L"<name>Net</name><SSIDConfig>", L"<name>N&t</name><SSIDConfig>",
         WLAN_REASON_INVALID_PROFILE_SCHEMA},
        {"unterminated element", PROFILE_WITHOUT_KEY, L"open", L"none", L"", L"</MSM>", L"",
         WLAN_REASON_INVALID_PROFILE_SCHEMA},
        {"other namespace", PROFILE_WITHOUT_KEY, L"open", L"none", L"", L"profile/v1",
         L"profile/v2", WLAN_REASON_INVALID_PROFILE_SCHEMA},
        {"no WLANProfile", PROFILE_WITHOUT_KEY, L"open", L"none", L"", L"WLANProfile",
         L"WLANProfil", WLAN_REASON_PROFILE_MISSING},
        {"empty name", PROFILE_WITHOUT_KEY, L"open", L"none", L"", L"<name>Net</name><SSIDConfig>",
         L"<name></name><SSIDConfig>", WLAN_REASON_INVALID_PROFILE_NAME},
        {"SSID too long", PROFILE_WITHOUT_KEY, L"open", L"none", L"", L"<SSID><name>Net",
         L"<SSID><name>Net456789012345678901234567890123", WLAN_REASON_PROFILE_SSID_INVALID},
        {"unknown connection type", PROFILE_WITHOUT_KEY, L"open", L"none", L"", L">ESS<", L">XSS<",
         WLAN_REASON_INVALID_BSS_TYPE},
        Open("unknown element in MSM", L"security>", L"securitx>", kSchema),
        Open("no security",
             L"<MSM><security><authEncryption><authentication>open</authentication>"
             L"<encryption>none</encryption><useOneX>false</useOneX></authEncryption></security>",
             L"<MSM>", WLAN_REASON_MSM_SECURITY_MISSING),
        // Windows 11's WPA3 and Enhanced Open pairs, and pairs it refuses.
        {"SAE", PROFILE_PASS_PHRASE, L"WPA3SAE", L"AES", L"secret12", L"", L"", 0},
        {"SAE, 64 digits", PROFILE_PASS_PHRASE, L"WPA3SAE", L"AES", hex64.c_str(), L"", L"",
         WLAN_REASON_MSMSEC_PSK_LENGTH},
        {"OWE", PROFILE_WITHOUT_KEY, L"OWE", L"AES", L"", L"", L"", 0},
        {"OWE with a key", PROFILE_PASS_PHRASE, L"OWE", L"AES", L"secret12", L"", L"",
         WLAN_REASON_CONFLICT_SECURITY},
        {"WPA3ENT", PROFILE_ONEX, L"WPA3ENT", L"AES", L"", L"", L"", 0},
        {"WPA3ENT GCMP256", PROFILE_ONEX, L"WPA3ENT", L"GCMP256", L"", L"", L"", 0},
        {"WPA3ENT192", PROFILE_ONEX, L"WPA3ENT192", L"GCMP256", L"", L"", L"", 0},
        {"older name", PROFILE_ONEX, L"WPA3", L"GCMP256", L"", L"", L"", 0},
        {"WPA3ENT192 AES", PROFILE_ONEX, L"WPA3ENT192", L"AES", L"", L"", L"", kPair},
        {"WPA2 GCMP256", PROFILE_ONEX, L"WPA2", L"GCMP256", L"", L"", L"", kPair},
        {"SAE TKIP", PROFILE_PASS_PHRASE, L"WPA3SAE", L"TKIP", L"secret12", L"", L"", kPair},
        {"WPA3ENT without 802.1X", PROFILE_ONEX, L"WPA3ENT", L"AES", L"", L"<useOneX>true",
         L"<useOneX>false", WLAN_REASON_MSMSEC_ONEX_DISABLED},
        {"unknown authentication", PROFILE_WITHOUT_KEY, L"WPA4", L"AES", L"", L"", L"", kSchema},
        // Not well-formed (MSXML refuses it), then off the schema, then valid variations.
        Open("control character", L">Net</name><S", L">N\x01t</name><S", kSchema),
        Open("U+FFFE", L">Net</name><S", L">N\xFFFEt</name><S", kSchema),
        Open("second declaration", L"<WLANProfile ", L"<?xml version=\"1.0\"?><WLANProfile ",
             kSchema),
        Open("declaration after a comment", L"<?xml ", L"<!-- c --><?xml ", kSchema),
        Open("unknown encoding", L"\"1.0\"?>", L"\"1.0\" encoding=\"x-unknown\"?>", kSchema),
        Open("text where elements belong", L"<MSM>", L"<MSM>text", kSchema),
        Open("element in a text element", L">ESS<", L">E<b/>SS<", kSchema),
        Open("unknown element", L"<MSM>", L"<color>blue</color><MSM>", kSchema),
        Open("unknown attribute", L"<SSIDConfig>", L"<SSIDConfig hidden=\"1\">", kSchema),
        Open("out of order",
             L"<connectionType>ESS</connectionType><connectionMode>auto"
             L"</connectionMode>",
             L"<connectionMode>auto</connectionMode><connectionType>ESS"
             L"</connectionType>",
             kSchema),
        Open("repeated", L"</connectionType>",
             L"</connectionType><connectionType>ESS"
             L"</connectionType>",
             kSchema),
        Open("blanks, comment, instruction", L"<MSM>", L"\r\n  <!-- c --><MSM>\n <?pi x?>", 0),
        Open("CDATA, character reference", L">ESS<", L"><![CDATA[E]]>&#x53;S<", 0),
        // The SSID's forms, connection mode and MAC randomization.
        {"hex wins", PROFILE_WITHOUT_KEY, L"open", L"none", L"", L"<name>Net</name></SSID>",
         L"<hex>436166C3A9</hex><name>Caf\xe9</name></SSID><nonBroadcast>true</nonBroadcast>", 0,
         "Caf\xc3\xa9"},
        Open("hex alone", L"<name>Net</name></SSID>", L"<hex>4e6574</hex></SSID>", 0),
        Open("hex not hex", L"<SSID>", L"<SSID><hex>4G</hex>", kSsid),
        Open("33-byte hex", L"<SSID>", L"<SSID><hex>" + std::wstring(66, L'A') + L"</hex>", kSsid),
        Open("neither hex nor name", L"<name>Net</name></SSID>", L"</SSID>", kSsid),
        Open("nonBroadcast yes", L"</SSID>", L"</SSID><nonBroadcast>yes</nonBroadcast>", kSchema),
        Open("autoSwitch first", L"<connectionMode>auto</connectionMode>",
             L"<autoSwitch>false</autoSwitch><connectionMode>manual</connectionMode>", kSchema),
        Open("manual, autoSwitch after it", L">auto</connectionMode>",
             L">manual</connectionMode>"
             L"<autoSwitch>true</autoSwitch>",
             0),
        Open("daily MAC randomization", L"</MSM>", daily, 0),
        Open("MAC randomization off", L"</MSM>",
             mac(L"<enableRandomization>false</enableRandomization>"), 0),
        Open("MAC randomization before MSM", L"<MSM>", daily.substr(6) + L"<MSM>", kSchema),
        Open("MAC randomization on", L"</MSM>",
             mac(L"<enableRandomization>on</enableRandomization>"), kSchema),
        Open("seed beyond a DWORD", L"</MSM>",
             mac(L"<randomizationSeed>4294967296</randomizationSeed>"), kSchema),
    };
    for (const CheckCase& c : cases) {
        SCOPED_TRACE(c.name);
        ProfileValues values = {L"Net",       c.authentication,
                                c.encryption, c.kind == PROFILE_ONEX ? L"true" : L"false",
                                c.key,        1,
                                25,           kGtcBlob};
        Built built = Build(c.kind, values);
        ASSERT_EQ(0u, built.result);
        std::wstring document = built.document;
        if (!c.find.empty()) {
            size_t at = document.find(c.find);
            ASSERT_NE(std::wstring::npos, at);
            for (; at != std::wstring::npos; at = document.find(c.find, at + c.replace.size()))
                document.replace(at, c.find.size(), c.replace);
        }
        std::wstring name = L"untouched";
        std::vector<uint8_t> ssid;
        EXPECT_EQ(c.reason, CheckProfileDocument(document, &name, &ssid));
        EXPECT_EQ(c.reason == 0 ? L"Net" : L"untouched", name);
        EXPECT_EQ(c.reason == 0 ? c.ssid : "", std::string(ssid.begin(), ssid.end()));
    }
}

} // namespace
