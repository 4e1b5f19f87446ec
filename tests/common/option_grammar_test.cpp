// The option grammar walked with each of the six handlers' descriptors: token matching, value
// rules, messages, stored values and the echo lines; and what the back ends derive from the
// parsed values.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "globals.h"
#include "option_grammar.h"
#include "test_support.h"
#include "vista_grammar.h"
#include "xpsp1_grammar.h"
#include "xpsp2_grammar.h"

namespace {

enum HandlerKind {
    HANDLER_ADD_VISTA,
    HANDLER_ADD_XP_SP2,
    HANDLER_ADD_XP_SP1,
    HANDLER_REMOVE_VISTA,
    HANDLER_REMOVE_XP_SP2,
    HANDLER_REMOVE_XP_SP1,
};

const HandlerGrammar* GrammarOf(HandlerKind kind)
{
    static const HandlerGrammar* const grammars[] = {&kVistaAddGrammar,    &kXpSp2AddGrammar,
                                                     &kXpSp1AddGrammar,    &kVistaRemoveGrammar,
                                                     &kXpSp2RemoveGrammar, &kXpSp1RemoveGrammar};
    return grammars[kind];
}

const char* HandlerName(HandlerKind kind)
{
    return GrammarOf(kind)->name;
}

std::wstring WideSsid(const OptionSet& o)
{
    wchar_t ssid[MAX_SSID_BYTES + 1];
    EXPECT_TRUE(ConvertAnsiText(o.ssid, ssid, MAX_SSID_BYTES + 1));
    return ssid;
}

struct Parsed {
    DWORD result;
    std::string output;
    OptionSet options;
};

Parsed Parse(HandlerKind kind, std::vector<std::string> options)
{
    std::vector<std::string> args = {"wlanprov.exe", "-add"};
    args.insert(args.end(), options.begin(), options.end());
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(&a[0]);
    Parsed parsed;
    memset(&parsed.options, 0xde, sizeof(parsed.options));
    StdoutCapture capture;
    parsed.result = ParseOptions((int)argv.size(), argv.data(), GrammarOf(kind), &parsed.options);
    parsed.output = capture.Text();
    return parsed;
}

class OptionGrammar : public ::testing::Test {
protected:
    void SetUp() override { g_bDebugLog = 0; }
    void TearDown() override { g_bDebugLog = 0; }
};

const HandlerKind kAllHandlers[] = {HANDLER_ADD_VISTA,     HANDLER_ADD_XP_SP2,
                                    HANDLER_ADD_XP_SP1,    HANDLER_REMOVE_VISTA,
                                    HANDLER_REMOVE_XP_SP2, HANDLER_REMOVE_XP_SP1};
const HandlerKind kAddHandlers[] = {HANDLER_ADD_VISTA, HANDLER_ADD_XP_SP2, HANDLER_ADD_XP_SP1};

std::string Line(HandlerKind kind, const std::string& text)
{
    return std::string(HandlerName(kind)) + " :: " + text + "\n";
}

TEST_F(OptionGrammar, HandlerNames)
{
    EXPECT_STREQ("WZC_Vista", HandlerName(HANDLER_ADD_VISTA));
    EXPECT_STREQ("WZC_XP_SP2", HandlerName(HANDLER_ADD_XP_SP2));
    EXPECT_STREQ("WZC_XP_SP1", HandlerName(HANDLER_ADD_XP_SP1));
    EXPECT_STREQ("WZCRemoveProfile_Vista", HandlerName(HANDLER_REMOVE_VISTA));
    EXPECT_STREQ("WZCRemoveProfile_XP_SP2", HandlerName(HANDLER_REMOVE_XP_SP2));
    EXPECT_STREQ("WZCRemoveProfile_XP_SP1", HandlerName(HANDLER_REMOVE_XP_SP1));
}

TEST_F(OptionGrammar, InitialValues)
{
    for (HandlerKind kind : kAllHandlers) {
        Parsed p = Parse(kind, {});
        ASSERT_EQ(0u, p.result);
        EXPECT_EQ("", p.output);
        const OptionSet& o = p.options;
        EXPECT_STREQ("", o.ssid);
        EXPECT_EQ(L"", WideSsid(o));
        EXPECT_STREQ(L"", o.authentication);
        EXPECT_STREQ(L"", o.encryption);
        EXPECT_STREQ(L"", o.networkKey);
        EXPECT_EQ(1, o.keyIndex);
        EXPECT_STREQ(L"", o.eapType);
        EXPECT_STREQ(L"", o.innerMethod);
        EXPECT_EQ(0, o.useWindowsLogonInfo);
        EXPECT_EQ(0, o.enableFastReconnect);
        EXPECT_EQ(0, o.validateServerCert);
        EXPECT_EQ(0, o.keyProvidedAutomatically);
        EXPECT_EQ(0, o.ieee8021xEnabled);
        EXPECT_EQ(0, o.machineAuth);
        EXPECT_EQ(0, o.guestAuth);
        EXPECT_EQ(0, o.trustRootCaCount);
    }
    Parsed vista = Parse(HANDLER_ADD_VISTA, {});
    EXPECT_EQ(25, VistaEapTypeNumber(&vista.options));
    EXPECT_STREQ(L"false", VistaUseOneX(&vista.options));
    Parsed sp1 = Parse(HANDLER_ADD_XP_SP1, {});
    XpSp1Codes codes = XpSp1CodesOf(&sp1.options);
    EXPECT_EQ(13, codes.eapTypeNumber);
    EXPECT_EQ(0u, codes.eapFlags);
    EXPECT_EQ(3, codes.authenticationCode);
    EXPECT_EQ(4, codes.encryptionCode);
}

// Which handlers take which token: an option of another handler ends parsing with the plain
// "invalid input" line.
struct Acceptance {
    const char* argument;
    bool vista, xpSp2, xpSp1, removal;
};

const Acceptance kAcceptance[] = {
    {"/SSID:net", true, true, true, true},
    {"/Authentication:WPA", true, true, true, false},
    {"/Encryption:TKIP", true, true, true, false},
    {"/NetworkKey:abcde", true, true, true, false},
    {"/KeyIndex:2", true, true, true, false},
    {"/KeyProvidedAutomatically:TRUE", false, true, true, false},
    {"/IEEE8021xEnabled:TRUE", false, true, true, false},
    {"/EAPType:PEAP", true, true, true, false},
    {"/MACHINE_AUTH:TRUE", false, true, true, false},
    {"/GUEST_AUTH:TRUE", false, true, true, false},
    {"/InnerAuthentication:GTC", true, true, true, false},
    {"/UseWindowsLogonInfo:TRUE", true, true, true, false},
    {"/EnableFastReconnect:TRUE", true, true, true, false},
    {"/ValidateServerCert:TRUE", true, true, true, false},
    {"/TrustRootCA:Root", true, true, true, false},
    {"/DebugLog:FALSE", true, true, true, true},
    // The WLAN profile's newer elements: the XP handlers have no such token.
    {"/NonBroadcast:TRUE", true, false, false, false},
    {"/TransitionMode:FALSE", true, false, false, false},
    {"/ConnectionMode:manual", true, false, false, false},
    {"/AutoSwitch:TRUE", true, false, false, false},
    {"/MacRandomization:DAILY", true, false, false, false},
    {"/SaveProfile:C:\\p.xml", true, false, false, false},
    // Not tokens of anybody: other letter case, missing colon, unknown, command words.
    {"/authentication:WPA", false, false, false, false},
    {"/SSID", false, false, false, false},
    {"SSID:net", false, false, false, false},
    {"/ssid:net", false, false, false, false},
    {"/Unknown:1", false, false, false, false},
    {"-add", false, false, false, false},
    {"", false, false, false, false},
};

TEST_F(OptionGrammar, TokensPerHandler)
{
    for (const Acceptance& a : kAcceptance) {
        for (HandlerKind kind : kAllHandlers) {
            bool accepted = kind == HANDLER_ADD_VISTA    ? a.vista
                            : kind == HANDLER_ADD_XP_SP2 ? a.xpSp2
                            : kind == HANDLER_ADD_XP_SP1 ? a.xpSp1
                                                         : a.removal;
            Parsed p = Parse(kind, {a.argument});
            if (accepted) {
                EXPECT_EQ(0u, p.result) << a.argument << " / " << HandlerName(kind);
                EXPECT_EQ("", p.output) << a.argument << " / " << HandlerName(kind);
            } else {
                EXPECT_EQ(13u, p.result) << a.argument << " / " << HandlerName(kind);
                EXPECT_EQ(Line(kind, "invalid input"), p.output)
                    << a.argument << " / " << HandlerName(kind);
            }
        }
    }
}

// Values that each add handler refuses, with the element the message names.
struct BadValue {
    const char* argument;
    const char* element;
    bool vista, xpSp2, xpSp1; // whether that handler refuses it (all accept the token)
};

const std::string k33(33, 's');
const std::string k65(65, 'k');
const std::string k257(257, 'c');

const BadValue kBadValues[] = {
    {"/SSID:", "SSID", true, true, true},
    {"/Authentication:", "AuthenticationMode", true, true, true},
    {"/Authentication:Open", "AuthenticationMode", true, false, false},
    {"/Authentication:open", "AuthenticationMode", false, true, true},
    {"/Authentication:Shared", "AuthenticationMode", true, false, false},
    {"/Authentication:shared", "AuthenticationMode", false, true, true},
    {"/Authentication:WPA2", "AuthenticationMode", false, false, true},
    {"/Authentication:WPA2PSK", "AuthenticationMode", false, false, true},
    {"/Authentication:wpa", "AuthenticationMode", true, true, true},
    {"/Authentication:WPA ", "AuthenticationMode", true, true, true},
    // WPA3 and Enhanced Open: the WLAN API's values, never the XP handlers'.
    {"/Authentication:WPA3SAE", "AuthenticationMode", false, true, true},
    {"/Authentication:WPA3ENT", "AuthenticationMode", false, true, true},
    {"/Authentication:WPA3ENT192", "AuthenticationMode", false, true, true},
    {"/Authentication:OWE", "AuthenticationMode", false, true, true},
    {"/Authentication:WPA3ENT1920", "AuthenticationMode", true, true, true},
    {"/Encryption:GCMP256", "Encryptiontype", false, true, true},
    {"/Encryption:None", "Encryptiontype", true, false, false},
    {"/Encryption:none", "Encryptiontype", false, true, true},
    {"/Encryption:aes", "Encryptiontype", true, true, true},
    {"/Encryption:", "Encryptiontype", true, true, true},
    {"/KeyIndex:0", "KeyIndex", true, true, true},
    {"/KeyIndex:5", "KeyIndex", true, true, true},
    {"/KeyIndex:01", "KeyIndex", true, true, true},
    {"/KeyIndex:1 ", "KeyIndex", true, true, true},
    {"/KeyIndex:", "KeyIndex", true, true, true},
    {"/KeyProvidedAutomatically:true", "KeyProvidedAutomatically", false, true, true},
    {"/IEEE8021xEnabled:1", "IEEE8021xEnabled", false, true, true},
    {"/EAPType:peap", "EAPType", true, true, true},
    {"/EAPType:SecureW2", "EAPType", true, false, true},
    {"/EAPType:TLS", "EAPType", true, true, true},
    {"/MACHINE_AUTH:yes", "MACHINE_AUTH", false, true, true},
    {"/GUEST_AUTH:", "GUEST_AUTH", false, true, true},
    {"/InnerAuthentication:MSCHAPV2", "InnerAuthenticationMethod", true, true, true},
    {"/InnerAuthentication:gtc", "InnerAuthenticationMethod", true, true, true},
    {"/UseWindowsLogonInfo:True", "UseWindowsLogonInfo", true, true, true},
    {"/EnableFastReconnect:FALSE2", "EnableFastReconnect", true, true, true},
    {"/ValidateServerCert:", "ValidateServerCert", true, true, true},
    {"/TrustRootCA:", "TrustRootCA", true, true, true},
    {"/DebugLog:true", "EnableDebugLog", true, true, true},
    {"/DebugLog:", "EnableDebugLog", true, true, true},
    {"/NonBroadcast:true", "NonBroadcast", true, false, false},
    {"/ConnectionMode:Manual", "ConnectionMode", true, false, false},
    {"/MacRandomization:daily", "MacRandomization", true, false, false},
    {"/SaveProfile:", "SaveProfile", true, false, false},
};

TEST_F(OptionGrammar, BadValueMessages)
{
    for (const BadValue& b : kBadValues) {
        std::string element = b.element;
        bool xpOnly = element == "KeyProvidedAutomatically" || element == "IEEE8021xEnabled" ||
                      element == "MACHINE_AUTH" || element == "GUEST_AUTH";
        bool vistaOnly = element == "NonBroadcast" || element == "ConnectionMode" ||
                         element == "MacRandomization" || element == "SaveProfile";
        for (HandlerKind kind : kAddHandlers) {
            if (xpOnly && kind == HANDLER_ADD_VISTA)
                continue; // not a Vista token at all (see TokensPerHandler)
            if (vistaOnly && kind != HANDLER_ADD_VISTA)
                continue;
            bool refused = kind == HANDLER_ADD_VISTA    ? b.vista
                           : kind == HANDLER_ADD_XP_SP2 ? b.xpSp2
                                                        : b.xpSp1;
            Parsed p = Parse(kind, {b.argument});
            std::string where = std::string(b.argument) + " / " + HandlerName(kind);
            if (refused) {
                EXPECT_EQ(13u, p.result) << where;
                EXPECT_EQ(Line(kind, "[" + std::string(b.element) + "] : invalid input"), p.output)
                    << where;
            } else {
                EXPECT_EQ(0u, p.result) << where;
                EXPECT_EQ("", p.output) << where;
            }
        }
    }
}

TEST_F(OptionGrammar, LengthLimits)
{
    std::string ssid32(32, 's'), key64(64, 'k'), ca256(256, 'c');
    for (HandlerKind kind : kAddHandlers) {
        Parsed ok = Parse(kind, {"/SSID:" + ssid32, "/NetworkKey:" + key64, "/TrustRootCA:" + ca256,
                                 "/NetworkKey:" + key64});
        ASSERT_EQ(0u, ok.result) << ok.output;
        EXPECT_EQ(ssid32, ok.options.ssid);
        EXPECT_EQ(std::wstring(64, L'k'), ok.options.networkKey);
        EXPECT_EQ(std::wstring(256, L'c'), ok.options.trustRootCa[0]);

        EXPECT_EQ(Line(kind, "[SSID] : invalid input"), Parse(kind, {"/SSID:" + k33}).output);
        EXPECT_EQ(Line(kind, "[NetworkKey] : invalid input"),
                  Parse(kind, {"/NetworkKey:" + k65}).output);
        EXPECT_EQ(Line(kind, "[TrustRootCA] : invalid input"),
                  Parse(kind, {"/TrustRootCA:" + k257}).output);
        Parsed empty = Parse(kind, {"/NetworkKey:"});
        EXPECT_EQ(0u, empty.result);
        EXPECT_STREQ(L"", empty.options.networkKey);
    }
    for (HandlerKind kind : {HANDLER_REMOVE_VISTA, HANDLER_REMOVE_XP_SP2, HANDLER_REMOVE_XP_SP1}) {
        EXPECT_EQ(Line(kind, "[SSID] : invalid input"), Parse(kind, {"/SSID:"}).output);
        EXPECT_EQ(Line(kind, "[SSID] : invalid input"), Parse(kind, {"/SSID:" + k33}).output);
        EXPECT_EQ(Line(kind, "[EnableDebugLog] : invalid input"),
                  Parse(kind, {"/DebugLog:yes"}).output);
        EXPECT_EQ(0u, Parse(kind, {"/SSID:" + ssid32}).result);
    }
}

TEST_F(OptionGrammar, WholeValueIsStoredInTheAnsiCodePage)
{
    // Blanks stay, leading ones included; \x80 and \x92 are the euro sign and the right
    // single quote of code page 1252, the prefix's ANSI code page.
    Parsed p = Parse(HANDLER_ADD_VISTA,
                     {"/SSID:my net", "/NetworkKey: abc def\x80", "/TrustRootCA:My_Root CA\x92s"});
    ASSERT_EQ(0u, p.result);
    EXPECT_STREQ("my net", p.options.ssid); // the SSID is kept as the narrow bytes
    EXPECT_STREQ(L" abc def\x20ac", p.options.networkKey);
    EXPECT_STREQ(L"My Root CA\x2019s", p.options.trustRootCa[0]);

    Parsed removal = Parse(HANDLER_REMOVE_VISTA, {"/SSID:Caf\x92 net"});
    ASSERT_EQ(0u, removal.result);
    EXPECT_EQ(L"Caf\x2019 net", WideSsid(removal.options));
}

TEST_F(OptionGrammar, ValueKeepsLaterColons)
{
    Parsed p = Parse(HANDLER_ADD_XP_SP1, {"/SSID:a:b", "/NetworkKey::x:"});
    ASSERT_EQ(0u, p.result);
    EXPECT_STREQ("a:b", p.options.ssid);
    EXPECT_STREQ(L":x:", p.options.networkKey);
}

TEST_F(OptionGrammar, RepeatedOptionsReplace)
{
    Parsed p = Parse(HANDLER_ADD_VISTA,
                     {"/SSID:" + std::string(30, 'x'), "/SSID:ab", "/Authentication:WPA2",
                      "/Authentication:open", "/EAPType:EAP-TLS", "/KeyIndex:4", "/KeyIndex:2",
                      "/ValidateServerCert:TRUE", "/ValidateServerCert:FALSE"});
    ASSERT_EQ(0u, p.result);
    EXPECT_STREQ("ab", p.options.ssid);
    EXPECT_STREQ(L"open", p.options.authentication);
    EXPECT_STREQ(L"false", VistaUseOneX(&p.options)); // derived from the last authentication
    EXPECT_STREQ(L"EAP-TLS", p.options.eapType);
    EXPECT_EQ(13, VistaEapTypeNumber(&p.options));
    EXPECT_EQ(2, p.options.keyIndex);
    EXPECT_EQ(0, p.options.validateServerCert);

    Parsed again = Parse(HANDLER_ADD_VISTA,
                         {"/EAPType:EAP-TLS", "/EAPType:PEAP", "/Authentication:WPA"});
    EXPECT_EQ(25, VistaEapTypeNumber(&again.options));
    EXPECT_STREQ(L"true", VistaUseOneX(&again.options));
}

// What the cases below read: a parsed field, or a value a back end derives.
template <LONG OptionSet::*member>
LONG Field(const OptionSet& o)
{
    return o.*member;
}
LONG Sp1Authentication(const OptionSet& o)
{
    return XpSp1CodesOf(&o).authenticationCode;
}
LONG Sp1Encryption(const OptionSet& o)
{
    return XpSp1CodesOf(&o).encryptionCode;
}
LONG Sp1EapType(const OptionSet& o)
{
    return XpSp1CodesOf(&o).eapTypeNumber;
}
LONG VistaEapType(const OptionSet& o)
{
    return VistaEapTypeNumber(&o);
}

TEST_F(OptionGrammar, DerivedValuesPerHandler)
{
    struct Case {
        HandlerKind kind;
        const char* argument;
        LONG (*field)(const OptionSet&);
        LONG expected;
    };
    const Case cases[] = {
        {HANDLER_ADD_XP_SP1, "/Authentication:Open", Sp1Authentication, 0},
        {HANDLER_ADD_XP_SP1, "/Authentication:Shared", Sp1Authentication, 1},
        {HANDLER_ADD_XP_SP1, "/Authentication:WPA", Sp1Authentication, 3},
        {HANDLER_ADD_XP_SP1, "/Authentication:WPAPSK", Sp1Authentication, 4},
        {HANDLER_ADD_XP_SP1, "/Encryption:WEP", Sp1Encryption, 0},
        {HANDLER_ADD_XP_SP1, "/Encryption:None", Sp1Encryption, 1},
        {HANDLER_ADD_XP_SP1, "/Encryption:TKIP", Sp1Encryption, 4},
        {HANDLER_ADD_XP_SP1, "/Encryption:AES", Sp1Encryption, 6},
        {HANDLER_ADD_XP_SP1, "/EAPType:PEAP", Sp1EapType, 25},
        {HANDLER_ADD_XP_SP1, "/EAPType:EAP-TLS", Sp1EapType, 13},
        {HANDLER_ADD_VISTA, "/EAPType:PEAP", VistaEapType, 25},
        {HANDLER_ADD_VISTA, "/EAPType:EAP-TLS", VistaEapType, 13},
        {HANDLER_ADD_XP_SP2, "/KeyIndex:3", Field<&OptionSet::keyIndex>, 3},
        {HANDLER_ADD_XP_SP2, "/MACHINE_AUTH:TRUE", Field<&OptionSet::machineAuth>, 1},
        {HANDLER_ADD_XP_SP2, "/GUEST_AUTH:TRUE", Field<&OptionSet::guestAuth>, 1},
        {HANDLER_ADD_XP_SP2, "/UseWindowsLogonInfo:TRUE", Field<&OptionSet::useWindowsLogonInfo>,
         1},
        {HANDLER_ADD_XP_SP2, "/EnableFastReconnect:TRUE", Field<&OptionSet::enableFastReconnect>,
         1},
        {HANDLER_ADD_XP_SP2, "/KeyProvidedAutomatically:TRUE",
         Field<&OptionSet::keyProvidedAutomatically>, 1},
        {HANDLER_ADD_XP_SP2, "/IEEE8021xEnabled:TRUE", Field<&OptionSet::ieee8021xEnabled>, 1},
    };
    for (const Case& c : cases) {
        Parsed p = Parse(c.kind, {c.argument});
        ASSERT_EQ(0u, p.result) << c.argument;
        EXPECT_EQ(c.expected, c.field(p.options)) << c.argument << " / " << HandlerName(c.kind);
    }

    Parsed flags = Parse(HANDLER_ADD_XP_SP1, {"/MACHINE_AUTH:TRUE", "/IEEE8021xEnabled:TRUE",
                                              "/GUEST_AUTH:TRUE", "/GUEST_AUTH:FALSE"});
    EXPECT_EQ(0xC0000000u, XpSp1CodesOf(&flags.options).eapFlags);
    Parsed all = Parse(HANDLER_ADD_XP_SP1,
                       {"/MACHINE_AUTH:TRUE", "/IEEE8021xEnabled:TRUE", "/GUEST_AUTH:TRUE"});
    EXPECT_EQ(0xE0000000u, XpSp1CodesOf(&all.options).eapFlags);
}

TEST_F(OptionGrammar, TrustedRootLimitAndUnderscores)
{
    for (HandlerKind kind : kAddHandlers) {
        std::vector<std::string> args;
        for (int i = 0; i < 10; ++i)
            args.push_back("/TrustRootCA:My_Root_CA_" + std::to_string(i));
        Parsed ten = Parse(kind, args);
        ASSERT_EQ(0u, ten.result);
        EXPECT_EQ(10, ten.options.trustRootCaCount);
        EXPECT_STREQ(L"My Root CA 0", ten.options.trustRootCa[0]);
        EXPECT_STREQ(L"My Root CA 9", ten.options.trustRootCa[9]);

        args.push_back("/TrustRootCA:Eleventh");
        args.push_back("/DebugLog:TRUE");
        Parsed eleven = Parse(kind, args);
        EXPECT_EQ(13u, eleven.result);
        EXPECT_EQ(Line(kind, "[TrustRootCA] : the max number of certificates is 10."),
                  eleven.output);
        EXPECT_EQ(0, g_bDebugLog); // parsing stopped before it

        // The length is tested before the count.
        args[10] = "/TrustRootCA:";
        EXPECT_EQ(Line(kind, "[TrustRootCA] : invalid input"), Parse(kind, args).output);
    }
}

TEST_F(OptionGrammar, DebugLogTakesEffectAtOnce)
{
    Parsed before = Parse(HANDLER_ADD_VISTA, {"/DebugLog:TRUE", "/KeyIndex:9"});
    EXPECT_EQ(13u, before.result);
    EXPECT_EQ(1, g_bDebugLog);

    g_bDebugLog = 0;
    Parsed after = Parse(HANDLER_ADD_VISTA, {"/KeyIndex:9", "/DebugLog:TRUE"});
    EXPECT_EQ(13u, after.result);
    EXPECT_EQ(0, g_bDebugLog);

    Parsed toggled = Parse(HANDLER_REMOVE_XP_SP1, {"/DebugLog:TRUE", "/DebugLog:FALSE"});
    EXPECT_EQ(0u, toggled.result);
    EXPECT_EQ(0, g_bDebugLog);
}

TEST_F(OptionGrammar, StopsAtFirstBadToken)
{
    Parsed p = Parse(HANDLER_ADD_XP_SP2,
                     {"/SSID:first", "/Bogus:1", "/SSID:second", "/KeyIndex:7"});
    EXPECT_EQ(13u, p.result);
    EXPECT_EQ("WZC_XP_SP2 :: invalid input\n", p.output); // one line only
    EXPECT_STREQ("first", p.options.ssid);
}

TEST_F(OptionGrammar, EchoLinesVista)
{
    Parsed p = Parse(HANDLER_ADD_VISTA,
                     {"/SSID:Office", "/Authentication:WPA2", "/Encryption:AES", "/EAPType:PEAP",
                      "/InnerAuthentication:GTC", "/EnableFastReconnect:TRUE",
                      "/ValidateServerCert:TRUE", "/TrustRootCA:Root_One", "/TrustRootCA:Two"});
    ASSERT_EQ(0u, p.result);
    StdoutCapture capture;
    EchoOptions(&p.options, GrammarOf(HANDLER_ADD_VISTA));
    EXPECT_EQ("WZC_Vista :: input parameter: SSID : Office\n"
              "WZC_Vista :: input parameter: AuthenticationMode : WPA2\n"
              "WZC_Vista :: input parameter: EncryptionType : AES\n"
              "WZC_Vista :: input parameter: NetworkKey : \n"
              "WZC_Vista :: input parameter: KeyIndex : 1\n"
              "WZC_Vista :: input parameter: EAPType : PEAP\n"
              "WZC_Vista :: input parameter: InnerAuthenticaionMode : GTC\n"
              "WZC_Vista :: input parameter: UseWindowsLogonInfo : 0\n"
              "WZC_Vista :: input parameter: EnableFastReconnect : 1\n"
              "WZC_Vista :: input parameter: ValidateServerCert : 1\n"
              "WZC_Vista :: input parameter: TrustRootCA[0] : Root One\n"
              "WZC_Vista :: input parameter: TrustRootCA[1] : Two\n",
              capture.Text());
}

TEST_F(OptionGrammar, EchoLinesXp)
{
    for (HandlerKind kind : {HANDLER_ADD_XP_SP2, HANDLER_ADD_XP_SP1}) {
        Parsed p = Parse(kind, {"/SSID:Lab", "/Authentication:WPAPSK", "/Encryption:TKIP",
                                "/NetworkKey:secret123", "/KeyIndex:3", "/IEEE8021xEnabled:FALSE",
                                "/GUEST_AUTH:TRUE"});
        ASSERT_EQ(0u, p.result);
        StdoutCapture capture;
        EchoOptions(&p.options, GrammarOf(kind));
        std::string n = HandlerName(kind);
        EXPECT_EQ(n + " :: input parameter: SSID : Lab\n" + n +
                      " :: input parameter: AuthenticationMode : WPAPSK\n" + n +
                      " :: input parameter: EncryptionType : TKIP\n" + n +
                      " :: input parameter: NetworkKey : secret123\n" + n +
                      " :: input parameter: KeyIndex : 3\n" + n +
                      " :: input parameter: keyProvidedAutomatically : 0\n" + n +
                      " :: input parameter: IEEE8021xEnabled : 0\n" + n +
                      " :: input parameter: EAPType : \n" + n +
                      " :: input parameter: MACHINE_AUTH : 0\n" + n +
                      " :: input parameter: GUEST_AUTH : 1\n" + n +
                      " :: input parameter: InnerAuthenticaionMode : \n" + n +
                      " :: input parameter: UseWindowsLogonInfo : 0\n" + n +
                      " :: input parameter: EnableFastReconnect : 0\n" + n +
                      " :: input parameter: ValidateServerCert : 0\n",
                  capture.Text());
    }
}

TEST_F(OptionGrammar, EchoLinesRemoval)
{
    struct Case {
        HandlerKind kind;
        const char* expected;
    };
    const Case cases[] = {
        {HANDLER_REMOVE_VISTA, "WZCRemoveProfile_Vista :: input parameter: SSID : my net\n"},
        {HANDLER_REMOVE_XP_SP2, "WZCRemoveProfile_XP_SP2 :: input parameter: SSID : my net\n"},
        {HANDLER_REMOVE_XP_SP1, "WZCRemoveProfile_XP_SP1 :: input parameter: SSID : my net\n"},
    };
    for (const Case& c : cases) {
        Parsed p = Parse(c.kind, {"/SSID:my net"});
        ASSERT_EQ(0u, p.result);
        StdoutCapture capture;
        EchoOptions(&p.options, GrammarOf(c.kind));
        EXPECT_EQ(c.expected, capture.Text());
    }
}

} // namespace
