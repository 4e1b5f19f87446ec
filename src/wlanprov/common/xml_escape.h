// Text written into XML documents: a bounded writer that never runs past its buffer, and the
// escaping of values (&, <, >, " and ' as entities, a carriage return as "&#13;") so that any
// value keeps a document well formed and reads back unchanged. Free of windows.h.
#pragma once

#include <cstddef>
#include <cstdint>

struct XmlWriter {
    wchar_t* at;
    size_t room;   // characters left, terminator excluded
    bool overflow; // set when a piece did not fit; nothing of it was written
};

// A writer over capacity characters of buffer, one of them kept for the terminator.
XmlWriter XmlWriterOver(wchar_t* buffer, size_t capacity);

void XmlPut(XmlWriter* writer, const wchar_t* text, size_t length);
void XmlPutText(XmlWriter* writer, const wchar_t* text);
void XmlPutEscaped(XmlWriter* writer, const wchar_t* text); // null writes nothing
void XmlPutNumber(XmlWriter* writer, int32_t number);       // decimal

// Number of characters of text once escaped (0 for null).
size_t XmlEscapedLength(const wchar_t* text);
