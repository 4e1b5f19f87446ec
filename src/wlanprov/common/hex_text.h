// Bytes as upper-case hexadecimal UTF-16 text (the ConfigBlob of a WLAN profile document).
// Free of windows.h so that it can be built and fuzzed natively.
#pragma once

#include <cstddef>
#include <cstdint>

// Allocates (malloc) count * 2 + 1 characters: two digits per byte, high nibble first, then a
// terminating zero. The caller releases *text with free(). Returns 0, or 8 when the memory
// cannot be had (then *text is left untouched).
uint32_t ConvertToHexString(const uint8_t* bytes, size_t count, wchar_t** text);
