// One line of the plug-in's trace dumps, kept free of windows.h so that it builds natively.
#pragma once

#include <cstdint>

// line must hold HEX_LINE_SIZE bytes.
constexpr int HEX_LINE_SIZE = 261;

// One line of a dump: count (1 to 16; more are not shown) bytes that start offset bytes into
// the dump. The hex column shows the first byte at its right end, the text column printable
// ASCII and '.' for the rest, then the offset in six hex digits.
void FormatHexLine(const uint8_t* bytes, uint32_t count, uint32_t offset, char* line);
