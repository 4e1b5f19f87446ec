// A small, strict XML reader for profile documents: well-formedness (one root, matching tags,
// quoted attributes, known entities and character references, no stray '<' or '&'), namespace
// resolution, and a tree of elements with their character data.
#pragma once

#include <string>
#include <utility>
#include <vector>

struct XmlElement {
    std::wstring localName;
    std::wstring namespaceUri;
    std::vector<std::pair<std::wstring, std::wstring>> attributes;  // qualified name, value
    std::wstring text;          // character data directly inside, entities decoded
    std::vector<XmlElement> children;
};

// Parses a whole document. Returns false (with *error saying where) when it is not
// well-formed or uses an undeclared prefix.
bool ParseXmlDocument(const std::wstring& document, XmlElement* root, std::wstring* error);

// Writes the tree indented, two blanks per level, values escaped again.
std::wstring FormatXmlTree(const XmlElement& root);
