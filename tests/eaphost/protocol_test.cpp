// The host's packet, hex, server, option and storage code, in-process.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "authenticator_link.h"
#include "eap_packet.h"
#include "gtc_server.h"
#include "guarded_buffers.h"
#include "hex_text.h"
#include "host_options.h"
#include "test_support.h"
#include "text_convert.h"
#include "user_data_store.h"

namespace {

Bytes Hex(const char* text)
{
    Bytes bytes;
    EXPECT_TRUE(HexToBytes(text, &bytes)) << text;
    return bytes;
}

std::string Hex(const Bytes& bytes)
{
    return BytesToHex(bytes.data(), bytes.size());
}

Bytes Text(const char* text)
{
    return Bytes(text, text + strlen(text));
}

struct ReadCase {
    const char* hex;
    bool wellFormed;
    int length;
    bool hasType;
    size_t dataSize;
    const char* description;
};

TEST(EapPacket, ReadsOnlyInsideTheBufferAndTheDeclaredLength)
{
    const ReadCase cases[] = {
        {"", false, 0, false, 0, "runt of 0 bytes"},
        {"0101", false, 0, false, 0, "runt of 2 bytes"},
        {"010100", false, 0, false, 0, "runt of 3 bytes"},
        {"03070004", true, 4, false, 0, "Success id 7 len 4"},
        {"04070003", false, 3, false, 0, "Failure id 7 len 3 (malformed, 4 bytes)"},
        {"01010004", false, 4, false, 0, "Request id 1 len 4 (malformed, 4 bytes)"},
        {"0101000406", false, 4, false, 0, "Request id 1 len 4 (malformed, 5 bytes)"},
        {"0101000506", true, 5, true, 0, "Request id 1 type 6 len 5"},
        {"0101000006", false, 0, false, 0, "Request id 1 len 0 (malformed, 5 bytes)"},
        {"010200090641", false, 9, true, 1, "Request id 2 type 6 len 9 (malformed, 6 bytes)"},
        {"02030006014142", true, 6, true, 1, "Response id 3 type 1 len 6"},
        {"09030004", true, 4, false, 0, "Code 9 id 3 len 4"},
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.hex);
        Bytes bytes = Hex(c.hex);
        // Placed against an inaccessible page: a read past the buffer faults.
        GuardedBlock block;
        ASSERT_TRUE(MakeGuardedCopy(bytes.data(), bytes.size(), &block));
        EapPacketView view = ReadEapPacket(block.bytes, block.size);
        EXPECT_EQ(c.wellFormed, view.wellFormed);
        EXPECT_EQ(c.length, view.length);
        EXPECT_EQ(c.hasType, view.hasType);
        EXPECT_EQ(c.dataSize, view.dataSize);
        EXPECT_EQ(c.description, DescribeEapPacket(block.bytes, block.size));
        FreeGuardedCopy(&block);
    }
}

