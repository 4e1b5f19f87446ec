// Hostile and malformed packets, each in a buffer that ends at an inaccessible page so that any
// read past its Length faults, and send buffers of every size: the plug-in must answer with a
// code, never read or write outside what it was given.
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "exchange_driver.h"

namespace {

// The outcome expected of one packet in the two states that matter.
struct Expect {
    DWORD status;
    PPP_EAP_ACTION action;
};

const Expect kRefused = {722, EAPACTION_NoAction};

// What the packet's declared Length means to the plug-in, by Code.
Expect ExpectedFor(BYTE code, WORD length, LONG state)
{
    if (length < 4)
        return kRefused;
    switch (code) {
    case 1:
        if (length < 5)
            return kRefused;
        return state == 0 ? Expect{0, EAPACTION_Send} : Expect{0, EAPACTION_NoAction};
    case 3:
    case 4: return Expect{0, EAPACTION_Done};
    default: return kRefused;
    }
}

// The packet's bytes: its Length bytes, but never fewer than the four header bytes that carry
// the Length itself.
Bytes Hostile(BYTE code, WORD length)
{
    Bytes body(length > 4 ? length - 4 : 0, 0x80);
    return RawPacket(code, 0x33, length, body);
}

TEST_F(ExchangeTest, MalformedPacketsAreRefusedWithinTheirLength)
{
    std::vector<Bytes> packets;
    for (int code : {0, 1, 2, 3, 4, 5, 255})
        for (WORD length = 0; length <= 5; length++)
            packets.push_back(Hostile((BYTE)code, length));
    packets.push_back(RawPacket(1, 1, 65535, Bytes(65531, 'A')));  // 64 KiB prompt
    packets.push_back(RawPacket(1, 1, 65535, Bytes(65531, 0xC3))); // lead bytes only
    packets.push_back(
        MakeEapTyped(1, 1, 6, Text("\xF4\x90\x80\x80\xED\xA0\x80\xC0\xAF\xF8"))); // invalid UTF-8
    packets.push_back(RawPacket(1, 1, 6, {6, 0xE2})); // sequence cut by Length
    for (LONG state : {0, 4}) {
        for (const Bytes& packet : packets) {
            Begin(L"alice", L"pw");
            Work()->EapState = state;
            WORD length = (WORD)((packet[2] << 8) | packet[3]);
            std::string name = "code " + std::to_string(packet[0]) + " length " +
                               std::to_string(length) + " state " + std::to_string(state);
            MessageResult r = Receive(packet);
            Expect e = ExpectedFor(packet[0], length, state);
            EXPECT_EQ(e.status, r.status) << name;
            EXPECT_EQ(e.action, r.out.Action) << name;
            EXPECT_TRUE(r.guardIntact) << name;
            if (r.out.pUIContextData) {
                const EAP_UI_CONTEXT* context = (const EAP_UI_CONTEXT*)r.out.pUIContextData;
                size_t units = wcsnlen(context->awszPrompt, ARRAYSIZE(context->awszPrompt));
                EXPECT_LE(units, 260u) << name << ": the prompt is terminated";
                EXPECT_EQ(length == 5, units == 0) << name;
                if (packet[5] == 'A') {
                    EXPECT_EQ(std::wstring(260, L'A'), context->awszPrompt) << name;
                }
            }
            if (e.status == 722) {
                EXPECT_EQ(state, Work()->EapState) << name;
                EXPECT_EQ(nullptr, r.out.pUserData) << name;
                EXPECT_EQ(FALSE, r.out.fInvokeInteractiveUI) << name;
            }
            ReturnBlocks(r.out);
            table_.RasEapEnd(work_);
            work_ = nullptr;
        }
    }
}

TEST_F(ExchangeTest, ShortLengthIsReportedAtTheErrorLevel)
{
    Begin(L"alice", L"pw");
    Receive(Hostile(3, 2));
    Receive(Hostile(1, 4));
    std::vector<std::string> errors;
    for (const TraceRecord& r : ReadTraceLog())
        if (r.flags == 0x1000E)
            errors.push_back(r.text);
    EXPECT_EQ(std::vector<std::string>(
                  {"RasEapMakeMessage :: packet Length 2 is shorter than its header",
                   "RasEapMakeMessage :: Request of 4 bytes has no Type"}),
              errors);
}

// Every send-buffer size from 0 up to beyond what the answer needs.
TEST_F(ExchangeTest, SendBuffersOfEverySize)
{
    struct Case {
        const char* name;
        Bytes packet;         // empty: the call after a token dialog
        Bytes answer;         // what goes out when it fits, its zero included
        DWORD tooSmallStatus; // result when it does not fit
    } cases[] = {
        {"password",
         MakeEapTyped(1, 7, 6, Text("Password:")),
         {2, 7, 0, 8, 6, 'a', 'b', 'c', 0},
         122},
        {"token code", Bytes(), {2, 9, 0, 7, 6, '4', '2', 0}, 122},
        {"success", MakeEapResult(3, 4), {3, 4, 0, 4}, 0},
    };
    for (const Case& c : cases) {
        for (DWORD size = 0; size <= c.answer.size() + 2; size++) {
            Begin(L"alice", L"abc");
            Work()->bRecvPacketId = 9;
            if (c.packet.size() == 4)
                Work()->EapState = 4; // the password went out before the Success
            ClearTraceLog();
            MessageResult r;
            if (c.packet.empty()) {
                EAP_NAME_DIALOG token = TokenAnswer(L"42");
                r = AfterDialog(&token, size);
            } else {
                r = Message(&c.packet, size);
            }
            std::string name = std::string(c.name) + " in " + std::to_string(size) + " bytes";
            EXPECT_TRUE(r.guardIntact) << name;
            bool fits = size >= c.answer.size();
            if (fits) {
                EXPECT_EQ(0u, r.status) << name;
                EXPECT_EQ(c.answer, Bytes(r.sent.begin(), r.sent.begin() + c.answer.size()))
                    << name;
            } else {
                EXPECT_EQ(c.tooSmallStatus, r.status) << name;
                EXPECT_EQ(Bytes(size, kUnwritten), r.sent) << name << ": nothing written";
                bool errorLine = false;
                for (const TraceRecord& t : ReadTraceLog())
                    errorLine |= t.flags == 0x1000E &&
                                 t.text.find("too small") != std::string::npos;
                EXPECT_TRUE(errorLine) << name;
                if (c.tooSmallStatus == 122) {
                    EXPECT_EQ(EAPACTION_NoAction, r.out.Action) << name;
                    EXPECT_EQ(0, Work()->EapState) << name << ": nothing was sent";
                }
            }
            if (c.packet.size() == 4) {
                EXPECT_EQ(EAPACTION_Done, r.out.Action) << name << ": the success stands";
                EXPECT_EQ(776u, r.out.dwSizeOfUserData) << name;
            }
            ReturnBlocks(r.out);
            table_.RasEapEnd(work_);
            work_ = nullptr;
        }
    }
}

// The host may run several authentications at once, each with its work buffer: four threads
// from a fresh load (racing for the first-call set-up), a hundred whole authentications each.
TEST_F(ExchangeTest, ConcurrentAuthenticationsStayApart)
{
    LoadPlugin();
    ClearTraceLog();
    auto getInfo = (GetInfoFn)Export("RasEapGetInfo");
    auto freeMemory = (FreeMemoryFn)Export("RasEapFreeMemory");
    std::atomic<int> succeeded{0};
    auto authenticate = [&](int thread) {
        PPP_EAP_INFO info = {};
        info.dwSizeInBytes = sizeof(info);
        if (getInfo(6, &info) != 0)
            return;
        std::wstring user = L"user" + std::to_wstring(thread),
                     password = L"pw" + std::to_wstring(thread);
        std::string expected = "pw" + std::to_string(thread);
        for (int i = 0; i < 100; i++) {
            PPP_EAP_INPUT in = {};
            in.dwSizeInBytes = sizeof(in);
            in.pwszIdentity = &user[0];
            in.pwszPassword = &password[0];
            void* work = nullptr;
            if (info.RasEapBegin(&work, &in) != 0)
                continue;
            BYTE send[64] = {};
            PPP_EAP_OUTPUT asked = {}, done = {};
            Bytes request = MakeEapTyped(1, (uint8_t)i, 6, Text("Password:")),
                  success = MakeEapResult(3, (uint8_t)i);
            bool sent = info.RasEapMakeMessage(work, (PPP_EAP_PACKET*)request.data(),
                                               (PPP_EAP_PACKET*)send, sizeof(send), &asked,
                                               &in) == 0 &&
                        asked.Action == EAPACTION_Send && expected == (const char*)send + 5;
            bool saved = info.RasEapMakeMessage(work, (PPP_EAP_PACKET*)success.data(),
                                                (PPP_EAP_PACKET*)send, sizeof(send), &done,
                                                &in) == 0 &&
                         done.Action == EAPACTION_Done && done.dwSizeOfUserData == 776 &&
                         std::string("user") + std::to_string(thread) ==
                             ((ENCRYPTED_USER_IDENTITY*)done.pUserData)->aszIdentity;
            freeMemory(done.pUserData);
            info.RasEapEnd(work);
            succeeded += sent && saved;
        }
    };
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; t++)
        threads.emplace_back(authenticate, t);
    for (std::thread& t : threads)
        t.join();
    EXPECT_EQ(400, succeeded.load());
    int banners = 0;
    for (const std::string& line : TraceLines()) {
        EXPECT_NE(std::string::npos, line.find(" :: ")) << "a line cut or run together: " << line;
        banners += line.find("enabled log(") != std::string::npos;
    }
    EXPECT_EQ(1, banners) << "tracing registered once";
}

} // namespace
