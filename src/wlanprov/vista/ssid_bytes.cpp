#include "ssid_bytes.h"

int SsidUtf8Bytes(const OptionSet* o, BYTE (&out)[SSID_UTF8_ROOM])
{
    wchar_t text[MAX_SSID_BYTES + 1];
    if (!ConvertAnsiText(o->ssid, text, MAX_SSID_BYTES + 1))
        return -1;
    int count = WideCharToMultiByte(CP_UTF8, 0, text, -1, reinterpret_cast<char*>(out),
                                    SSID_UTF8_ROOM, nullptr, nullptr);
    return count > 0 ? count - 1 : -1; // without the terminator
}

bool SsidIsAscii(const OptionSet* o)
{
    for (const char* c = o->ssid; *c; ++c)
        if (static_cast<unsigned char>(*c) >= 0x80)
            return false;
    return true;
}