TEST(TerminalText, ControlCharactersAreShownEscaped)
{
    const struct {
        const wchar_t* text;
        const char* shown;
    } cases[] = {
        {L"Password:", "Password:"},
        {L"\x1b[2J\x1b]0;owned\x07", "\\x1B[2J\\x1B]0;owned\\x07"},
        {L"a\rb\nc\td\x7f\x9b", "a\\x0Db\\x0Ac\\x09d\\x7F\\x9B"},
        {L"C:\\x41 \u00e9", "C:\\\\x41 \xC3\xA9"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.shown, ToPrintableUtf8(c.text));
}

TEST(EapPacket, BuildsTypedAndResultPackets)
{
    EXPECT_EQ("0207000806616263", Hex(MakeEapTyped(kEapResponse, 7, kEapTypeGtc, Text("abc"))));
    EXPECT_EQ("0100000501", Hex(MakeEapTyped(kEapRequest, 0, kEapTypeIdentity, Bytes())));
    EXPECT_EQ("03090004", Hex(MakeEapResult(kEapSuccess, 9)));
    // Type-Data beyond what a 16-bit Length can declare is cut, never mis-declared.
    Bytes huge = MakeEapTyped(kEapRequest, 1, kEapTypeGtc, Bytes(70000, 'x'));
    EXPECT_EQ(0xFFFFu, huge.size());
    EXPECT_EQ(0xFF, huge[2]);
    EXPECT_EQ(0xFF, huge[3]);
}

struct HexCase {
    const char* line;
    bool accepted;
    const char* bytes; // upper-case hex of what was read
};

TEST(HexText, ParsesPairsAndRefusesAnythingElse)
{
    const HexCase cases[] = {
        {"", true, ""},           {"00ff7A", true, "00FF7A"}, {"01 02\t03\r", true, "010203"},
        {"012", false, nullptr},  {"0g", false, nullptr},     {"01 2", false, nullptr},
        {"0x01", false, nullptr}, {"01\r\r", false, nullptr},
    };
    for (const HexCase& c : cases) {
        SCOPED_TRACE(c.line);
        Bytes out = {0xde, 0xad, 0xbe, 0xef};
        EXPECT_EQ(c.accepted, HexToBytes(c.line, &out));
        EXPECT_EQ(c.accepted ? c.bytes : "DEADBEEF", Hex(out));
    }
    const uint8_t all[] = {0x00, 0x0f, 0xa0, 0xff};
    EXPECT_EQ("000FA0FF", BytesToHex(all, 4));
}

GtcServerScript Script(std::vector<std::pair<const char*, const char*>> rounds)
{
    GtcServerScript script;
    for (const auto& round : rounds)
        script.rounds.push_back(GtcRound{Text(round.first), Text(round.second)});
    return script;
}

struct ServerCase {
    const char* name;
    GtcServerScript script;
    std::vector<const char*> peer;     // the peer's packets in hex, in order
    std::vector<const char*> expected; // the server's packets: the first, then one per peer packet
    const char* lastNote;
};

TEST(GtcServer, PlaysItsScript)
{
    GtcServerScript noIdentity = Script({{"P", "pw"}});
    noIdentity.askIdentity = false;
    noIdentity.firstId = 7;
    GtcServerScript continues = Script({{"P", "pw"}, {"T", "1"}});
    continues.mismatch = kMismatchContinues;
    GtcServerScript scriptedFailure = Script({{"P", "pw"}});
    scriptedFailure.outcome = kOutcomeAlwaysFailure;
    const ServerCase cases[] = {
        {"one round",
         Script({{"Pass:", "pw"}}),
         {"0201000601 41", "020200070670 77"},
         {"0101000501", "0102000A06506173733A", "03020004"},
         "answer 1 matched; Success: every answer matched"},
        {"wrong answer",
         Script({{"P", "pw"}}),
         {"0201000501", "02020007067878"},
         {"0101000501", "010200060650", "04020004"},
         "Failure: answer 1 did not match"},
        {"mismatch continues",
         continues,
         {"0201000501", "02020007067878", "02030006 0631"},
         {"0101000501", "010200060650", "010300060654", "04030004"},
         "answer 2 matched; Failure: an answer did not match"},
        {"no identity",
         noIdentity,
         {"02070007067077"},
         {"010700060650", "03070004"},
         "answer 1 matched; Success: every answer matched"},
        {"scripted failure",
         scriptedFailure,
         {"0201000501", "02020007067077"},
         {"0101000501", "010200060650", "04020004"},
         "answer 1 matched; Failure: scripted failure"},
        {"wrong id",
         Script({{"P", "pw"}}),
         {"0201000501", "02090007067077"},
         {"0101000501", "010200060650", "04020004"},
         "Failure: Response id 9 does not match Request id 2"},
        {"a Request back",
         Script({{"P", "pw"}}),
         {"0101000501"},
         {"0101000501", "04010004"},
         "Failure: expected a Response, got Request id 1 type 1 len 5"},
        {"runt",
         Script({{"P", "pw"}}),
         {"0201"},
         {"0101000501", "04010004"},
         "Failure: expected a Response, got runt of 2 bytes"},
        {"GTC before identity",
         Script({{"P", "pw"}}),
         {"02010007067077"},
         {"0101000501", "04010004"},
         "Failure: expected the identity, got type 6"},
        {"Nak",
         Script({{"P", "pw"}}),
         {"0201000501", "020200060304"},
         {"0101000501", "010200060650", "04020004"},
         "Failure: unexpected Response type 3"},
    };
    for (const ServerCase& c : cases) {
        SCOPED_TRACE(c.name);
        GtcServer server;
        GtcServerStep step = GtcServerStart(&server, c.script);
        std::vector<std::string> sent = {Hex(step.packet)};
        for (const char* peer : c.peer) {
            Bytes packet = Hex(peer);
            step = GtcServerReceive(&server, packet.data(), packet.size());
            sent.push_back(Hex(step.packet));
        }
        std::vector<std::string> expected;
        for (const char* e : c.expected)
            expected.push_back(Hex(Hex(e)));
        EXPECT_EQ(expected, sent);
        EXPECT_EQ(c.lastNote, step.note);
        EXPECT_TRUE(server.finished);
    }
}

TEST(GtcServer, KeepsTheIdentityAndSaysNothingOnceFinished)
{
    GtcServer server;
    GtcServerStart(&server, Script({}));
    Bytes identity = Hex("0201000A0161 6C6963 65");
    GtcServerStep step = GtcServerReceive(&server, identity.data(), identity.size());
    EXPECT_EQ("identity \"alice\"; Success: every answer matched", step.note);
    EXPECT_EQ(Text("alice"), server.identity);
    step = GtcServerReceive(&server, identity.data(), identity.size());
    EXPECT_TRUE(step.packet.empty());
    EXPECT_EQ("conversation already finished", step.note);
}

TEST(GuardedBuffers, ThePacketEndsAtAnInaccessiblePageAndTheSendGuardSeesOverruns)
{
    const BYTE packet[] = {1, 2, 0, 5, 6};
    for (SIZE_T size : {SIZE_T(0), SIZE_T(5)}) {
        GuardedBlock block;
        ASSERT_TRUE(MakeGuardedCopy(packet, size, &block));
        EXPECT_EQ(0, memcmp(block.bytes, packet, size));
        MEMORY_BASIC_INFORMATION info;
        ASSERT_NE(0u, VirtualQuery(block.bytes + size, &info, sizeof(info)));
        EXPECT_EQ(static_cast<DWORD>(PAGE_NOACCESS), info.Protect);
        FreeGuardedCopy(&block);
        EXPECT_EQ(nullptr, block.region);
    }
    SendBuffer send;
    ResetSendBuffer(&send, 0);
    EXPECT_TRUE(SendGuardIntact(send));
    ResetSendBuffer(&send, 10);
    send.storage[9] = 0;
    EXPECT_TRUE(SendGuardIntact(send));
    send.storage[10 + kSendGuardSize - 1] = 0;
    EXPECT_FALSE(SendGuardIntact(send));
}

TEST(UserDataStore, SavesLoadsAndErasesPerUserAndType)
{
    std::wstring user = sizeof(void*) == 8 ? L"storetest-x64" : L"storetest-x86";
    ASSERT_EQ(0u, EraseUserData(user, 6));
    std::vector<BYTE> data = {0xde, 0xad};
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), LoadUserData(user, 6, &data));
    EXPECT_EQ((std::vector<BYTE>{0xde, 0xad}), data);
    const BYTE saved[] = {1, 2, 3};
    ASSERT_EQ(0u, SaveUserData(user, 6, saved, 3));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), LoadUserData(user, 25, &data));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), LoadUserData(user + L"-other", 6, &data));
    ASSERT_EQ(0u, LoadUserData(user, 6, &data));
    EXPECT_EQ((std::vector<BYTE>{1, 2, 3}), data);
    EXPECT_EQ(0u, EraseUserData(user, 6));
    EXPECT_EQ(0u, EraseUserData(user, 6));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), LoadUserData(user, 6, &data));
}

