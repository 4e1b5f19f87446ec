// One line of the plug-in's trace dumps from any bytes, count and offset: always 72
// characters and terminated within HEX_LINE_SIZE; each shown byte's hex digits in its cell
// counted from the right and its text character, blanks and dots for the rest, and the offset
// in six (or more) hex digits. Bytes past count are never read.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "../fuzz_check.h"
#include "hex_dump_line.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 5)
        return 0;
    uint32_t offset = data[0] | data[1] << 8 | data[2] << 16 | (uint32_t)data[3] << 24;
    const uint8_t* bytes = data + 4;
    uint32_t count = (uint32_t)(size - 4); // beyond 16 only the first 16 show
    char line[HEX_LINE_SIZE + 1];
    memset(line, 0x7f, sizeof(line));
    FormatHexLine(bytes, count, offset, line);

    char offsetText[16];
    int offsetDigits = snprintf(offsetText, sizeof(offsetText), "%06X", offset);
    Check(strlen(line) == 66u + offsetDigits && line[HEX_LINE_SIZE] == 0x7f);
    Check(line[48] == ' ' && line[65] == ' ' && strcmp(line + 66, offsetText) == 0);
    static const char digits[] = "0123456789ABCDEF";
    for (uint32_t i = 0; i < 16; ++i) {
        const char* cell = line + 48 - 3 * (i + 1);
        char text = line[49 + i];
        Check(cell[0] == ' ');
        if (i < count) {
            Check(cell[1] == digits[bytes[i] >> 4] && cell[2] == digits[bytes[i] & 15]);
            Check(text == (bytes[i] >= 0x20 && bytes[i] <= 0x7e ? (char)bytes[i] : '.'));
        } else {
            Check(cell[1] == ' ' && cell[2] == ' ' && text == '.');
        }
    }
    return 0;
}
