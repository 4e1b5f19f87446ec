#include "profile_xml.h"

#include <msxml2.h>

#include <string>

#include "../common/msxml6_guids.h"

const wchar_t kWirelessProfileNamespace[] =
    L"http://www.microsoft.com/provisioning/WirelessProfile";

namespace {

std::u16string FromBstr(BSTR text)
{
    return text ? std::u16string(reinterpret_cast<const char16_t*>(text), SysStringLen(text))
                : std::u16string();
}

bool IsBlank(const std::u16string& text)
{
    return text.find_first_not_of(u" \t\r\n") == std::u16string::npos;
}

// The value of a text or CDATA node, exactly as in the document.
HRESULT ReadNodeValue(IXMLDOMNode* node, std::u16string* value)
{
    VARIANT content;
    VariantInit(&content);
    HRESULT hr = node->get_nodeValue(&content);
    if (SUCCEEDED(hr) && V_VT(&content) == VT_BSTR)
        *value = FromBstr(V_BSTR(&content));
    VariantClear(&content);
    return hr;
}

HRESULT ReadName(IXMLDOMNode* node, std::u16string* localName, std::u16string* namespaceUri)
{
    BSTR name = NULL;
    BSTR uri = NULL;
    HRESULT hr = node->get_baseName(&name);
    if (SUCCEEDED(hr))
        hr = node->get_namespaceURI(&uri);
    if (SUCCEEDED(hr)) {
        *localName = FromBstr(name);
        *namespaceUri = FromBstr(uri);
    }
    SysFreeString(name);
    SysFreeString(uri);
    return hr;
}

// The text in the ANSI code page, and whether converting it back gives the same text.
void ConvertToAnsi(ProfileElement* element)
{
    const wchar_t* wide = reinterpret_cast<const wchar_t*>(element->text.data());
    int count = (int)element->text.size();
    element->ansiExact = count == 0;
    if (count == 0)
        return;
    int bytes = WideCharToMultiByte(CP_ACP, 0, wide, count, NULL, 0, NULL, NULL);
    if (bytes <= 0)
        return;
    std::string ansi(bytes, '\0');
    WideCharToMultiByte(CP_ACP, 0, wide, count, &ansi[0], bytes, NULL, NULL);
    int back = MultiByteToWideChar(CP_ACP, 0, ansi.data(), bytes, NULL, 0);
    std::wstring again(back > 0 ? back : 0, L'\0');
    if (back > 0)
        MultiByteToWideChar(CP_ACP, 0, ansi.data(), bytes, &again[0], back);
    element->ansiText = ansi;
    element->ansiExact = again == std::wstring(wide, count);
}

// Calls visit(child, type) for each child of parent in document order, until one returns a
// status other than PROFILE_SUCCESS. An MSXML failure (in *hr) gives PROFILE_INTERNAL_ERROR.
template <typename Visit>
uint32_t ForEachChild(IXMLDOMNode* parent, HRESULT* hr, Visit visit)
{
    uint32_t status = PROFILE_SUCCESS;
    IXMLDOMNode* child = NULL;
    *hr = parent->get_firstChild(&child);
    while (SUCCEEDED(*hr) && child && status == PROFILE_SUCCESS) {
        DOMNodeType type = NODE_INVALID;
        *hr = child->get_nodeType(&type);
        if (SUCCEEDED(*hr))
            status = visit(child, type);
        IXMLDOMNode* next = NULL;
        if (SUCCEEDED(*hr) && status == PROFILE_SUCCESS)
            *hr = child->get_nextSibling(&next);
        child->Release();
        child = next;
    }
    return FAILED(*hr) ? PROFILE_INTERNAL_ERROR : status;
}

uint32_t ReadElement(IXMLDOMNode* node, ProfileElement* element, HRESULT* hr)
{
    std::u16string namespaceUri;
    *hr = ReadName(node, &element->name, &namespaceUri);
    if (FAILED(*hr))
        return PROFILE_INTERNAL_ERROR;
    bool elementContent = false;
    uint32_t status = ForEachChild(node, hr, [&](IXMLDOMNode* child, DOMNodeType type) {
        if (type == NODE_TEXT || type == NODE_CDATA_SECTION) {
            std::u16string part;
            *hr = ReadNodeValue(child, &part);
            element->text += part;
        } else if (type != NODE_COMMENT && type != NODE_PROCESSING_INSTRUCTION) {
            elementContent = true;
        }
        return FAILED(*hr) ? PROFILE_INTERNAL_ERROR : PROFILE_SUCCESS;
    });
    element->conforming = !elementContent && namespaceUri == reinterpret_cast<const char16_t*>(
                                                                 kWirelessProfileNamespace);
    ConvertToAnsi(element);
    return status;
}

} // namespace

uint32_t LoadProfileElements(const wchar_t* document, std::vector<ProfileElement>* elements,
                             HRESULT* hr)
{
    uint32_t status = PROFILE_INTERNAL_ERROR;
    IXMLDOMDocument2* xml = NULL;
    IXMLDOMElement* root = NULL;
    BSTR text = NULL;
    VARIANT_BOOL loaded = VARIANT_FALSE;
    std::u16string rootName;
    std::u16string rootNamespace;

    *hr = CoCreateInstance(kClsidDomDocument60, NULL, CLSCTX_INPROC_SERVER, kIidXmlDomDocument2,
                           (void**)&xml);
    if (FAILED(*hr)) {
        xml = NULL;
        goto done;
    }
    *hr = xml->put_async(VARIANT_FALSE);
    if (SUCCEEDED(*hr))
        *hr = xml->put_preserveWhiteSpace(VARIANT_TRUE);
    if (FAILED(*hr))
        goto done;
    // Callers may hand plain zero-terminated text: a copy gives MSXML a true length.
    text = SysAllocString(document);
    if (!text) {
        *hr = E_OUTOFMEMORY;
        status = PROFILE_MEMORY_ALLOCATION;
        goto done;
    }
    *hr = xml->loadXML(text, &loaded);
    if (FAILED(*hr))
        goto done;
    if (loaded != VARIANT_TRUE) {
        status = PROFILE_FAILED_TO_LOAD_XML;
        goto done;
    }
    *hr = xml->get_documentElement(&root);
    if (FAILED(*hr) || !root) {
        root = NULL;
        goto done;
    }
    *hr = ReadName(root, &rootName, &rootNamespace);
    if (FAILED(*hr))
        goto done;
    if (rootName != u"WirelessProfile" ||
        rootNamespace != reinterpret_cast<const char16_t*>(kWirelessProfileNamespace)) {
        status = PROFILE_VALIDATION_FAILED;
        goto done;
    }
    status = ForEachChild(root, hr, [&](IXMLDOMNode* child, DOMNodeType type) -> uint32_t {
        if (type == NODE_ELEMENT) {
            elements->emplace_back();
            return ReadElement(child, &elements->back(), hr);
        }
        if (type == NODE_COMMENT || type == NODE_PROCESSING_INSTRUCTION)
            return PROFILE_SUCCESS;
        std::u16string value;
        if (type == NODE_TEXT && SUCCEEDED(*hr = ReadNodeValue(child, &value)) && IsBlank(value))
            return PROFILE_SUCCESS;
        return FAILED(*hr) ? PROFILE_INTERNAL_ERROR : PROFILE_VALIDATION_FAILED;
    });

done:
    if (root)
        root->Release();
    if (text)
        SysFreeString(text);
    if (xml)
        xml->Release();
    return status;
}
