#include "passphrase_key.h"

#include <wincrypt.h>

#include <cstring>

#include "../common/secret_wipe.h"

namespace {

enum { SHA1_BYTES = 20, ITERATIONS = 4096, MAX_SALT_BYTES = 32 + 4 };

// A plain-text key blob for the HMAC key: CryptoAPI takes HMAC keys only as imported keys.
// CRYPT_IPSEC_HMAC_KEY lifts the 16-byte limit of RC2 keys; the algorithm is only a carrier.
struct HmacKeyBlob {
    BLOBHEADER header;
    DWORD length;
    BYTE key[64];
};

// One HMAC-SHA1 of data under key. A CryptoAPI hash cannot be reset, so each call makes one.
DWORD Hmac(HCRYPTPROV provider, HCRYPTKEY key, const BYTE* data, DWORD length, BYTE out[SHA1_BYTES])
{
    HCRYPTHASH hash = 0;
    HMAC_INFO info = {};
    info.HashAlgid = CALG_SHA1;
    DWORD size = SHA1_BYTES;
    DWORD result = 0;
    if (!CryptCreateHash(provider, CALG_HMAC, key, 0, &hash) ||
        !CryptSetHashParam(hash, HP_HMAC_INFO, reinterpret_cast<BYTE*>(&info), 0) ||
        !CryptHashData(hash, data, length, 0) ||
        !CryptGetHashParam(hash, HP_HASHVAL, out, &size, 0))
        result = GetLastError();
    if (hash)
        CryptDestroyHash(hash);
    return result;
}

// Block number (1-based) of PBKDF2: U1 = HMAC(salt || INT(block)), Ui = HMAC(Ui-1), XORed.
DWORD Block(HCRYPTPROV provider, HCRYPTKEY key, const BYTE* ssid, DWORD ssidLength, DWORD number,
            BYTE out[SHA1_BYTES])
{
    BYTE salt[MAX_SALT_BYTES];
    memcpy(salt, ssid, ssidLength);
    salt[ssidLength] = (BYTE)(number >> 24);
    salt[ssidLength + 1] = (BYTE)(number >> 16);
    salt[ssidLength + 2] = (BYTE)(number >> 8);
    salt[ssidLength + 3] = (BYTE)number;
    BYTE u[SHA1_BYTES];
    DWORD result = Hmac(provider, key, salt, ssidLength + 4, u);
    memcpy(out, u, SHA1_BYTES);
    for (int i = 1; i < ITERATIONS && result == 0; ++i) {
        result = Hmac(provider, key, u, SHA1_BYTES, u);
        for (int j = 0; j < SHA1_BYTES; ++j)
            out[j] ^= u[j];
    }
    WipeSecret(u, sizeof(u));
    return result;
}

} // namespace

DWORD DerivePassphraseKey(const BYTE* passphrase, DWORD passphraseLength, const BYTE* ssid,
                          DWORD ssidLength, BYTE key[PASSPHRASE_KEY_BYTES])
{
    HmacKeyBlob blob = {};
    if (passphraseLength > sizeof(blob.key) || ssidLength > MAX_SALT_BYTES - 4)
        return ERROR_INVALID_PARAMETER;
    HCRYPTPROV provider = 0;
    HCRYPTKEY hmacKey = 0;
    BYTE derived[2 * SHA1_BYTES];
    DWORD result = 0;

    if (!CryptAcquireContextW(&provider, nullptr, nullptr, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT)) {
        result = GetLastError();
        goto done;
    }
    blob.header.bType = PLAINTEXTKEYBLOB;
    blob.header.bVersion = CUR_BLOB_VERSION;
    blob.header.aiKeyAlg = CALG_RC2;
    blob.length = passphraseLength;
    memcpy(blob.key, passphrase, passphraseLength);
    if (!CryptImportKey(provider, reinterpret_cast<BYTE*>(&blob),
                        sizeof(BLOBHEADER) + sizeof(DWORD) + passphraseLength, 0,
                        CRYPT_IPSEC_HMAC_KEY, &hmacKey)) {
        result = GetLastError();
        goto done;
    }
    if ((result = Block(provider, hmacKey, ssid, ssidLength, 1, derived)) != 0 ||
        (result = Block(provider, hmacKey, ssid, ssidLength, 2, derived + SHA1_BYTES)) != 0)
        goto done;
    memcpy(key, derived, PASSPHRASE_KEY_BYTES);

done:
    WipeSecret(derived, sizeof(derived));
    WipeSecret(&blob, sizeof(blob));
    if (hmacKey)
        CryptDestroyKey(hmacKey);
    if (provider)
        CryptReleaseContext(provider, 0);
    return result;
}
