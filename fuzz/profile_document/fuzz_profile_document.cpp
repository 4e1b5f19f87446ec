// The Vista WLAN profile document of every kind from any values XML can carry (zero bytes
// end each text: SSID, authentication, encryption, useOneX, network key, ConfigBlob, SSID hex;
// then the key index and EAP type the handler can pass, and which elements written only when
// asked for are asked for). Built with 16-bit wchar_t as on Windows, the document must fit the size
// it was given, and libxml2 must read it back as well-formed XML with the kind's elements in
// order, each holding exactly the value put in.
#include <cstring>

#include "../common/xml_oracle.h"
#include "profile_document.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    ProfileKind kind = (ProfileKind)(data[0] % 5);
    bool nullKey = data[0] & 0x80;
    ++data;
    --size;
    std::u16string texts[7];
    for (std::u16string& text : texts)
        text = NextText(data, size);
    ProfileValues values = {};
    const wchar_t* wide[7];
    for (int i = 0; i < 7; ++i)
        wide[i] = reinterpret_cast<const wchar_t*>(texts[i].c_str());
    values.ssid = wide[0];
    values.authentication = wide[1];
    values.encryption = wide[2];
    values.useOneX = wide[3];
    values.networkKey = nullKey ? nullptr : wide[4];
    values.configBlob = wide[5];
    // The numbers the handler can pass: key index 1 to 4, EAP type 13 or 25.
    values.keyIndex = 1 + (uint32_t)NextNumber(data, size) % 4;
    values.eapTypeNumber = NextNumber(data, size) & 1 ? 13 : 25;
    uint32_t asked = (uint32_t)NextNumber(data, size);
    values.ssidHex = asked & 1 ? wide[6] : nullptr;
    values.connectionMode = asked & 2 ? L"manual" : nullptr;
    values.nonBroadcast = (ProfileSwitch)((asked >> 2 & 3) % 3);
    values.autoSwitch = (ProfileSwitch)((asked >> 4 & 3) % 3);
    values.transitionMode = (ProfileSwitch)((asked >> 6 & 3) % 3);
    values.macRandomization = (ProfileMacRandomization)(asked >> 8 & 3);

    wchar_t* document = nullptr;
    size_t bytes = 0;
    Check(BuildProfileDocument(kind, &values, &document, &bytes) == 0);
    Check(bytes == ProfileDocumentBytes(kind, &values) && bytes % 2 == 0);
    Check(ShortWcslen(document) < bytes / 2);
    ReadBack read = ParseDocument(Utf8(document));
    free(document);
    Check(read.wellFormed);

    const std::string wlan = "{http://www.microsoft.com/networking/WLAN/profile/v1}";
    const std::string common = "{http://www.microsoft.com/provisioning/EapCommon}";
    auto switchText = [](ProfileSwitch value) { return value == SWITCH_TRUE ? "=true" : "=false"; };
    std::vector<std::string> expected = {"WLANProfile" + wlan,
                                         "name" + wlan + "=" + Utf8(values.ssid),
                                         "SSIDConfig" + wlan, "SSID" + wlan};
    if (values.ssidHex)
        expected.push_back("hex" + wlan + "=" + Utf8(values.ssidHex));
    expected.push_back("name" + wlan + "=" + Utf8(values.ssid));
    if (values.nonBroadcast != SWITCH_ABSENT)
        expected.push_back("nonBroadcast" + wlan + switchText(values.nonBroadcast));
    expected.push_back("connectionType" + wlan + "=ESS");
    expected.push_back("connectionMode" + wlan + (values.connectionMode ? "=manual" : "=auto"));
    if (values.autoSwitch != SWITCH_ABSENT)
        expected.push_back("autoSwitch" + wlan + switchText(values.autoSwitch));
    for (const std::string& entry : {"MSM" + wlan, "security" + wlan, "authEncryption" + wlan,
                                     "authentication" + wlan + "=" + Utf8(values.authentication),
                                     "encryption" + wlan + "=" + Utf8(values.encryption),
                                     "useOneX" + wlan + "=" + Utf8(values.useOneX)})
        expected.push_back(entry);
    if (values.transitionMode != SWITCH_ABSENT)
        expected.push_back("transitionMode{http://www.microsoft.com/networking/WLAN/profile/v4}" +
                           std::string(switchText(values.transitionMode)));
    if (kind == PROFILE_NETWORK_KEY || kind == PROFILE_PASS_PHRASE ||
        kind == PROFILE_PRE_SHARED_KEY) {
        expected.push_back("sharedKey" + wlan);
        expected.push_back("keyType" + wlan +
                           (kind == PROFILE_PASS_PHRASE ? "=passPhrase" : "=networkKey"));
        expected.push_back("protected" + wlan + "=false");
        expected.push_back("keyMaterial" + wlan + "=" + Utf8(values.networkKey));
        if (kind == PROFILE_NETWORK_KEY)
            expected.push_back("keyIndex" + wlan + "=" + std::to_string((long)values.keyIndex - 1));
    }
    if (kind == PROFILE_ONEX) {
        const std::string onex = "{http://www.microsoft.com/networking/OneX/v1}";
        const std::string host = "{http://www.microsoft.com/provisioning/EapHostConfig}";
        for (const std::string& entry :
             {"OneX" + onex, "EAPConfig" + onex, "EapHostConfig" + host, "EapMethod" + host,
              "Type" + common + "=" + std::to_string(values.eapTypeNumber),
              "VendorId" + common + "=0", "VendorType" + common + "=0", "AuthorId" + common + "=0",
              "ConfigBlob" + host + "=" + Utf8(values.configBlob)})
            expected.push_back(entry);
    }
    if (values.macRandomization != MAC_RANDOMIZATION_ABSENT) {
        const std::string v3 = "{http://www.microsoft.com/networking/WLAN/profile/v3}";
        expected.push_back("MacRandomization" + v3);
        expected.push_back("enableRandomization" + v3 +
                           (values.macRandomization == MAC_RANDOMIZATION_OFF ? "=false" : "=true"));
        if (values.macRandomization == MAC_RANDOMIZATION_DAILY)
            expected.push_back("randomizeEveryday" + v3 + "=true");
    }
    Check(read.elements == expected);
    return 0;
}
