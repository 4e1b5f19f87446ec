#include "xml_escape.h"

#include <cwchar>

namespace {

const wchar_t* EntityOf(wchar_t c)
{
    switch (c) {
    case L'&': return L"&amp;";
    case L'<': return L"&lt;";
    case L'>': return L"&gt;";
    case L'"': return L"&quot;";
    case L'\'': return L"&apos;";
    // A reader turns a carriage return in text into a line feed; a reference keeps it.
    case L'\r': return L"&#13;";
    default: return nullptr;
    }
}

} // namespace

XmlWriter XmlWriterOver(wchar_t* buffer, size_t capacity)
{
    return XmlWriter{buffer, capacity > 0 ? capacity - 1 : 0, capacity == 0};
}

void XmlPut(XmlWriter* w, const wchar_t* text, size_t length)
{
    if (length > w->room) {
        w->overflow = true;
        return;
    }
    wmemcpy(w->at, text, length);
    w->at += length;
    w->room -= length;
}

void XmlPutText(XmlWriter* w, const wchar_t* text)
{
    XmlPut(w, text, wcslen(text));
}

void XmlPutEscaped(XmlWriter* w, const wchar_t* text)
{
    for (; text && *text; ++text) {
        if (const wchar_t* entity = EntityOf(*text))
            XmlPutText(w, entity);
        else
            XmlPut(w, text, 1);
    }
}

void XmlPutNumber(XmlWriter* w, int32_t number)
{
    wchar_t digits[16];
    swprintf(digits, sizeof(digits) / sizeof(digits[0]), L"%ld", (long)number);
    XmlPutText(w, digits);
}

size_t XmlEscapedLength(const wchar_t* text)
{
    size_t length = 0;
    for (; text && *text; ++text) {
        const wchar_t* entity = EntityOf(*text);
        length += entity ? wcslen(entity) : 1;
    }
    return length;
}
