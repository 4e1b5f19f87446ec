// The provisioning service's reading of a profile's children, from any list of elements: an
// accepted profile gives a 160-byte record and a 52-byte EAPOL header that both name its SSID,
// with the key within its field. Input: lines "<flags><name>=<text>", flags bit 0 = in the
// namespace with text only, bit 1 = the ANSI conversion was exact.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "../fuzz_check.h"
#include "wireless_profile.h"

namespace {

uint32_t ReadU32(const std::vector<uint8_t>& bytes, size_t offset)
{
    return bytes[offset] | bytes[offset + 1] << 8 | bytes[offset + 2] << 16 |
           (uint32_t)bytes[offset + 3] << 24;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<ProfileElement> elements;
    std::string all(reinterpret_cast<const char*>(data), size);
    for (size_t start = 0; start < all.size();) {
        size_t end = all.find('\n', start);
        std::string line = all.substr(start,
                                      end == std::string::npos ? std::string::npos : end - start);
        start = end == std::string::npos ? all.size() : end + 1;
        size_t equals = line.find('=');
        if (line.empty() || equals == std::string::npos)
            continue;
        ProfileElement e;
        e.conforming = line[0] & 1;
        e.ansiExact = line[0] & 2;
        for (size_t i = 1; i < equals; ++i)
            e.name += (char16_t)(uint8_t)line[i];
        e.ansiText = line.substr(equals + 1);
        for (char c : e.ansiText)
            e.text += (char16_t)(uint8_t)c;
        elements.push_back(e);
    }
    WirelessNetwork network;
    if (ReadWirelessProfile(elements, &network) != PROFILE_SUCCESS)
        return 0;
    std::vector<uint8_t> record = BuildNetworkRecord(network);
    Check(record.size() == WZC_RECORD_BYTES && ReadU32(record, 0) == WZC_RECORD_BYTES);
    Check(ReadU32(record, 16) >= 1 && ReadU32(record, 16) <= MAX_SSID_BYTES);
    Check(ReadU32(record, 108) <= 3 && ReadU32(record, 112) <= 32);
    Check(RecordNamesNetwork(record, network.ssid));
    std::vector<uint8_t> header = BuildEapolHeader(network.ssid, network.eapType);
    Check(header.size() == EAPOL_HEADER_BYTES && EapolValueNamesNetwork(header, network.ssid));
    return 0;
}
