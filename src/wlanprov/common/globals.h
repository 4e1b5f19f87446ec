// Process-wide flags of wlanprov. Both are 0 when the process starts.
#pragma once

// Set by any handler while it parses /DebugLog: (1 for TRUE, 0 for FALSE).
// Debug lines are printed only when it equals 1.
extern long g_bDebugLog;
// Set to 1 by main when the Vista WLAN API was detected; chooses the help texts.
extern long g_bVista;

// Debug-only formatted print: prints when g_bDebugLog equals 1.
void DebugPrint(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Library-level trace print: prints when traceSwitch equals 1 (switches that no option sets).
void TracePrint(long traceSwitch, const char* format, ...) __attribute__((format(printf, 2, 3)));
