// The PEAP and EAP-TLS configuration records, built from any option combination and any
// thumbprints: the record's size and size fields follow the layout, every CA entry carries
// its thumbprint, and a bad count is refused with the outputs untouched.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "../fuzz_check.h"
#include "eap_records.h"

namespace {

uint32_t ReadU32(const uint8_t* p)
{
    return p[0] | p[1] << 8 | p[2] << 16 | (uint32_t)p[3] << 24;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    uint8_t kind = data[0] % 3; // PEAP with MSCHAPv2, PEAP with GTC, TLS
    uint8_t flags = data[1];
    uint32_t count = (flags >> 3) % 12; // 10 and 11 are over the limit
    uint8_t thumbprints[12][EAP_THUMBPRINT_BYTES] = {};
    size_t available = size - 2;
    memcpy(thumbprints, data + 2,
           available < sizeof(thumbprints) ? available : sizeof(thumbprints));

    EapRecordInput input = {};
    input.thumbprints = thumbprints;
    input.count = count;
    input.validateServerCert = flags & 1;
    input.enableFastReconnect = flags & 2;
    input.useWindowsLogonInfo = flags & 4;

    uint8_t* record = reinterpret_cast<uint8_t*>(0xdeadbeef);
    uint32_t recordSize = 0xdeadbeef;
    uint32_t result = kind == 2
                          ? BuildTlsRecord(&input, &record, &recordSize)
                          : BuildPeapRecord(kind == 0 ? INNER_METHOD_MSCHAPV2 : INNER_METHOD_GTC,
                                            &input, &record, &recordSize);
    if (count > EAP_MAX_TRUSTED_ROOTS) {
        Check(result == EAP_RECORD_INVALID_PARAMETER);
        Check(record == reinterpret_cast<uint8_t*>(0xdeadbeef) && recordSize == 0xdeadbeef);
        return 0;
    }
    Check(result == 0);
    Check(ReadU32(record + 4) == recordSize);
    if (kind == 2) {
        Check(recordSize == (count < 2 ? 42u : 18u + 24u * count));
        Check(ReadU32(record) == 2 &&
              ReadU32(record + 8) == (input.validateServerCert ? 21u : 23u));
        Check(ReadU32(record + 38) == count);
        for (uint32_t i = 0; i < count; ++i) {
            const uint8_t* entry = i == 0 ? record + 12 : record + 42 + 24 * (i - 1);
            Check(ReadU32(entry) == 20 && memcmp(entry + 4, thumbprints[i], 20) == 0);
        }
    } else {
        uint32_t inner = kind == 0 ? 28 : 20;
        Check(recordSize == 34 + 24 * count + inner);
        Check(ReadU32(record + 12) == (input.enableFastReconnect ? 1u : 0u));
        Check(ReadU32(record + 20) == 21 + 24 * count && ReadU32(record + 28) == count);
        for (uint32_t i = 0; i < count; ++i) {
            const uint8_t* entry = record + 32 + 24 * i;
            Check(ReadU32(entry) == 20 && memcmp(entry + 4, thumbprints[i], 20) == 0);
        }
        const uint8_t* entry = record + 34 + 24 * count;
        Check(ReadU32(entry + 8) == (kind == 0 ? 26u : 6u));
        if (kind == 0)
            Check(ReadU32(entry + 16) == (input.useWindowsLogonInfo ? 2u : 0u));
    }
    free(record);
    return 0;
}
