// The XP SP2 WirelessProfile document from any values XML can carry (zero bytes end each
// text: SSID, authentication, encryption, network key, EAP method; then the three numbers).
// Built with 16-bit wchar_t as on Windows, it must fit the size it was given, and libxml2 must
// read it back as well-formed XML whose children of wp:WirelessProfile are those of the
// template the values choose, in order, each holding exactly the value put in.
#include <cstring>

#include "../common/xml_oracle.h"
#include "wireless_profile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    uint8_t flags = data[0];
    ++data;
    --size;
    std::u16string texts[5];
    for (std::u16string& text : texts)
        text = NextText(data, size);
    auto wide = [&](int i) { return reinterpret_cast<const wchar_t*>(texts[i].c_str()); };
    WirelessProfileValues values = {};
    values.ssid = wide(0);
    values.authentication = wide(1);
    values.encryption = wide(2);
    values.networkKey = flags & 1 ? nullptr : wide(3);
    values.eapMethod = wide(4);
    values.keyIndex = NextNumber(data, size);
    values.keyProvidedAutomatically = NextNumber(data, size);
    values.ieee8021xEnabled = flags & 2 ? NextNumber(data, size) : (flags >> 2) & 1;

    wchar_t* document = nullptr;
    size_t bytes = 0;
    Check(BuildWirelessProfile(&values, &document, &bytes) == 0);
    Check(bytes == WirelessProfileBytes(&values) && bytes >= WIRELESS_PROFILE_MIN_BYTES);
    Check(ShortWcslen(document) < bytes / 2);
    ReadBack read = ParseDocument(Utf8(document));
    free(document);
    Check(read.wellFormed);

    // The template: the first whose condition holds.
    bool key = values.networkKey && values.networkKey[0];
    bool psk = texts[1] == u"WPAPSK" || texts[1] == u"WPA2PSK";
    bool oneX = values.ieee8021xEnabled != 0;
    const std::string ns = "{http://www.microsoft.com/provisioning/WirelessProfile}";
    std::vector<std::string> expected = {"WirelessProfile" + ns,
                                         "version" + ns + "=1",
                                         "ssid" + ns + "=" + Utf8(values.ssid),
                                         "connectionType" + ns + "=ESS",
                                         "authentication" + ns + "=" + Utf8(values.authentication),
                                         "encryption" + ns + "=" + Utf8(values.encryption)};
    if (oneX || key) {
        if (psk || key)
            expected.push_back("networkKey" + ns + "=" + Utf8(values.networkKey));
        if (!psk && key)
            expected.push_back("keyIndex" + ns + "=" + std::to_string(values.keyIndex));
    }
    expected.push_back("keyProvidedAutomatically" + ns + "=" +
                       std::to_string(values.keyProvidedAutomatically));
    expected.push_back("IEEE802.1XEnabled" + ns + "=" + std::to_string(values.ieee8021xEnabled));
    if (oneX && !psk)
        expected.push_back("EAPMethod" + ns + "=" + Utf8(values.eapMethod));
    Check(read.elements == expected);
    return 0;
}
