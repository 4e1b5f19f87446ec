// Profile documents as trees, read with the platform's own XML parser (MSXML 6, DOMDocument60):
// well-formedness, encodings and namespaces are its business; the tree keeps each element's
// names, attributes, character data and child elements for the schema checks.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

struct XmlElement {
    std::wstring localName;
    std::wstring namespaceUri;
    // Qualified name and value; namespace declarations are not attributes here.
    std::vector<std::pair<std::wstring, std::wstring>> attributes;
    std::wstring text; // character data directly inside, entities decoded
    std::vector<XmlElement> children;
};

// Parses a whole document. Returns false when MSXML refuses it (not well-formed, an undeclared
// prefix, an unknown encoding) or cannot be had.
bool ParseXmlDocument(const std::wstring& document, XmlElement* root);

// Writes the tree indented, two blanks per level, values escaped again, with a default
// namespace declaration wherever an element's namespace differs from its parent's.
std::wstring FormatXmlTree(const XmlElement& root);
