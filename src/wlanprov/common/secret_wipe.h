// Clearing memory that held a network key, a pass phrase or a derived key before it is
// released, so that no later owner of the block reads the secret. Free of windows.h for the
// byte-format code; the stores go through a volatile pointer, which the compiler may not drop
// as dead stores to a block about to be freed.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <cwchar>

inline void WipeSecret(void* data, size_t bytes)
{
    volatile unsigned char* at = static_cast<volatile unsigned char*>(data);
    while (bytes--)
        *at++ = 0;
}

// WipeSecret, then free: for malloc'ed blocks of the given size (null is fine).
inline void FreeSecret(void* data, size_t bytes)
{
    if (!data)
        return;
    WipeSecret(data, bytes);
    free(data);
}

// FreeSecret of a malloc'ed text that holds a secret (a document with a key), up to its
// terminator; what lies beyond was never written.
inline void FreeSecretText(wchar_t* text)
{
    if (text)
        FreeSecret(text, (wcslen(text) + 1) * sizeof(wchar_t));
}
