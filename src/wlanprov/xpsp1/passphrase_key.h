// The 256-bit pre-shared key that IEEE 802.11i derives from a WPA pass phrase and the SSID:
// PBKDF2 with HMAC-SHA1, the SSID bytes as salt, 4096 iterations, 32 bytes. The XP SP1
// network record holds at most 32 key bytes, so a pass phrase too long for it is stored as
// the key it stands for.
#pragma once

#include <windows.h>

enum { PASSPHRASE_KEY_BYTES = 32 };

// Computes the key with CryptoAPI's HMAC (advapi32, present on every XP). Returns 0, or the
// CryptoAPI error with key left untouched.
DWORD DerivePassphraseKey(const BYTE* passphrase, DWORD passphraseLength, const BYTE* ssid,
                          DWORD ssidLength, BYTE key[PASSPHRASE_KEY_BYTES]);
