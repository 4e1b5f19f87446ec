// A native stand-in for the few Win32 types, constants and calls that the fuzzed sources use,
// so that the deliverables' own files build on Linux. Only the fuzz build sees this folder.
// WCHAR is 16 bits as on Windows (records keep their sizes); plain wchar_t stays the native
// one, so code written on wchar_t keeps its C library. The system ANSI code page is taken to
// be Latin-1: one byte, one character.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <cwchar>

#if defined(__x86_64__) && !defined(_WIN64)
#define _WIN64 1
#endif
#define WINAPI
#define MAXDWORD 0xffffffffu

typedef uint8_t BYTE;
typedef BYTE* PBYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef int32_t BOOL;
typedef BOOL WINBOOL;
typedef uintptr_t ULONG_PTR;
typedef char16_t WCHAR;
typedef void* HANDLE;
typedef void* HLOCAL;
typedef void* HMODULE;
typedef unsigned int UINT;
typedef const char* LPCSTR;
typedef char* LPSTR;

#define TRUE 1
#define FALSE 0
#define NO_ERROR 0
#define ERROR_SUCCESS 0
#define ERROR_NOT_ENOUGH_MEMORY 8
#define ERROR_INVALID_DATA 13
#define ERROR_INVALID_PARAMETER 87
#define ERROR_INSUFFICIENT_BUFFER 122
#define ERROR_NO_UNICODE_TRANSLATION 1113
#define LPTR 0x0040
#define CP_ACP 0
#define CP_UTF8 65001
#define MB_ERR_INVALID_CHARS 0x8 // Latin-1 and the decoder above have no invalid input to refuse
#define ARRAYSIZE(a) (sizeof(a) / sizeof((a)[0]))
#define IS_HIGH_SURROGATE(c) ((c) >= 0xd800 && (c) <= 0xdbff)

inline DWORD& ShimLastError()
{
    static DWORD error;
    return error;
}
inline DWORD GetLastError()
{
    return ShimLastError();
}
inline void SetLastError(DWORD error)
{
    ShimLastError() = error;
}

// Zero-filled blocks; the fuzz harness may make the next ones fail.
inline int& ShimFailingAllocations()
{
    static int count;
    return count;
}
inline HLOCAL LocalAlloc(UINT, size_t bytes)
{
    if (ShimFailingAllocations() > 0) {
        --ShimFailingAllocations();
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    return calloc(1, bytes ? bytes : 1);
}
inline HLOCAL LocalFree(HLOCAL block)
{
    free(block);
    return nullptr;
}
inline void SecureZeroMemory(void* p, size_t n)
{
    memset(p, 0, n);
}

inline size_t wcsnlen(const WCHAR* s, size_t max)
{
    size_t n = 0;
    while (n < max && s[n])
        ++n;
    return n;
}

// Copies up to max - 1 units and always terminates, as the platform's lstrcpyn.
inline WCHAR* lstrcpynW(WCHAR* dst, const WCHAR* src, int max)
{
    if (max <= 0)
        return dst;
    int i = 0;
    for (; i < max - 1 && src[i]; ++i)
        dst[i] = src[i];
    dst[i] = 0;
    return dst;
}

// Decodes UTF-8 (invalid sequences as U+FFFD per byte) or Latin-1 into UTF-16 units. count
// -1 includes the terminator. As the platform: 0 units asked for returns the units needed; a
// buffer too small returns 0 with ERROR_INSUFFICIENT_BUFFER.
template <typename Unit>
int MultiByteToWideChar(UINT codePage, DWORD, const char* src, int count, Unit* dst, int units)
{
    const uint8_t* s = reinterpret_cast<const uint8_t*>(src);
    size_t n = count < 0 ? strlen(src) + 1 : (size_t)count;
    int needed = 0;
    for (size_t i = 0; i < n;) {
        uint32_t c = s[i++];
        if (codePage == CP_UTF8 && c >= 0x80) {
            int more = c >= 0xf0 && c <= 0xf4  ? 3
                       : c >= 0xe0 && c < 0xf0 ? 2
                       : c >= 0xc2 && c < 0xe0 ? 1
                                               : -1;
            uint32_t value = more == 3 ? c & 7 : more == 2 ? c & 15 : c & 31;
            size_t j = i;
            for (int k = 0; k < more && j < n && (s[j] & 0xc0) == 0x80; ++k)
                value = value << 6 | (s[j++] & 0x3f);
            bool whole = more > 0 && j - i == (size_t)more;
            bool shortest = (more == 2 && value >= 0x800) || (more == 3 && value >= 0x10000) ||
                            more == 1;
            if (whole && shortest && value <= 0x10ffff && (value < 0xd800 || value > 0xdfff)) {
                c = value;
                i = j;
            } else {
                c = 0xfffd;
            }
        }
        int take = c >= 0x10000 ? 2 : 1;
        if (units) {
            if (needed + take > units) {
                SetLastError(ERROR_INSUFFICIENT_BUFFER);
                return 0;
            }
            if (take == 2) {
                dst[needed] = (Unit)(0xd800 + ((c - 0x10000) >> 10));
                dst[needed + 1] = (Unit)(0xdc00 + ((c - 0x10000) & 0x3ff));
            } else {
                dst[needed] = (Unit)c;
            }
        }
        needed += take;
    }
    return needed;
}

// Latin-1 only: a unit above 0xFF becomes '?'.
inline int WideCharToMultiByte(UINT, DWORD, const WCHAR* src, int count, char* dst, int bytes,
                               const char*, BOOL*)
{
    size_t n = count < 0 ? wcsnlen(src, SIZE_MAX) + 1 : (size_t)count;
    if (bytes == 0)
        return (int)n;
    if (n > (size_t)bytes) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    for (size_t i = 0; i < n; ++i)
        dst[i] = src[i] <= 0xff ? (char)src[i] : '?';
    return (int)n;
}
