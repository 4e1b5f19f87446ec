// The document targets' oracle: values drawn from the input as any text an XML document can
// carry, and a real XML parser (libxml2) that reads the built document back.
#pragma once

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#define Check(condition)                                                                           \
    ((condition) ? (void)0 : (fprintf(stderr, "check failed: line %d\n", __LINE__), abort()))

// Reads the next text of the input, up to a zero byte: UTF-8, with bytes that do not decode
// and characters XML cannot carry (controls other than tab, line feed and carriage return,
// U+FFFE, U+FFFF) left out. Returned as UTF-16 units (wchar_t is 16 bits in these targets).
inline std::u16string NextText(const uint8_t*& data, size_t& size)
{
    std::u16string text;
    while (size && *data) {
        uint32_t c = *data;
        size_t bytes = c < 0x80                 ? 1
                       : c >= 0xf0 && c <= 0xf4 ? 4
                       : c >= 0xe0 && c < 0xf0  ? 3
                       : c >= 0xc2 && c < 0xe0  ? 2
                                                : 0;
        bool whole = bytes && bytes <= size;
        for (size_t i = 1; whole && i < bytes; ++i)
            whole = (data[i] & 0xc0) == 0x80;
        if (!whole) {
            ++data;
            --size;
            continue;
        }
        if (bytes > 1) {
            c &= 0xff >> (bytes + 1);
            for (size_t i = 1; i < bytes; ++i)
                c = c << 6 | (data[i] & 0x3f);
        }
        data += bytes;
        size -= bytes;
        bool allowed = c == 9 || c == 10 || c == 13 || (c >= 0x20 && c < 0xd800) ||
                       (c >= 0xe000 && c < 0xfffe) || (c >= 0x10000 && c <= 0x10ffff);
        if (!allowed)
            continue;
        if (c >= 0x10000) {
            text += (char16_t)(0xd800 + ((c - 0x10000) >> 10));
            text += (char16_t)(0xdc00 + ((c - 0x10000) & 0x3ff));
        } else {
            text += (char16_t)c;
        }
    }
    if (size) {
        ++data;
        --size;
    }
    return text;
}

inline int32_t NextNumber(const uint8_t*& data, size_t& size)
{
    uint32_t number = 0;
    for (int i = 0; i < 4 && size; ++i, --size)
        number |= (uint32_t)*data++ << (8 * i);
    return (int32_t)number;
}

// UTF-16 to UTF-8; the texts here never hold a lone surrogate.
inline std::string Utf8(const char16_t* text)
{
    std::string out;
    for (; text && *text; ++text) {
        uint32_t c = *text;
        if (c >= 0xd800 && c < 0xdc00 && text[1] >= 0xdc00 && text[1] < 0xe000)
            c = 0x10000 + ((c - 0xd800) << 10) + (*++text - 0xdc00);
        if (c < 0x80) {
            out += (char)c;
        } else if (c < 0x800) {
            out += (char)(0xc0 | c >> 6);
            out += (char)(0x80 | (c & 0x3f));
        } else if (c < 0x10000) {
            out += (char)(0xe0 | c >> 12);
            out += (char)(0x80 | ((c >> 6) & 0x3f));
            out += (char)(0x80 | (c & 0x3f));
        } else {
            out += (char)(0xf0 | c >> 18);
            out += (char)(0x80 | ((c >> 12) & 0x3f));
            out += (char)(0x80 | ((c >> 6) & 0x3f));
            out += (char)(0x80 | (c & 0x3f));
        }
    }
    return out;
}

inline std::string Utf8(const wchar_t* text)
{
    return Utf8(reinterpret_cast<const char16_t*>(text));
}

// A document read back: every element's local name with its namespace in document order,
// "name{namespace}=text" for elements that hold only text, "name{namespace}" otherwise.
struct ReadBack {
    bool wellFormed;
    std::vector<std::string> elements;
};

inline void Collect(xmlNode* node, ReadBack* read)
{
    for (; node; node = node->next) {
        if (node->type != XML_ELEMENT_NODE)
            continue;
        std::string entry = (const char*)node->name;
        entry += "{" + std::string(node->ns ? (const char*)node->ns->href : "") + "}";
        bool textOnly = true;
        for (xmlNode* child = node->children; child; child = child->next)
            textOnly = textOnly && child->type == XML_TEXT_NODE;
        if (textOnly) {
            xmlChar* content = xmlNodeGetContent(node);
            entry += "=" + std::string(content ? (const char*)content : "");
            xmlFree(content);
        }
        read->elements.push_back(entry);
        Collect(node->children, read);
    }
}

inline ReadBack ParseDocument(const std::string& utf8)
{
    ReadBack read = {false, {}};
    xmlDoc* document = xmlReadMemory(utf8.data(), (int)utf8.size(), nullptr, "UTF-8",
                                     XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    if (!document)
        return read;
    read.wellFormed = true;
    Collect(xmlDocGetRootElement(document), &read);
    xmlFreeDoc(document);
    return read;
}
