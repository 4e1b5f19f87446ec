#include "text_convert.h"

#include <cstring>
#include <cwchar>

void WideToAnsiBounded(const WCHAR* src, size_t srcMaxChars, char* dst, size_t dstSize)
{
    if (dstSize == 0)
        return;
    dst[0] = 0;
    if (!src)
        return;
    int length = static_cast<int>(wcsnlen(src, srcMaxChars));
    // Shorten by whole characters until the converted text and its terminator fit; a
    // multi-byte code page may need more than one byte per character.
    while (length > 0) {
        int needed = WideCharToMultiByte(CP_ACP, 0, src, length, nullptr, 0, nullptr, nullptr);
        if (needed <= 0) {
            length = 0; // the conversion failed: no text rather than a shorter, wrong one
            break;
        }
        if (static_cast<size_t>(needed) < dstSize)
            break;
        length--;
        if (length > 0 && IS_HIGH_SURROGATE(src[length - 1]))
            length--;
    }
    int written = length > 0 ? WideCharToMultiByte(CP_ACP, 0, src, length, dst,
                                                   static_cast<int>(dstSize) - 1, nullptr, nullptr)
                             : 0;
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
        return nullptr;
    size_t units = size / sizeof(WCHAR);
    if (units > chars - 1)
        units = chars - 1;
    memcpy(buffer, data, units * sizeof(WCHAR));
    buffer[units] = 0;
    return buffer;
}

namespace {

// Copies at most dstChars - 1 units of src (length units) into dst, without splitting a
// surrogate pair, and terminates it.
void CopyWideCut(const WCHAR* src, int length, WCHAR* dst, size_t dstChars)
{
    size_t count = length > 0 ? static_cast<size_t>(length) : 0;
    if (count > dstChars - 1) {
        count = dstChars - 1;
        if (count > 0 && IS_HIGH_SURROGATE(src[count - 1]))
            count--;
    }
    memcpy(dst, src, count * sizeof(WCHAR));
    dst[count] = 0;
}

} // namespace

void AnsiToWideBounded(const char* src, size_t srcSize, WCHAR* dst, size_t dstChars)
{
    if (dstChars == 0)
        return;
    dst[0] = 0;
    if (!src)
        return;
    // A character takes one to four bytes in any code page and gives at least one unit, so the
    // first 4 * dstChars bytes hold everything that can fit; a character cut at that boundary
    // only spoils units that are dropped anyway.
    WCHAR wide[4 * MAX_CONVERTED_CHARS];
    size_t chars = dstChars < MAX_CONVERTED_CHARS ? dstChars : MAX_CONVERTED_CHARS;
    int length = static_cast<int>(strnlen(src, srcSize < 4 * chars ? srcSize : 4 * chars));
    int converted = length ? MultiByteToWideChar(CP_ACP, 0, src, length, wide,
                                                 static_cast<int>(ARRAYSIZE(wide)))
                           : 0;
    CopyWideCut(wide, converted, dst, chars);
}

void Utf8ToWideBounded(const BYTE* src, size_t srcSize, WCHAR* dst, size_t dstChars)
{
    if (dstChars == 0)
        return;
    dst[0] = 0;
    if (!src)
        return;
    // As above: invalid sequences come out as one U+FFFD per one to four bytes.
    WCHAR wide[4 * MAX_CONVERTED_CHARS];
    size_t chars = dstChars < MAX_CONVERTED_CHARS ? dstChars : MAX_CONVERTED_CHARS;
    size_t take = srcSize < 4 * chars ? srcSize : 4 * chars;
    int converted = take ? MultiByteToWideChar(CP_UTF8, 0, reinterpret_cast<const char*>(src),
                                               static_cast<int>(take), wide,
                                               static_cast<int>(ARRAYSIZE(wide)))
                         : 0;
    CopyWideCut(wide, converted, dst, chars);
}
