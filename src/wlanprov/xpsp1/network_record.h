// The network record that the XP SP1 add handler puts at the head of every adapter's
// preferred list: SSID, privacy, authentication mode and the key material as the wireless
// service expects it. Free of windows.h; the pass-phrase key is derived by the caller.
#pragma once

#include <cstddef>
#include <cstdint>

#include "../xp/wzc_records.h"

// How a key given on the command line is stored in the record.
enum NetworkKeyForm {
    KEY_FORM_NONE,    // no key, or the key is provided automatically
    KEY_FORM_HEX,     // hexadecimal digits: two digits per key byte
    KEY_FORM_BYTES,   // one key byte per character
    KEY_FORM_DERIVED, // a pass phrase too long for the record: its 256-bit key
};

struct NetworkRecordInput {
    const uint8_t* ssid;
    uint32_t ssidLength;         // 1..32
    uint32_t privacy;            // encryption code
    uint32_t authenticationMode; // authentication code
    bool wep;                    // encryption "WEP"
    bool wpaPsk;                 // authentication "WPAPSK"
    bool keyProvidedAutomatically;
    const uint8_t* key; // the key's ANSI bytes, one per character
    uint32_t keyLength;
    int32_t keyIndex; // 1..4
};

// Which form the key takes: hexadecimal for WEP keys of 10 or 26 characters and WPAPSK keys
// of 64; derived for WPAPSK pass phrases longer than the record's 32 key bytes.
NetworkKeyForm ChooseKeyForm(const NetworkRecordInput* input);

// Whether every one of length characters is a hexadecimal digit.
bool IsHexDigits(const uint8_t* text, uint32_t length);

// Fills record from input (zero-filled first). For KEY_FORM_DERIVED, derivedKey holds the
// 32 bytes of the derived key; it is not read otherwise. The key must already have passed the
// handler's rules: a hexadecimal form holds hexadecimal digits only.
void FillNetworkRecord(const NetworkRecordInput* input, const uint8_t* derivedKey,
                       WzcNetworkConfig* record);
