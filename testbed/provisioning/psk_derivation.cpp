#include "psk_derivation.h"

#include <cstring>
#include <vector>

namespace {

enum { SHA1_BLOCK_BYTES = 64, PSK_ITERATIONS = 4096 };

uint32_t RotateLeft(uint32_t value, int bits)
{
    return (value << bits) | (value >> (32 - bits));
}

void CompressBlock(uint32_t state[5], const uint8_t* block)
{
    uint32_t w[80];
    for (int i = 0; i < 16; ++i)
        w[i] = (uint32_t)block[4 * i] << 24 | (uint32_t)block[4 * i + 1] << 16 |
               (uint32_t)block[4 * i + 2] << 8 | block[4 * i + 3];
    for (int i = 16; i < 80; ++i)
        w[i] = RotateLeft(w[i - 3] ^ w[i - 8] ^ w[i - 14] ^ w[i - 16], 1);
    uint32_t a = state[0], b = state[1], c = state[2], d = state[3], e = state[4];
    for (int i = 0; i < 80; ++i) {
        uint32_t f, k;
        if (i < 20) {
            f = (b & c) | (~b & d);
            k = 0x5A827999;
        } else if (i < 40) {
            f = b ^ c ^ d;
            k = 0x6ED9EBA1;
        } else if (i < 60) {
            f = (b & c) | (b & d) | (c & d);
            k = 0x8F1BBCDC;
        } else {
            f = b ^ c ^ d;
            k = 0xCA62C1D6;
        }
        uint32_t next = RotateLeft(a, 5) + f + e + k + w[i];
        e = d;
        d = c;
        c = RotateLeft(b, 30);
        b = a;
        a = next;
    }
    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
    state[4] += e;
}

// HMAC-SHA-1 of message under key.
void Hmac(const uint8_t* key, size_t keySize, const uint8_t* message, size_t messageSize,
          uint8_t mac[SHA1_DIGEST_BYTES])
{
    uint8_t keyBlock[SHA1_BLOCK_BYTES] = {};
    if (keySize > SHA1_BLOCK_BYTES)
        Sha1Digest(key, keySize, keyBlock);
    else
        memcpy(keyBlock, key, keySize);
    std::vector<uint8_t> inner(SHA1_BLOCK_BYTES + messageSize);
    uint8_t outer[SHA1_BLOCK_BYTES + SHA1_DIGEST_BYTES];
    for (int i = 0; i < SHA1_BLOCK_BYTES; ++i) {
        inner[i] = keyBlock[i] ^ 0x36;
        outer[i] = keyBlock[i] ^ 0x5C;
    }
    if (messageSize)
        memcpy(inner.data() + SHA1_BLOCK_BYTES, message, messageSize);
    Sha1Digest(inner.data(), inner.size(), outer + SHA1_BLOCK_BYTES);
    Sha1Digest(outer, sizeof(outer), mac);
}

} // namespace

void Sha1Digest(const uint8_t* data, size_t size, uint8_t digest[SHA1_DIGEST_BYTES])
{
    uint32_t state[5] = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0};
    size_t whole = size - size % SHA1_BLOCK_BYTES;
    for (size_t at = 0; at < whole; at += SHA1_BLOCK_BYTES)
        CompressBlock(state, data + at);
    // The rest, the 0x80 marker and the bit length fill one or two last blocks.
    uint8_t tail[2 * SHA1_BLOCK_BYTES] = {};
    size_t rest = size - whole;
    if (rest)
        memcpy(tail, data + whole, rest);
    tail[rest] = 0x80;
    size_t tailSize = rest + 9 <= SHA1_BLOCK_BYTES ? SHA1_BLOCK_BYTES : 2 * SHA1_BLOCK_BYTES;
    uint64_t bits = (uint64_t)size * 8;
    for (int i = 0; i < 8; ++i)
        tail[tailSize - 1 - i] = (uint8_t)(bits >> (8 * i));
    for (size_t at = 0; at < tailSize; at += SHA1_BLOCK_BYTES)
        CompressBlock(state, tail + at);
    for (int i = 0; i < 20; ++i)
        digest[i] = (uint8_t)(state[i / 4] >> (24 - 8 * (i % 4)));
}

void DerivePresharedKey(const uint8_t* passphrase, size_t passphraseSize, const uint8_t* ssid,
                        size_t ssidSize, uint8_t key[PRESHARED_KEY_BYTES])
{
    // Two PBKDF2 blocks of 20 bytes give the 32 key bytes.
    for (uint32_t block = 1; block <= 2; ++block) {
        std::vector<uint8_t> salt(ssid, ssid + ssidSize);
        for (int i = 3; i >= 0; --i)
            salt.push_back((uint8_t)(block >> (8 * i)));
        uint8_t u[SHA1_DIGEST_BYTES];
        uint8_t t[SHA1_DIGEST_BYTES];
        Hmac(passphrase, passphraseSize, salt.data(), salt.size(), u);
        memcpy(t, u, sizeof(t));
        for (int round = 1; round < PSK_ITERATIONS; ++round) {
            Hmac(passphrase, passphraseSize, u, sizeof(u), u);
            for (int i = 0; i < SHA1_DIGEST_BYTES; ++i)
                t[i] ^= u[i];
        }
        size_t offset = (block - 1) * SHA1_DIGEST_BYTES;
        size_t left = PRESHARED_KEY_BYTES - offset;
        memcpy(key + offset, t, left < sizeof(t) ? left : sizeof(t));
    }
}
