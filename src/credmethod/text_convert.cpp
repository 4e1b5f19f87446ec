#include "text_convert.h"

#include <string.h>
#include <wchar.h>

void WideToAnsiBounded(const WCHAR* src, size_t srcMaxChars, char* dst, size_t dstSize)
{
    if (dstSize == 0)
        return;
    dst[0] = 0;
    if (!src)
        return;
    int length = (int)wcsnlen(src, srcMaxChars);
    // Shorten by whole characters until the converted text and its terminator fit; a
    // multi-byte code page may need more than one byte per character.
    while (length > 0) {
        int needed = WideCharToMultiByte(CP_ACP, 0, src, length, NULL, 0, NULL, NULL);
        if (needed > 0 && (size_t)needed < dstSize)
            break;
        length--;
        if (length > 0 && IS_HIGH_SURROGATE(src[length - 1]))
            length--;
    }
    int written = length > 0 ? WideCharToMultiByte(CP_ACP, 0, src, length, dst, (int)dstSize - 1, NULL, NULL) : 0;
    dst[written > 0 ? written : 0] = 0;
}

void CopyAnsiBounded(const char* src, size_t srcSize, char* dst, size_t dstSize)
{
    if (dstSize == 0)
        return;
    size_t length = src ? strnlen(src, srcSize) : 0;
    if (length > dstSize - 1)
        length = dstSize - 1;
    if (length)
        memcpy(dst, src, length);
    dst[length] = 0;
}

const WCHAR* DataAsTraceText(const void* data, DWORD size, WCHAR* buffer, size_t chars)
{
    if (!data)
        return NULL;
    size_t units = size / sizeof(WCHAR);
    if (units > chars - 1)
        units = chars - 1;
    memcpy(buffer, data, units * sizeof(WCHAR));
    buffer[units] = 0;
    return buffer;
}
