// The 802.1X connection-configuration records that the platform's PEAP (EAP type 25) and
// EAP-TLS (EAP type 13) methods read: the ConfigBlob of a Vista profile and the data of an XP
// EAPOL entry. Free of windows.h so that it can be built and fuzzed natively.
//
// All integers are 32-bit little-endian. A CaHashEntry is {20, thumbprint[20]}.
// PeapConfigRecord: version 1, total size, 1 inner method, PEAP flags, TLS part version 1,
//   TLS part size 21 + 24n, TLS flags, n, CaHashEntry x n, empty server name (2 zero bytes),
//   InnerMethodEntry (MSCHAPv2: {1, 23, 26, 1, inner flags, 8 zero bytes};
//   GTC: {1, 15, 6, 8 zero bytes}).
// TlsConfigRecord: version 2, total size, TLS flags, first CaHashEntry (zeros when n is 0),
//   empty server name, n, CaHashEntry of the second and later CAs.
#pragma once

#include <cstddef>
#include <cstdint>

enum {
    EAP_TYPE_TLS = 13,
    EAP_TYPE_PEAP = 25,
    EAP_MAX_TRUSTED_ROOTS = 10,
    EAP_THUMBPRINT_BYTES = 20,
    EAP_RECORD_NO_MEMORY = 8,          // ERROR_NOT_ENOUGH_MEMORY
    EAP_RECORD_INVALID_PARAMETER = 87, // ERROR_INVALID_PARAMETER
};

enum InnerMethod {
    INNER_METHOD_MSCHAPV2,
    INNER_METHOD_GTC,
};

struct EapRecordInput {
    const uint8_t (*thumbprints)[EAP_THUMBPRINT_BYTES]; // count entries, in CA order
    uint32_t count;                                     // 0 to EAP_MAX_TRUSTED_ROOTS
    bool validateServerCert;
    bool enableFastReconnect; // PEAP only
    bool useWindowsLogonInfo; // PEAP with MSCHAPv2 only
};

// Each builder allocates (malloc) the zero-filled record, fills it and hands it over in
// *record with its size in *size; the caller releases it with free(). Returns 0,
// EAP_RECORD_NO_MEMORY, or EAP_RECORD_INVALID_PARAMETER for more than ten CAs or a missing
// thumbprint list. Outputs are untouched on failure.
uint32_t BuildPeapRecord(InnerMethod inner, const EapRecordInput* input, uint8_t** record,
                         uint32_t* size);
uint32_t BuildTlsRecord(const EapRecordInput* input, uint8_t** record, uint32_t* size);
