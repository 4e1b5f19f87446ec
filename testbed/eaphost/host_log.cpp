#include "host_log.h"

#include <cstdarg>

namespace {
FILE* g_logStream = nullptr;
}

void SetHostLogStream(FILE* stream)
{
    g_logStream = stream;
}

FILE* HostLogStream()
{
    return g_logStream ? g_logStream : stdout;
}

void HostLog(const char* format, ...)
{
    FILE* stream = HostLogStream();
    va_list args;
    va_start(args, format);
    vfprintf(stream, format, args);
    va_end(args);
    fputc('\n', stream);
    fflush(stream);
}
