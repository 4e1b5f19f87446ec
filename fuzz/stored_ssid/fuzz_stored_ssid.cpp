// The comparison behind the SSID value scan of the EAPOL entries and of the wireless service's
// stored networks (FindSsidValue): any stored value bytes, as long or as short as the registry
// hands them over, against any SSID. Bytes past the value are never read (the value lies in a
// block of its exact size); the answer equals the scan's reading of the value in its zeroed
// 1024-byte buffer; and an EAPOL entry built for an SSID always matches it.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "../fuzz_check.h"
#include "eapol_entry.h"

namespace {

// The scan's view: the value read into a zeroed buffer of 1024 bytes.
StoredSsidMatch AsScanned(const std::vector<uint8_t>& value, const uint8_t* ssid,
                          uint32_t ssidLength)
{
    uint8_t buffer[1024] = {};
    if (!value.empty())
        memcpy(buffer, value.data(), value.size());
    uint32_t length = buffer[16] | buffer[17] << 8 | buffer[18] << 16 | (uint32_t)buffer[19] << 24;
    if (length != ssidLength)
        return STORED_SSID_LENGTH_MISMATCH;
    return memcmp(buffer + 20, ssid, ssidLength) == 0 ? STORED_SSID_MATCH
                                                      : STORED_SSID_VALUE_MISMATCH;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    uint32_t ssidLength = 1 + data[0] % EAPOL_SSID_BYTES;
    if (size < 1 + ssidLength)
        return 0;
    std::vector<uint8_t> ssid(data + 1, data + 1 + ssidLength);
    std::vector<uint8_t> value(data + 1 + ssidLength, data + size);
    if (value.size() > 1024)
        return 0; // the scan passes longer values over unread

    uint8_t* exact = (uint8_t*)malloc(value.size() ? value.size() : 1);
    if (!value.empty())
        memcpy(exact, value.data(), value.size());
    StoredSsidMatch match = MatchStoredSsid(exact, value.size(), ssid.data(), ssidLength);
    free(exact);
    Check(match == AsScanned(value, ssid.data(), ssidLength));

    EapolEntryInput input = {};
    input.version = 5;
    input.layout = EAPOL_LAYOUT_SECUREW2;
    input.ssid = ssid.data();
    input.ssidLength = ssidLength;
    uint8_t* entry = nullptr;
    uint32_t entrySize = 0;
    Check(BuildEapolEntry(&input, &entry, &entrySize) == 0);
    Check(MatchStoredSsid(entry, entrySize, ssid.data(), ssidLength) == STORED_SSID_MATCH);
    free(entry);
    return 0;
}
