#include "hex_dump_line.h"

#include <cstdio>
#include <cstring>

void FormatHexLine(const uint8_t* bytes, uint32_t count, uint32_t offset, char* line)
{
    // Hex column: first byte at the right end, each next byte to its left, blanks fill the left.
    char hex[49];
    memset(hex, ' ', 48);
    hex[48] = 0;
    char text[17];
    memset(text, '.', 16);
    text[16] = 0;
    for (uint32_t i = 0; i < count && i < 16; i++) {
        static const char digits[] = "0123456789ABCDEF";
        char* cell = hex + 48 - 3 * (i + 1);
        cell[1] = digits[bytes[i] >> 4];
        cell[2] = digits[bytes[i] & 0x0F];
        text[i] = (bytes[i] >= 0x20 && bytes[i] <= 0x7E) ? static_cast<char>(bytes[i]) : '.';
    }
    snprintf(line, HEX_LINE_SIZE, "%s %s %06X", hex, text, static_cast<unsigned>(offset));
}
