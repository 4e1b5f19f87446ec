#include "globals.h"

#include <cstdarg>
#include <cstdio>

long g_bDebugLog = 0;
long g_bVista = 0;

void DebugPrint(const char* format, ...)
{
    if (g_bDebugLog != 1)
        return;
    va_list args;
    va_start(args, format);
    vprintf(format, args);
    va_end(args);
}

void TracePrint(long traceSwitch, const char* format, ...)
{
    if (traceSwitch != 1)
        return;
    va_list args;
    va_start(args, format);
    vprintf(format, args);
    va_end(args);
}
