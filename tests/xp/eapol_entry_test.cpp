// The EAPOL entry that both XP back ends store, byte for byte in every layout. The other
// templates, escaping, layout choice and SSID comparison are checked through the handlers
// against the emulated platform.
#include <gtest/gtest.h>

#include <cstdlib>

#include "xp_test_support.h"

namespace {

uint8_t kRoots[10][20];

// Expected bytes, field by field.
struct B {
    Bytes d;
    B& U(uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            d.push_back(uint8_t(v >> 8 * i));
        return *this;
    }
    B& Z(size_t n) { return d.insert(d.end(), n, 0), *this; }
    B& H(int root) { return U(20), d.insert(d.end(), kRoots[root], kRoots[root] + 20), *this; }
    B& Head(uint32_t version, uint32_t flags, uint32_t type, const std::string& ssid)
    {
        U(version).U(0).U(flags).U(type).U((uint32_t)ssid.size());
        return d.insert(d.end(), ssid.begin(), ssid.end()), Z(32 - ssid.size());
    }
    B& DefaultTls() { return U(13).U(40).U(0).U(40).U(5).Z(32); }
};

TEST(EapolEntry, EveryLayoutByteForByte)
{
    for (int i = 0; i < 200; ++i)
        kRoots[i / 20][i % 20] = uint8_t(i + 1);
    const std::string ssid32(32, 'S');
    const struct {
        EapolLayout layout;
        uint32_t version, roots;
        bool validate, fastReconnect, logon, machine, guest;
        std::string ssid;
        Bytes expected;
    } cases[] = {
        {EAPOL_LAYOUT_TLS, 5, 0, false, false, false, false, false, "Corp", // 106
         B().Head(5, 0x80000000, 13, "Corp").U(13).U(42).U(2).U(42).U(0x17).Z(30).Z(4).d},
        {EAPOL_LAYOUT_TLS, 5, 1, true, false, false, false, false, "Corp", // 106
         B().Head(5, 0x80000000, 13, "Corp").U(13).U(42).U(2).U(42).U(0x15).H(0).Z(2).U(1).Z(4).d},
        {EAPOL_LAYOUT_TLS, 5, 3, true, false, false, false, false, "Corp", // 154
         B().Head(5, 0x80000000, 13, "Corp")
             .U(13)
             .U(90)
             .U(2)
             .U(90)
             .U(0x15)
             .H(0)
             .Z(2)
             .U(3)
             .H(1)
             .H(2)
             .Z(4)
             .d},
        {EAPOL_LAYOUT_PEAP_GTC, 5, 2, true, false, false, false, false, "Office", // 218
         B().Head(5, 0x80000000, 25, "Office")
             .DefaultTls()
             .U(25)
             .U(102)
             .U(1)
             .U(102)
             .U(1)
             .U(0)
             .U(1)
             .U(69)
             .U(0x15)
             .U(2)
             .H(0)
             .H(1)
             .Z(2)
             .U(1)
             .U(15)
             .U(6)
             .Z(8)
             .Z(4)
             .d},
        {EAPOL_LAYOUT_PEAP_MSCHAPV2, 5, 0, false, true, true, true, true, "Office", // 178
         B().Head(5, 0xE0000000, 25, "Office")
             .DefaultTls()
             .U(25)
             .U(62)
             .U(1)
             .U(62)
             .U(1)
             .U(1)
             .U(1)
             .U(21)
             .U(0x17)
             .U(0)
             .Z(2)
             .U(1)
             .U(23)
             .U(26)
             .U(1)
             .U(2)
             .Z(8)
             .Z(4)
             .d},
        {EAPOL_LAYOUT_SECUREW2, 5, 0, false, false, false, false, true, ssid32, // 104
         B().Head(5, 0xA0000000, 21, ssid32).DefaultTls().d},
        {EAPOL_LAYOUT_TLS, 3, 0, false, false, false, true, false, "Lab", // XP SP1
         B().Head(3, 0xC0000000, 13, "Lab").U(13).U(42).U(2).U(42).U(0x17).Z(30).Z(4).d},
    };
    for (const auto& c : cases) {
        EapolEntryInput input = {c.version,
                                 c.layout,
                                 c.machine,
                                 c.guest,
                                 (const uint8_t*)c.ssid.data(),
                                 (uint32_t)c.ssid.size(),
                                 {kRoots, c.roots, c.validate, c.fastReconnect, c.logon}};
        uint8_t* entry = nullptr;
        uint32_t size = 0;
        ASSERT_EQ(0u, BuildEapolEntry(&input, &entry, &size));
        EXPECT_EQ(c.expected, Bytes(entry, entry + size)) << c.layout << " " << c.roots;
        free(entry);
    }
    Bytes ten = Entry(EAPOL_LAYOUT_TLS, "Corp", {kRoots, 10, true, false, false});
    EXPECT_EQ(322u, ten.size());
    EXPECT_EQ(258u, ten[56] | ten[57] << 8); // the item size, and the record's
    EXPECT_EQ(258u, ten[64] | ten[65] << 8);
}

} // namespace
