#include "hex_text.h"

#include <cstdlib>

uint32_t ConvertToHexString(const uint8_t* bytes, size_t count, wchar_t** text)
{
    static const wchar_t kDigits[] = L"0123456789ABCDEF";
    if (count > (SIZE_MAX / sizeof(wchar_t) - 1) / 2)
        return 8;
    wchar_t* out = static_cast<wchar_t*>(malloc((count * 2 + 1) * sizeof(wchar_t)));
    if (!out)
        return 8;
    for (size_t i = 0; i < count; ++i) {
        out[2 * i] = kDigits[bytes[i] >> 4];
        out[2 * i + 1] = kDigits[bytes[i] & 0x0F];
    }
    out[count * 2] = L'\0';
    *text = out;
    return 0;
}
