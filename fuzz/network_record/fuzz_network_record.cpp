// The XP SP1 network record from any SSID, codes, flags, key bytes and key index: the record
// is always 160 bytes with the fixed fields in place, key material never runs past its 32
// bytes, a hexadecimal key (validated as the handler validates it) gives one byte per two
// digits, and a key of bytes is stored as given.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "../fuzz_check.h"
#include "network_record.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 6)
        return 0;
    NetworkRecordInput in = {};
    uint32_t ssidLength = 1 + data[0] % WZC_SSID_BYTES;
    in.privacy = data[1];
    in.authenticationMode = data[2];
    in.wep = data[3] & 1;
    in.wpaPsk = data[3] & 2;
    in.keyProvidedAutomatically = data[3] & 4;
    in.keyIndex = 1 + data[4] % 4;
    uint32_t keyLength = data[5] % 65;
    data += 6, size -= 6;
    if (size < ssidLength + keyLength + 32)
        return 0;
    in.ssid = data;
    in.ssidLength = ssidLength;
    in.key = data + ssidLength;
    in.keyLength = keyLength;
    const uint8_t* derived = data + ssidLength + keyLength;

    NetworkKeyForm form = ChooseKeyForm(&in);
    if (form == KEY_FORM_HEX && !IsHexDigits(in.key, in.keyLength))
        return 0; // refused by the handler before any record is built
    WzcNetworkConfig record;
    memset(&record, 0xde, sizeof(record));
    FillNetworkRecord(&in, derived, &record);

    Check(record.length == 160 && record.ssidLength == ssidLength &&
          memcmp(record.ssid, in.ssid, ssidLength) == 0 && record.infrastructureMode == 1 &&
          record.privacy == in.privacy && record.authenticationMode == in.authenticationMode);
    Check(record.keyLength <= WZC_KEY_BYTES);
    for (uint32_t i = record.keyLength; i < WZC_KEY_BYTES; ++i)
        Check(record.keyMaterial[i] == 0);
    switch (form) {
    case KEY_FORM_NONE:
        Check(record.controlFlags == 0 && record.keyLength == 0 && record.keyIndex == 0);
        break;
    case KEY_FORM_HEX:
        Check(record.controlFlags == 3 && record.keyLength == keyLength / 2);
        for (uint32_t i = 0; i < record.keyLength; ++i) {
            char pair[3] = {(char)in.key[2 * i], (char)in.key[2 * i + 1], 0};
            Check(record.keyMaterial[i] == strtoul(pair, nullptr, 16));
        }
        break;
    case KEY_FORM_DERIVED:
        Check(record.controlFlags == 3 && record.keyLength == 32 &&
              memcmp(record.keyMaterial, derived, 32) == 0);
        break;
    case KEY_FORM_BYTES:
        Check(record.controlFlags == 1 && record.keyIndex == (uint32_t)in.keyIndex - 1 &&
              memcmp(record.keyMaterial, in.key, record.keyLength) == 0);
        break;
    }
    return 0;
}
