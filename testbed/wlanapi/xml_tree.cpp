#include "xml_tree.h"

#include <msxml2.h>

#include "../common/msxml6_guids.h"

namespace {

// Deeper than any profile: such a document is refused rather than walked.
enum { MAX_DEPTH = 64 };

std::wstring FromBstr(BSTR text)
{
    return text ? std::wstring(text, SysStringLen(text)) : std::wstring();
}

HRESULT ReadText(IXMLDOMNode* node, std::wstring* text)
{
    BSTR value = nullptr;
    HRESULT hr = node->get_text(&value);
    if (SUCCEEDED(hr))
        *text = FromBstr(value);
    SysFreeString(value);
    return hr;
}

// The element's attributes through XPath's attribute axis, which leaves namespace declarations
// out (they are namespace nodes), as the profile schema does.
HRESULT ReadAttributes(IXMLDOMNode* node, XmlElement* element)
{
    IXMLDOMNodeList* list = nullptr;
    IXMLDOMNode* attribute = nullptr;
    BSTR query = SysAllocString(L"@*");
    HRESULT hr = query ? node->selectNodes(query, &list) : E_OUTOFMEMORY;
    while (SUCCEEDED(hr) && list && list->nextNode(&attribute) == S_OK && attribute) {
        BSTR name = nullptr;
        std::wstring value;
        hr = attribute->get_nodeName(&name);
        if (SUCCEEDED(hr))
            hr = ReadText(attribute, &value);
        if (SUCCEEDED(hr))
            element->attributes.emplace_back(FromBstr(name), value);
        SysFreeString(name);
        attribute->Release();
        attribute = nullptr;
    }
    if (list)
        list->Release();
    SysFreeString(query);
    return hr;
}

// Fills element from an element node: names, attributes, the character data directly inside
// (text and CDATA sections) and the child elements; comments and processing instructions
// carry nothing.
HRESULT ReadElement(IXMLDOMNode* node, int depth, XmlElement* element)
{
    if (depth > MAX_DEPTH)
        return E_FAIL;
    BSTR name = nullptr;
    BSTR uri = nullptr;
    HRESULT hr = node->get_baseName(&name);
    if (SUCCEEDED(hr))
        hr = node->get_namespaceURI(&uri);
    element->localName = FromBstr(name);
    element->namespaceUri = FromBstr(uri);
    SysFreeString(name);
    SysFreeString(uri);
    if (SUCCEEDED(hr))
        hr = ReadAttributes(node, element);
    IXMLDOMNode* child = nullptr;
    if (SUCCEEDED(hr))
        hr = node->get_firstChild(&child);
    while (SUCCEEDED(hr) && child) {
        DOMNodeType type = NODE_INVALID;
        hr = child->get_nodeType(&type);
        if (SUCCEEDED(hr) && type == NODE_ELEMENT) {
            element->children.emplace_back();
            hr = ReadElement(child, depth + 1, &element->children.back());
        } else if (SUCCEEDED(hr) && (type == NODE_TEXT || type == NODE_CDATA_SECTION)) {
            std::wstring part;
            hr = ReadText(child, &part);
            element->text += part;
        }
        IXMLDOMNode* next = nullptr;
        if (SUCCEEDED(hr))
            hr = child->get_nextSibling(&next);
        child->Release();
        child = next;
    }
    if (child)
        child->Release();
    return hr;
}

void EscapeInto(const std::wstring& text, std::wstring* out)
{
    for (wchar_t c : text) {
        switch (c) {
        case L'&': *out += L"&amp;"; break;
        case L'<': *out += L"&lt;"; break;
        case L'>': *out += L"&gt;"; break;
        case L'"': *out += L"&quot;"; break;
        default: *out += c; break;
        }
    }
}

void FormatElement(const XmlElement& e, const std::wstring& parentNamespace, int level,
                   std::wstring* out)
{
    std::wstring indent(2 * level, L' ');
    *out += indent + L"<" + e.localName;
    if (e.namespaceUri != parentNamespace) {
        *out += L" xmlns=\"";
        EscapeInto(e.namespaceUri, out);
        *out += L"\"";
    }
    for (const auto& attribute : e.attributes) {
        *out += L" " + attribute.first + L"=\"";
        EscapeInto(attribute.second, out);
        *out += L"\"";
    }
    *out += L">";
    if (e.children.empty()) {
        EscapeInto(e.text, out);
    } else {
        *out += L"\n";
        for (const XmlElement& child : e.children)
            FormatElement(child, e.namespaceUri, level + 1, out);
        *out += indent;
    }
    *out += L"</" + e.localName + L">\n";
}

} // namespace

bool ParseXmlDocument(const std::wstring& document, XmlElement* root)
{
    *root = XmlElement{};
    // The caller's thread may or may not have COM: take it for this call when it has not.
    HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IXMLDOMDocument2* xml = nullptr;
    IXMLDOMElement* element = nullptr;
    BSTR text = nullptr;
    VARIANT_BOOL loaded = VARIANT_FALSE;
    bool ok = false;

    HRESULT hr = CoCreateInstance(kClsidDomDocument60, nullptr, CLSCTX_INPROC_SERVER,
                                  kIidXmlDomDocument2, (void**)&xml);
    if (FAILED(hr)) {
        xml = nullptr;
        goto done;
    }
    if (FAILED(xml->put_async(VARIANT_FALSE)) || FAILED(xml->put_preserveWhiteSpace(VARIANT_TRUE)))
        goto done;
    // A copy gives MSXML the text's true length: a character after an embedded zero counts.
    text = SysAllocStringLen(document.data(), (UINT)document.size());
    if (!text || FAILED(xml->loadXML(text, &loaded)) || loaded != VARIANT_TRUE)
        goto done;
    if (FAILED(xml->get_documentElement(&element)) || !element) {
        element = nullptr;
        goto done;
    }
    ok = SUCCEEDED(ReadElement(element, 0, root));

done:
    if (element)
        element->Release();
    SysFreeString(text);
    if (xml)
        xml->Release();
    if (SUCCEEDED(com))
        CoUninitialize();
    return ok;
}

std::wstring FormatXmlTree(const XmlElement& root)
{
    std::wstring out;
    FormatElement(root, L"", 0, &out);
    return out;
}