TEST(AuthenticatorLink, StreamReadsHexLinesAndWritesOne)
{
    FILE* in = tmpfile();
    FILE* out = tmpfile();
    ASSERT_TRUE(in && out);
    fputs("# comment\n\n  \nnot hex\n0101000501\r\n03010004", in);
    rewind(in);
    AuthenticatorLink link;
    OpenStreamLink(&link, in, out);
    StdoutCapture capture;
    Bytes packet;
    ASSERT_TRUE(NextPacketFromAuthenticator(&link, &packet));
    EXPECT_EQ("0101000501", Hex(packet));
    ASSERT_TRUE(NextPacketFromAuthenticator(&link, &packet));
    EXPECT_EQ("03010004", Hex(packet));
    EXPECT_FALSE(NextPacketFromAuthenticator(&link, &packet));
    EXPECT_EQ("eaphost :: ignored a line that is not hex: not hex\n", capture.Text());
    const uint8_t response[] = {2, 1, 0, 6, 1, 0x41};
    SendToAuthenticator(&link, response, sizeof(response));
    rewind(out);
    char line[64] = {};
    ASSERT_TRUE(fgets(line, sizeof(line), out));
    EXPECT_STREQ("020100060141\n", line);
    fclose(in);
    fclose(out);
}

TEST(AuthenticatorLink, ServerLinkEndsWhenTheServerHasFinished)
{
    StdoutCapture capture;
    AuthenticatorLink link;
    OpenServerLink(&link, Script({}));
    Bytes packet;
    ASSERT_TRUE(NextPacketFromAuthenticator(&link, &packet));
    EXPECT_EQ("0101000501", Hex(packet));
    EXPECT_FALSE(NextPacketFromAuthenticator(&link, &packet));
    const uint8_t identity[] = {2, 1, 0, 6, 1, 0x41};
    SendToAuthenticator(&link, identity, sizeof(identity));
    ASSERT_TRUE(NextPacketFromAuthenticator(&link, &packet));
    EXPECT_EQ("03010004", Hex(packet));
    EXPECT_FALSE(NextPacketFromAuthenticator(&link, &packet));
    EXPECT_EQ("server :: Identity Request\n"
              "server :: identity \"A\"; Success: every answer matched\n",
              capture.Text());
}

