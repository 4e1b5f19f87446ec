// Forced into the document targets, which build with -fshort-wchar so that wchar_t is 16 bits
// as on Windows and byte sizes come out as they do there. The C library's wide routines work
// on its own 32-bit units, so the few the documents use are replaced by 16-bit ones here.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>

inline size_t ShortWcslen(const wchar_t* s)
{
    size_t n = 0;
    while (s[n])
        ++n;
    return n;
}

inline int ShortWcscmp(const wchar_t* a, const wchar_t* b)
{
    for (; *a && *a == *b; ++a, ++b) {
    }
    return (int)(unsigned)*a - (int)(unsigned)*b;
}

inline wchar_t* ShortWcscpy(wchar_t* dst, const wchar_t* src)
{
    size_t i = 0;
    for (; src[i]; ++i)
        dst[i] = src[i];
    dst[i] = 0;
    return dst;
}

inline wchar_t* ShortWmemcpy(wchar_t* dst, const wchar_t* src, size_t units)
{
    return (wchar_t*)memcpy(dst, src, units * sizeof(wchar_t));
}

// Only the "%ld" and "%d" formats the documents use; -1 when the number does not fit.
inline int ShortSwprintf(wchar_t* out, size_t units, const wchar_t* format, ...)
{
    if (ShortWcscmp(format, L"%ld") != 0 && ShortWcscmp(format, L"%d") != 0)
        abort();
    va_list args;
    va_start(args, format);
    long number = format[1] == L'l' ? va_arg(args, long) : va_arg(args, int);
    va_end(args);
    char digits[24];
    int length = snprintf(digits, sizeof(digits), "%ld", number);
    if ((size_t)length >= units)
        return -1;
    for (int i = 0; i <= length; ++i)
        out[i] = (wchar_t)digits[i];
    return length;
}

#define wcslen ShortWcslen
#define wcscmp ShortWcscmp
#define wcscpy ShortWcscpy
#define swprintf ShortSwprintf
#define wmemcpy ShortWmemcpy
