#pragma once

#include <wchar.h>

extern const wchar_t kLicenceText[];
extern const wchar_t kUsageTextVista[];   // 16 lines, each ended by CR LF
extern const wchar_t kUsageTextXp[];      // 20 lines, each ended by CR LF
extern const wchar_t kExampleTextVista[]; // 2 lines, no line end after the second
extern const wchar_t kExampleTextXp[];
