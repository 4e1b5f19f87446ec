// The WirelessProfile document that the XP SP2 provisioning service takes. Its escaping and
// the other values are checked through the handlers against the emulated platform.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "wireless_profile.h"

namespace {

TEST(WirelessProfile, LongestDocument)
{
    const std::wstring s(32, L's'), k(64, L'k');
    std::wstring expected =
        L"<?xml version=\"1.0\"?> <wp:WirelessProfile xmlns=\"http://www.microsoft"
        L".com/provisioning/WirelessProfile\" xmlns:wp=\"http://www.microsoft."
        L"com/provisioning/WirelessProfile\">";
    for (const auto& child : {std::make_pair(L"version", L"1"),
                              {L"ssid", s.c_str()},
                              {L"connectionType", L"ESS"},
                              {L"authentication", L"Shared"},
                              {L"encryption", L"WEP"},
                              {L"networkKey", k.c_str()},
                              {L"keyIndex", L"1"},
                              {L"keyProvidedAutomatically", L"1"},
                              {L"IEEE802.1XEnabled", L"1"},
                              {L"EAPMethod", L"EAP-TLS"}})
        expected += std::wstring(L" <wp:") + child.first + L">" + child.second + L"</wp:" +
                    child.first + L">";
    WirelessProfileValues values = {s.c_str(), L"Shared", L"WEP", k.c_str(), 1, 1, 1, L"EAP-TLS"};
    wchar_t* text = nullptr;
    size_t bytes = 0;
    ASSERT_EQ(0u, BuildWirelessProfile(&values, &text, &bytes));
    EXPECT_EQ(expected + L" </wp:WirelessProfile>", std::wstring(text)); // 665 with terminator
    EXPECT_EQ(1388u, bytes);
    free(text);
}

} // namespace
