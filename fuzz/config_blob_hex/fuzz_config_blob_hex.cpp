// Bytes to the upper-case hex text of a profile's ConfigBlob: two digits per byte, high
// nibble first, terminated, and reading the digits back gives the bytes again.
#include <cstdint>
#include <cstdlib>

#include "hex_text.h"

namespace {

int DigitValue(wchar_t c)
{
    if (c >= L'0' && c <= L'9')
        return c - L'0';
    if (c >= L'A' && c <= L'F')
        return c - L'A' + 10;
    abort(); // anything else, lower case included, is wrong
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    wchar_t* text = nullptr;
    if (ConvertToHexString(data, size, &text) != 0)
        abort();
    for (size_t i = 0; i < size; ++i)
        if ((DigitValue(text[2 * i]) << 4 | DigitValue(text[2 * i + 1])) != data[i])
            abort();
    if (text[2 * size] != L'\0')
        abort();
    free(text);
    return 0;
}
