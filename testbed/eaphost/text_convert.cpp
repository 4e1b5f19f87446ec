#include "text_convert.h"

#include <windows.h>

namespace {

std::string Narrow(UINT codePage, const std::wstring& text)
{
    if (text.empty())
        return std::string();
    int size = WideCharToMultiByte(codePage, 0, text.data(), (int)text.size(), nullptr, 0, nullptr,
                                   nullptr);
    if (size <= 0)
        return std::string();
    std::string out(size, '\0');
    WideCharToMultiByte(codePage, 0, text.data(), (int)text.size(), &out[0], size, nullptr,
                        nullptr);
    return out;
}

} // namespace

std::string ToUtf8(const std::wstring& text)
{
    return Narrow(CP_UTF8, text);
}

std::string ToAnsi(const std::wstring& text)
{
    return Narrow(CP_ACP, text);
}

std::wstring FromUtf8(const std::string& text)
{
    if (text.empty())
        return std::wstring();
    int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), (int)text.size(), nullptr, 0);
    if (size <= 0)
        return std::wstring();
    std::wstring out(size, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), (int)text.size(), &out[0], size);
    return out;
}

std::string ToPrintableUtf8(const std::wstring& text)
{
    static const char digits[] = "0123456789ABCDEF";
    std::wstring shown;
    for (wchar_t c : text) {
        if (c == L'\\') {
            shown += L"\\\\";
        } else if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) {
            shown += L"\\x";
            shown += digits[c >> 4];
            shown += digits[c & 15];
        } else {
            shown += c;
        }
    }
    return ToUtf8(shown);
}
