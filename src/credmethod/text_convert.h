// Bounded text conversions between the host's UTF-16 text and the ANSI text of the work buffer
// and stored credentials.
#pragma once

#include <windows.h>

#include <cstddef>

// Converts src (at most srcMaxChars units, up to its terminator) to the system ANSI code page
// in dst of dstSize bytes. Text that does not fit is cut after the last whole character that
// does; dst is always terminated. A null src, or a conversion that fails, gives an empty dst.
void WideToAnsiBounded(const WCHAR* src, size_t srcMaxChars, char* dst, size_t dstSize);

// Copies ANSI text of at most srcSize bytes (up to its terminator) into dst of dstSize bytes,
// cut to fit and always terminated.
void CopyAnsiBounded(const char* src, size_t srcSize, char* dst, size_t dstSize);

// Host data shown as UTF-16 text in a trace line: at most size / 2 units of data, cut to fit
// buffer (chars units, terminated). Returns null for null data, so the line shows "(null)".
const WCHAR* DataAsTraceText(const void* data, DWORD size, WCHAR* buffer, size_t chars);

// Longest output of the two conversions below, terminator included; dstChars beyond it is
// treated as this.
constexpr int MAX_CONVERTED_CHARS = 261;

// Converts ANSI text (system code page) of at most srcSize bytes, up to its terminator, into
// dst of dstChars UTF-16 units; cut after the last whole character that fits, always terminated.
void AnsiToWideBounded(const char* src, size_t srcSize, WCHAR* dst, size_t dstChars);

// Decodes UTF-8 bytes into dst of dstChars units. Text that needs more is cut after
// dstChars - 1 units (never inside a surrogate pair); dst is always terminated. Invalid
// sequences come out as U+FFFD.
void Utf8ToWideBounded(const BYTE* src, size_t srcSize, WCHAR* dst, size_t dstChars);
