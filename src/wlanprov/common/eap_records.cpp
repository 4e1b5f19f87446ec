#include "eap_records.h"

#include <cstdlib>
#include <cstring>

#include "little_endian.h"

namespace {

enum : uint32_t {
    CA_HASH_ENTRY_BYTES = 4 + EAP_THUMBPRINT_BYTES,
    PEAP_HEADER_BYTES = 32,
    SERVER_NAME_BYTES = 2, // an empty UTF-16 text: its terminator only
    MSCHAPV2_ENTRY_BYTES = 28,
    GTC_ENTRY_BYTES = 20,
    TLS_FIXED_BYTES = 42, // up to and including the hash count
    TLS_FLAGS_NO_VALIDATION = 0x17,
    TLS_FLAGS_VALIDATE = 0x15,
    INNER_FLAG_USE_LOGON = 2,
};

uint8_t* PutCaHashEntry(uint8_t* at, const uint8_t* thumbprint)
{
    at = PutU32(at, EAP_THUMBPRINT_BYTES);
    memcpy(at, thumbprint, EAP_THUMBPRINT_BYTES);
    return at + EAP_THUMBPRINT_BYTES;
}

bool ValidInput(const EapRecordInput* input)
{
    return input && input->count <= EAP_MAX_TRUSTED_ROOTS &&
           (input->count == 0 || input->thumbprints);
}

uint32_t TlsFlags(const EapRecordInput* input)
{
    return input->validateServerCert ? TLS_FLAGS_VALIDATE : TLS_FLAGS_NO_VALIDATION;
}

} // namespace

uint32_t BuildPeapRecord(InnerMethod inner, const EapRecordInput* input, uint8_t** record,
                         uint32_t* size)
{
    if (!ValidInput(input) || (inner != INNER_METHOD_MSCHAPV2 && inner != INNER_METHOD_GTC))
        return EAP_RECORD_INVALID_PARAMETER;
    uint32_t hashBytes = CA_HASH_ENTRY_BYTES * input->count;
    uint32_t innerBytes = inner == INNER_METHOD_MSCHAPV2 ? MSCHAPV2_ENTRY_BYTES : GTC_ENTRY_BYTES;
    uint32_t total = PEAP_HEADER_BYTES + hashBytes + SERVER_NAME_BYTES + innerBytes;
    uint8_t* buffer = static_cast<uint8_t*>(calloc(1, total));
    if (!buffer)
        return EAP_RECORD_NO_MEMORY;

    uint8_t* at = PutU32(buffer, 1); // record version
    at = PutU32(at, total);
    at = PutU32(at, 1); // one inner method
    at = PutU32(at, input->enableFastReconnect ? 1 : 0);
    at = PutU32(at, 1);              // TLS part version
    at = PutU32(at, 21 + hashBytes); // TLS part size field
    at = PutU32(at, TlsFlags(input));
    at = PutU32(at, input->count);
    for (uint32_t i = 0; i < input->count; ++i)
        at = PutCaHashEntry(at, input->thumbprints[i]);
    at += SERVER_NAME_BYTES;
    at = PutU32(at, 1); // entry version
    if (inner == INNER_METHOD_MSCHAPV2) {
        at = PutU32(at, 23);
        at = PutU32(at, 26);
        at = PutU32(at, 1);
        PutU32(at, input->useWindowsLogonInfo ? (uint32_t)INNER_FLAG_USE_LOGON : 0u);
    } else {
        at = PutU32(at, 15);
        PutU32(at, 6);
    }
    *record = buffer;
    *size = total;
    return 0;
}

uint32_t BuildTlsRecord(const EapRecordInput* input, uint8_t** record, uint32_t* size)
{
    if (!ValidInput(input))
        return EAP_RECORD_INVALID_PARAMETER;
    uint32_t extra = input->count > 1 ? input->count - 1 : 0;
    uint32_t total = TLS_FIXED_BYTES + CA_HASH_ENTRY_BYTES * extra;
    uint8_t* buffer = static_cast<uint8_t*>(calloc(1, total));
    if (!buffer)
        return EAP_RECORD_NO_MEMORY;

    uint8_t* at = PutU32(buffer, 2); // record version
    at = PutU32(at, total);
    at = PutU32(at, TlsFlags(input));
    if (input->count > 0)
        PutCaHashEntry(at, input->thumbprints[0]);
    at += CA_HASH_ENTRY_BYTES + SERVER_NAME_BYTES;
    at = PutU32(at, input->count);
    for (uint32_t i = 1; i < input->count; ++i)
        at = PutCaHashEntry(at, input->thumbprints[i]);
    *record = buffer;
    *size = total;
    return 0;
}
