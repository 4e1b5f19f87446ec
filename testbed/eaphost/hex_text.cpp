#include "hex_text.h"

namespace {

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

std::string BytesToHex(const uint8_t* bytes, size_t size)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(size * 2);
    for (size_t i = 0; i < size; ++i) {
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 15];
    }
    return text;
}

bool HexToBytes(const std::string& line, std::vector<uint8_t>* out)
{
    std::vector<uint8_t> bytes;
    size_t i = 0;
    size_t end = line.size();
    if (end && line[end - 1] == '\r')
        --end;
    while (i < end) {
        if (line[i] == ' ' || line[i] == '\t') {
            ++i;
            continue;
        }
        if (i + 1 >= end)
            return false;
        int high = HexDigit(line[i]);
        int low = HexDigit(line[i + 1]);
        if (high < 0 || low < 0)
            return false;
        bytes.push_back(static_cast<uint8_t>(high << 4 | low));
        i += 2;
    }
    out->swap(bytes);
    return true;
}
