// The fuzz build's trace routines: the platform's tracing service is left out, but every
// argument a line or dump names is read as the service would read it (narrow and wide text to
// its terminator, numbers, every dumped byte, the first lines through the plug-in's own line
// formatter), so a line that would run past its data is caught. Secret lines are dropped
// unread, as in the plug-in.
#include <cstdarg>

#include "tracing.h"

DWORD g_dwTraceId;

namespace {
volatile unsigned g_sink;
}

void LogTrace(DWORD level, const char* format, ...)
{
    if (level & LOG_SECRET)
        return;
    va_list args;
    va_start(args, format);
    for (const char* p = format; *p; ++p) {
        if (*p != '%')
            continue;
        ++p;
        while (*p && strchr("-+ #0123456789.l", *p))
            ++p;
        if (*p == 's') {
            const char* text = va_arg(args, const char*);
            g_sink += text ? (unsigned)strlen(text) : 0;
        } else if (*p == 'S') {
            const WCHAR* text = va_arg(args, const WCHAR*);
            g_sink += text ? (unsigned)wcsnlen(text, SIZE_MAX) : 0;
        } else if (*p == 'd' || *p == 'u' || *p == 'x' || *p == 'X') {
            g_sink += va_arg(args, unsigned);
        } else if (*p == 0) {
            break;
        }
    }
    va_end(args);
}

void LogHexDump(DWORD level, const BYTE* bytes, DWORD length)
{
    if ((level & LOG_SECRET) || !bytes)
        return;
    // Every byte is read, as the service reads them; the first lines and the last one go
    // through the line formatter (all of them would make long packets slow to fuzz).
    for (DWORD offset = 0; offset < length; offset += 16) {
        DWORD count = length - offset < 16 ? length - offset : 16;
        if (offset < 64 || offset + count == length) {
            char line[HEX_LINE_SIZE];
            FormatHexLine(bytes + offset, count, offset, line);
            g_sink += (unsigned)strlen(line);
        } else {
            for (DWORD i = 0; i < count; ++i)
                g_sink += bytes[offset + i];
        }
    }
}

// What the plug-in's entry points set up on their first call (tracing, companion resources)
// is the trace sink's business here: nothing to do.
void CompleteAttach()
{
}