struct OptionCase {
    std::vector<const wchar_t*> args;
    const char* error; // null: accepted
};

bool Parse(std::vector<const wchar_t*> args, HostOptions* options, std::string* error)
{
    args.insert(args.begin(), L"eaphost.exe");
    return ParseHostOptions((int)args.size(), args.data(), options, error);
}

TEST(HostOptions, ReadsTheScriptTheDialogAnswersAndTheHostSettings)
{
    HostOptions options;
    std::string error;
    ASSERT_TRUE(Parse({L"m.dll",       L"--user",     L"u",       L"--non-interactive",
                       L"--flags",     L"0x80",       L"--round", L"P\u00e9:",
                       L"pw",          L"--first-id", L"200",     L"--mismatch",
                       L"continue",    L"--outcome",  L"failure", L"--no-identity-request",
                       L"--fill",      L"1087=a=b",   L"--fill",  L"1088=",
                       L"--press",     L"ok",         L"--press", L"cancel",
                       L"--send-size", L"0",          L"--forget"},
                      &options, &error))
        << error;
    EXPECT_EQ(kCommandAuthenticate, options.command);
    EXPECT_TRUE(options.forgetFirst);
    EXPECT_EQ(L"m.dll", options.pluginPath);
    EXPECT_FALSE(options.registered);
    EXPECT_EQ(6u, options.eapType);
    EXPECT_EQ(6, options.script.methodType);
    EXPECT_EQ(L"u", options.user);
    EXPECT_EQ(0x82u, options.flags);
    EXPECT_EQ(0u, options.sendSize);
    ASSERT_EQ(1u, options.script.rounds.size());
    EXPECT_EQ("50C3A93A", Hex(options.script.rounds[0].prompt)); // UTF-8
    EXPECT_EQ(Text("pw"), options.script.rounds[0].expectedAnswer);
    EXPECT_EQ(200, options.script.firstId);
    EXPECT_FALSE(options.script.askIdentity);
    EXPECT_EQ(kMismatchContinues, options.script.mismatch);
    EXPECT_EQ(kOutcomeAlwaysFailure, options.script.outcome);
    ASSERT_EQ(2u, options.answers.size());
    ASSERT_EQ(2u, options.answers[0].fields.size());
    EXPECT_EQ(1087, options.answers[0].fields[0].first);
    EXPECT_EQ(L"a=b", options.answers[0].fields[0].second);
    EXPECT_EQ(L"", options.answers[0].fields[1].second);
    EXPECT_EQ(IDOK, options.answers[0].button);
    EXPECT_TRUE(options.answers[1].fields.empty());
    EXPECT_EQ(IDCANCEL, options.answers[1].button);
}

TEST(HostOptions, ChoosesTheCommandAndRefusesWhatItCannotRead)
{
    const OptionCase cases[] = {
        {{L"--forget"}, nullptr},
        {{L"--show-saved", L"--user", L"x"}, nullptr},
        {{L"--help"}, nullptr},
        {{L"--registered", L"--dll-dir", L"Z:\\lib"}, nullptr},
        {{L"--user"}, "--user needs a value"},
        {{L"m.dll", L"--send-size", L"-1"}, "--send-size: bad number \"-1\""},
        {{L"m.dll", L"--send-size", L"12x"}, "--send-size: bad number \"12x\""},
        {{L"m.dll", L"--outcome", L"maybe"}, "--outcome: unknown value \"maybe\""},
        {{L"m.dll", L"--fill", L"=x", L"--press", L"ok"}, "--fill: expected ID=TEXT, got \"=x\""},
        {{L"m.dll", L"--fill", L"70000=x", L"--press", L"ok"},
         "--fill: expected ID=TEXT, got \"70000=x\""},
        {{L"--dll-dir"}, "--dll-dir needs a value"},
        {{L"--forget", L"--user", L"u", L"--type", L"300"}, "--type: EAP types go up to 255"},
    };
    const HostCommand commands[] = {kCommandForget, kCommandShowSaved, kCommandHelp,
                                    kCommandAuthenticate};
    int index = 0;
    for (const OptionCase& c : cases) {
        SCOPED_TRACE(index);
        HostOptions options;
        options.eapType = 0xdeadbeef;
        std::string error;
        bool accepted = Parse(c.args, &options, &error);
        EXPECT_EQ(c.error == nullptr, accepted);
        if (c.error) {
            EXPECT_EQ(c.error, error);
            EXPECT_EQ(0xdeadbeefu, options.eapType); // untouched on failure
        } else {
            EXPECT_EQ(commands[index], options.command);
        }
        ++index;
    }
}

} // namespace
