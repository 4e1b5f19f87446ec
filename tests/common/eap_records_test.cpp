#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "eap_records.h"
#include "hex_text.h"

namespace {

enum RecordKind { PEAP_MSCHAPV2, PEAP_GTC, TLS };

// Thumbprint i is 20 bytes of 0x11 * (i + 1), so that entries are told apart.
struct Thumbprints {
    uint8_t bytes[EAP_MAX_TRUSTED_ROOTS + 1][EAP_THUMBPRINT_BYTES];
    Thumbprints()
    {
        for (int i = 0; i <= EAP_MAX_TRUSTED_ROOTS; ++i)
            memset(bytes[i], 0x11 * (i + 1), EAP_THUMBPRINT_BYTES);
    }
};

// Hex of CaHashEntry i: the length 20, then the thumbprint.
std::string Entry(int i)
{
    char digits[3];
    snprintf(digits, sizeof(digits), "%02X", 0x11 * (i + 1));
    std::string hex = "14000000";
    for (int b = 0; b < EAP_THUMBPRINT_BYTES; ++b)
        hex += digits;
    return hex;
}

std::string Entries(int from, int to)
{
    std::string hex;
    for (int i = from; i < to; ++i)
        hex += Entry(i);
    return hex;
}

std::string ToHex(const uint8_t* bytes, size_t count)
{
    wchar_t* text = nullptr;
    EXPECT_EQ(0u, ConvertToHexString(bytes, count, &text));
    std::string narrow;
    for (wchar_t* c = text; c && *c; ++c)
        narrow += (char)*c;
    free(text);
    return narrow;
}

struct RecordCase {
    const char* name;
    RecordKind kind;
    uint32_t count;
    bool validate, fastReconnect, useLogon;
    std::string expected;
};

const std::string kMschapEntry = "01000000170000001A0000000100000000000000"
                                 "0000000000000000";
const std::string kMschapLogonEntry = "01000000170000001A0000000100000002000000"
                                      "0000000000000000";
const std::string kGtcEntry = "010000000F00000006000000"
                              "0000000000000000";

const RecordCase kRecords[] = {
    {"peap mschapv2 no CA", PEAP_MSCHAPV2, 0, false, false, false,
     "010000003E000000010000000000000001000000150000001700000000000000000001000000170000001A00000001000000000000000000000000000000"},
    {"peap gtc no CA", PEAP_GTC, 0, false, false, false,
     "01000000360000000100000000000000010000001500000017000000000000000000010000000F000000060000000000000000000000"},
    {"tls no CA", TLS, 0, false, false, false, "020000002A00000017000000" + std::string(60, '0')},
    {"tls validate without CA", TLS, 0, true, false, false,
     "020000002A00000015000000" + std::string(60, '0')},
    {"tls one CA", TLS, 1, true, false, false,
     "020000002A00000015000000" + Entry(0) +
         "0000"
         "01000000"},
    {"tls two CAs", TLS, 2, true, false, false,
     "020000004200000015000000" + Entry(0) +
         "0000"
         "02000000" +
         Entry(1)},
    {"tls three CAs", TLS, 3, true, false, false,
     "020000005A00000015000000" + Entry(0) +
         "0000"
         "03000000" +
         Entries(1, 3)},
    {"tls ten CAs", TLS, 10, true, false, false,
     "020000000201000015000000" + Entry(0) +
         "0000"
         "0A000000" +
         Entries(1, 10)},
    {"peap gtc one CA, fast reconnect", PEAP_GTC, 1, true, true, false,
     "01000000"
     "4E000000"
     "01000000"
     "01000000"
     "01000000"
     "2D000000"
     "15000000"
     "01000000" +
         Entry(0) + "0000" + kGtcEntry},
    {"peap gtc ignores the logon option", PEAP_GTC, 0, false, false, true,
     "01000000360000000100000000000000010000001500000017000000000000000000010000000F000000060000000000000000000000"},
    {"peap mschapv2 two CAs, logon", PEAP_MSCHAPV2, 2, true, false, true,
     "01000000"
     "6E000000"
     "01000000"
     "00000000"
     "01000000"
     "45000000"
     "15000000"
     "02000000" +
         Entries(0, 2) + "0000" + kMschapLogonEntry},
    {"peap mschapv2 three CAs", PEAP_MSCHAPV2, 3, true, false, false,
     "01000000860000000100000000000000010000005D0000001500000003000000" + Entries(0, 3) + "0000" +
         kMschapEntry},
    {"peap mschapv2 ten CAs, all options", PEAP_MSCHAPV2, 10, true, true, true,
     "010000002E01000001000000010000000100000005010000150000000A000000" + Entries(0, 10) + "0000" +
         kMschapLogonEntry},
    {"peap gtc ten CAs", PEAP_GTC, 10, true, false, false,
     "01000000260100000100000000000000010000000501000015000000"
     "0A000000" +
         Entries(0, 10) + "0000" + kGtcEntry},
};

TEST(EapRecords, EncodeByteForByte)
{
    Thumbprints roots;
    for (const RecordCase& c : kRecords) {
        SCOPED_TRACE(c.name);
        EapRecordInput input = {roots.bytes, c.count, c.validate, c.fastReconnect, c.useLogon};
        uint8_t* record = nullptr;
        uint32_t size = 0;
        uint32_t result = c.kind == TLS
                              ? BuildTlsRecord(&input, &record, &size)
                              : BuildPeapRecord(c.kind == PEAP_GTC ? INNER_METHOD_GTC
                                                                   : INNER_METHOD_MSCHAPV2,
                                                &input, &record, &size);
        ASSERT_EQ(0u, result);
        EXPECT_EQ(c.expected.size() / 2, size);
        EXPECT_EQ(c.expected, ToHex(record, size));
        free(record);
    }
}

TEST(EapRecords, RefuseMoreThanTenRootsAndLeaveOutputsAlone)
{
    Thumbprints roots;
    EapRecordInput tooMany = {roots.bytes, 11, true, false, false};
    EapRecordInput missing = {nullptr, 1, true, false, false};
    for (const EapRecordInput* input : {&tooMany, &missing}) {
        uint8_t* record = reinterpret_cast<uint8_t*>(0xdeadbeef);
        uint32_t size = 0xdeadbeef;
        EXPECT_EQ(87u, BuildTlsRecord(input, &record, &size));
        EXPECT_EQ(87u, BuildPeapRecord(INNER_METHOD_GTC, input, &record, &size));
        EXPECT_EQ(87u, BuildPeapRecord(INNER_METHOD_MSCHAPV2, input, &record, &size));
        EXPECT_EQ(reinterpret_cast<uint8_t*>(0xdeadbeef), record);
        EXPECT_EQ(0xdeadbeefu, size);
    }
}

TEST(HexText, UpperCaseTwoDigitsPerByteInOrder)
{
    const uint8_t example[] = {0x02, 0x2A, 0xFF};
    EXPECT_EQ("022AFF", ToHex(example, 3));
    EXPECT_EQ("", ToHex(example, 0));
    uint8_t all[256];
    for (int i = 0; i < 256; ++i)
        all[i] = (uint8_t)i;
    std::string hex = ToHex(all, 256);
    ASSERT_EQ(512u, hex.size());
    EXPECT_EQ("000102", hex.substr(0, 6));
    EXPECT_EQ("9FA0A1", hex.substr(0x9F * 2, 6));
    EXPECT_EQ("FEFF", hex.substr(508));
    EXPECT_EQ(std::string::npos, hex.find_first_of("abcdef"));
}

} // namespace
