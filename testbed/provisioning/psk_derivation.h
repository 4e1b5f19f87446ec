// The WPA pre-shared key of a passphrase (IEEE 802.11i): PBKDF2 with HMAC-SHA-1, the SSID as
// salt, 4096 iterations, 32 bytes. The wireless service stores this key, never the passphrase.
// Free of windows.h so that it can be built and fuzzed natively.
#pragma once

#include <cstddef>
#include <cstdint>

enum { SHA1_DIGEST_BYTES = 20, PRESHARED_KEY_BYTES = 32 };

void Sha1Digest(const uint8_t* data, size_t size, uint8_t digest[SHA1_DIGEST_BYTES]);

void DerivePresharedKey(const uint8_t* passphrase, size_t passphraseSize, const uint8_t* ssid,
                        size_t ssidSize, uint8_t key[PRESHARED_KEY_BYTES]);
