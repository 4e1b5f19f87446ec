#include "xml_tree.h"

#include <cwctype>
#include <map>

namespace {

enum { MAX_DEPTH = 64 };

using Namespaces = std::map<std::wstring, std::wstring>;  // prefix ("" = default) -> URI

struct Reader {
    const std::wstring& text;
    size_t at;
    std::wstring error;

    bool End() const { return at >= text.size(); }
    wchar_t Peek() const { return End() ? L'\0' : text[at]; }
    bool StartsWith(const wchar_t* s) const { return text.compare(at, wcslen(s), s) == 0; }
    bool Fail(const std::wstring& why)
    {
        if (error.empty())
            error = why + L" at offset " + std::to_wstring(at);
        return false;
    }
};

bool IsSpace(wchar_t c)
{
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n';
}

bool IsNameStart(wchar_t c)
{
    return iswalpha(c) || c == L'_' || c == L':' || c >= 0x80;
}

bool IsNameChar(wchar_t c)
{
    return IsNameStart(c) || iswdigit(c) || c == L'-' || c == L'.';
}

void SkipSpace(Reader* r)
{
    while (!r->End() && IsSpace(r->Peek()))
        ++r->at;
}

bool ReadName(Reader* r, std::wstring* name)
{
    size_t start = r->at;
    if (!IsNameStart(r->Peek()))
        return r->Fail(L"name expected");
    while (!r->End() && IsNameChar(r->Peek()))
        ++r->at;
    name->assign(r->text, start, r->at - start);
    return true;
}

// Skips up to and past terminator; false when the document ends first.
bool SkipPast(Reader* r, const wchar_t* terminator)
{
    size_t end = r->text.find(terminator, r->at);
    if (end == std::wstring::npos)
        return r->Fail(std::wstring(L"unterminated construct, expected ") + terminator);
    r->at = end + wcslen(terminator);
    return true;
}

bool AppendCodePoint(unsigned long code, std::wstring* out)
{
    if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return false;
    if (code >= 0x10000) {
        code -= 0x10000;
        *out += static_cast<wchar_t>(0xD800 + (code >> 10));
        *out += static_cast<wchar_t>(0xDC00 + (code & 0x3FF));
    } else {
        *out += static_cast<wchar_t>(code);
    }
    return true;
}

// At '&': decodes one reference into out.
bool ReadReference(Reader* r, std::wstring* out)
{
    size_t end = r->text.find(L';', r->at);
    if (end == std::wstring::npos || end - r->at > 12)
        return r->Fail(L"bad entity reference");
    std::wstring name = r->text.substr(r->at + 1, end - r->at - 1);
    static const std::pair<const wchar_t*, wchar_t> kEntities[] = {
        {L"amp", L'&'}, {L"lt", L'<'}, {L"gt", L'>'}, {L"quot", L'"'}, {L"apos", L'\''}};
    bool done = false;
    for (const auto& entity : kEntities) {
        if (name == entity.first) {
            *out += entity.second;
            done = true;
        }
    }
    if (!done && name.size() > 1 && name[0] == L'#') {
        bool hex = name[1] == L'x';
        std::wstring digits = name.substr(hex ? 2 : 1);
        wchar_t* stop = nullptr;
        unsigned long code = digits.empty() ? 0 : wcstoul(digits.c_str(), &stop, hex ? 16 : 10);
        done = !digits.empty() && *stop == L'\0' && iswxdigit(digits[0]) &&
               AppendCodePoint(code, out);
    }
    if (!done)
        return r->Fail(L"unknown entity &" + name + L";");
    r->at = end + 1;
    return true;
}

bool ReadAttributeValue(Reader* r, std::wstring* value)
{
    wchar_t quote = r->Peek();
    if (quote != L'"' && quote != L'\'')
        return r->Fail(L"quoted attribute value expected");
    ++r->at;
    while (!r->End() && r->Peek() != quote) {
        if (r->Peek() == L'<')
            return r->Fail(L"'<' in attribute value");
        if (r->Peek() == L'&') {
            if (!ReadReference(r, value))
                return false;
        } else {
            *value += r->text[r->at++];
        }
    }
    if (r->End())
        return r->Fail(L"unterminated attribute value");
    ++r->at;
    return true;
}

// Splits "p:name" into prefix and local name.
void SplitName(const std::wstring& qualified, std::wstring* prefix, std::wstring* local)
{
    size_t colon = qualified.find(L':');
    *prefix = colon == std::wstring::npos ? L"" : qualified.substr(0, colon);
    *local = colon == std::wstring::npos ? qualified : qualified.substr(colon + 1);
}

bool ReadElement(Reader* r, const Namespaces& inherited, int depth, XmlElement* element);

// Misc items (comments, processing instructions, white space) between top-level items.
bool SkipMisc(Reader* r)
{
    for (;;) {
        SkipSpace(r);
        if (r->StartsWith(L"<!--")) {
            if (!SkipPast(r, L"-->"))
                return false;
        } else if (r->StartsWith(L"<?")) {
            if (!SkipPast(r, L"?>"))
                return false;
        } else {
            return true;
        }
    }
}

bool ReadContent(Reader* r, const Namespaces& scope, int depth, XmlElement* element,
                 const std::wstring& qualifiedName)
{
    for (;;) {
        if (r->End())
            return r->Fail(L"missing end tag of " + qualifiedName);
        wchar_t c = r->Peek();
        if (c == L'&') {
            if (!ReadReference(r, &element->text))
                return false;
        } else if (c != L'<') {
            if (r->StartsWith(L"]]>"))
                return r->Fail(L"']]>' in character data");
            element->text += c;
            ++r->at;
        } else if (r->StartsWith(L"</")) {
            r->at += 2;
            std::wstring name;
            if (!ReadName(r, &name))
                return false;
            if (name != qualifiedName)
                return r->Fail(L"end tag " + name + L" does not match " + qualifiedName);
            SkipSpace(r);
            if (r->Peek() != L'>')
                return r->Fail(L"'>' expected");
            ++r->at;
            return true;
        } else if (r->StartsWith(L"<!--")) {
            if (!SkipPast(r, L"-->"))
                return false;
        } else if (r->StartsWith(L"<![CDATA[")) {
            size_t start = r->at + 9;
            r->at = start;
            if (!SkipPast(r, L"]]>"))
                return false;
            element->text.append(r->text, start, r->at - 3 - start);
        } else if (r->StartsWith(L"<?")) {
            if (!SkipPast(r, L"?>"))
                return false;
        } else {
            element->children.emplace_back();
            if (!ReadElement(r, scope, depth + 1, &element->children.back()))
                return false;
        }
    }
}

bool ReadElement(Reader* r, const Namespaces& inherited, int depth, XmlElement* element)
{
    if (depth > MAX_DEPTH)
        return r->Fail(L"elements nested too deep");
    if (r->Peek() != L'<')
        return r->Fail(L"'<' expected");
    ++r->at;
    std::wstring qualifiedName;
    if (!ReadName(r, &qualifiedName))
        return false;
    Namespaces scope = inherited;
    for (;;) {
        bool spaced = IsSpace(r->Peek());
        SkipSpace(r);
        if (r->StartsWith(L"/>") || r->Peek() == L'>')
            break;
        if (!spaced)
            return r->Fail(L"white space expected before attribute");
        std::wstring name, value;
        if (!ReadName(r, &name))
            return false;
        SkipSpace(r);
        if (r->Peek() != L'=')
            return r->Fail(L"'=' expected");
        ++r->at;
        SkipSpace(r);
        if (!ReadAttributeValue(r, &value))
            return false;
        for (const auto& existing : element->attributes)
            if (existing.first == name)
                return r->Fail(L"attribute " + name + L" repeated");
        if (name == L"xmlns")
            scope[L""] = value;
        else if (name.compare(0, 6, L"xmlns:") == 0)
            scope[name.substr(6)] = value;
        element->attributes.emplace_back(name, value);
    }
    std::wstring prefix;
    SplitName(qualifiedName, &prefix, &element->localName);
    auto bound = scope.find(prefix);
    if (bound != scope.end())
        element->namespaceUri = bound->second;
    else if (!prefix.empty())
        return r->Fail(L"undeclared prefix " + prefix);
    if (r->StartsWith(L"/>")) {
        r->at += 2;
        return true;
    }
    ++r->at;
    return ReadContent(r, scope, depth, element, qualifiedName);
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

void FormatElement(const XmlElement& e, int level, std::wstring* out)
{
    std::wstring indent(2 * level, L' ');
    *out += indent + L"<" + e.localName;
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
            FormatElement(child, level + 1, out);
        *out += indent;
    }
    *out += L"</" + e.localName + L">\n";
}

} // namespace

bool ParseXmlDocument(const std::wstring& document, XmlElement* root, std::wstring* error)
{
    Reader reader{document, 0, L""};
    *root = XmlElement{};
    bool ok = SkipMisc(&reader) && ReadElement(&reader, Namespaces(), 0, root) &&
              SkipMisc(&reader);
    if (ok && !reader.End())
        ok = reader.Fail(L"content after the root element");
    if (!ok && error)
        *error = reader.error;
    return ok;
}

std::wstring FormatXmlTree(const XmlElement& root)
{
    std::wstring out;
    FormatElement(root, 0, &out);
    return out;
}
