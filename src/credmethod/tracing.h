// Trace lines of the plug-in: through the platform's tracing service under the component name
// and, when the tracing key switches it on, to the debugger output as well.
#pragma once

#include <windows.h>

#include "hex_dump_line.h" // FormatHexLine, one line of LogHexDump

// Trace levels: bits in the high half of the tracing service's flags.
enum {
    LOG_ERROR = 0x10000,
    LOG_PROTOCOL = 0x40000,
    LOG_DETAIL = 0x80000,
    LOG_SECRET = 0x100000, // lines that carry a password: never written anywhere
};

// Banner fields of the registration line.
constexpr const char* TRACE_BANNER_VERSION = "2.00.0.0011";
constexpr const char* TRACE_BANNER_BUILD = "RELEASE";

// Trace id from the tracing service; INVALID_TRACEID until a registration succeeds.
extern DWORD g_dwTraceId;

// ANSI component name: the plug-in file's base name up to its first dot.
const char* GetComponentName();

// Registers with the tracing service unless already registered, then traces bannerFormat
// ("<routine> :: enabled log(%s) with version: %s [%s]") at the detail level. A failed
// registration is retried by the next caller.
void EnsureTracingRegistered(const char* bannerFormat);

// printf-style line (%s narrow, %S wide text). No line end is added.
void LogTrace(DWORD level, const char* format, ...);

// Dump of length bytes, 16 a line.
void LogHexDump(DWORD level, const BYTE* bytes, DWORD length);

// The low 32 bits of an address, as trace lines show it (%X, %08X).
inline DWORD TraceAddress(const void* address)
{
    return static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(address));
}
