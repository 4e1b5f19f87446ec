#include "ssid_bytes.h"

#include <windows.h>

namespace {

enum { MAX_SSID_BYTES = 32 };

int HexDigit(wchar_t c)
{
    if (c >= L'0' && c <= L'9')
        return c - L'0';
    if (c >= L'a' && c <= L'f')
        return c - L'a' + 10;
    if (c >= L'A' && c <= L'F')
        return c - L'A' + 10;
    return -1;
}

} // namespace

bool SsidFromHex(const std::wstring& hex, std::vector<uint8_t>* bytes)
{
    bytes->clear();
    if (hex.empty() || hex.size() % 2 != 0 || hex.size() > 2 * MAX_SSID_BYTES)
        return false;
    for (size_t i = 0; i < hex.size(); i += 2) {
        int high = HexDigit(hex[i]), low = HexDigit(hex[i + 1]);
        if (high < 0 || low < 0)
            return false;
        bytes->push_back((uint8_t)(high << 4 | low));
    }
    return true;
}

bool SsidFromName(const std::wstring& name, std::vector<uint8_t>* bytes)
{
    bytes->clear();
    if (name.empty())
        return false;
    // No best fit: a character the code page lacks must not become a different network. The
    // UTF-8 code page takes neither that flag nor a default character.
    BOOL usedDefault = FALSE;
    bool utf8 = GetACP() == CP_UTF8;
    char converted[4 * MAX_SSID_BYTES];
    int length = WideCharToMultiByte(CP_ACP, utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS,
                                     name.data(), (int)name.size(), converted, sizeof(converted),
                                     nullptr, utf8 ? nullptr : &usedDefault);
    if (length <= 0 || length > MAX_SSID_BYTES || usedDefault)
        return false;
    bytes->assign(converted, converted + length);
    return true;
}

std::wstring SsidText(const std::vector<uint8_t>& bytes)
{
    static const wchar_t kDigits[] = L"0123456789ABCDEF";
    std::wstring text;
    for (uint8_t byte : bytes) {
        if (!text.empty())
            text += L' ';
        text += kDigits[byte >> 4];
        text += kDigits[byte & 15];
    }
    return text;
}
