#define CINTERFACE
#define COBJMACROS
#include "fake_document.h"

#include <msxml2.h>

namespace {

struct FakeDocument {
    IXMLDOMDocument2 base;
    IXMLDOMDocument2Vtbl vtbl;
    FakeDocumentResults results;
    LONG* references;
};

FakeDocument* Self(IXMLDOMDocument2* doc)
{
    return (FakeDocument*)doc;
}

HRESULT STDMETHODCALLTYPE QueryInterface(IXMLDOMDocument2* doc, REFIID, void** out)
{
    *out = NULL;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE AddRef(IXMLDOMDocument2* doc)
{
    return ++*Self(doc)->references;
}

ULONG STDMETHODCALLTYPE Release(IXMLDOMDocument2* doc)
{
    LONG count = --*Self(doc)->references;
    if (count == 0)
        delete Self(doc);
    return count;
}

HRESULT STDMETHODCALLTYPE PutAsync(IXMLDOMDocument2* doc, VARIANT_BOOL)
{
    return Self(doc)->results.putAsync;
}

HRESULT STDMETHODCALLTYPE LoadXml(IXMLDOMDocument2* doc, BSTR, VARIANT_BOOL* loaded)
{
    *loaded = Self(doc)->results.loaded;
    return Self(doc)->results.loadXml;
}

} // namespace

void* CreateFakeDocument(const FakeDocumentResults& results, LONG* references)
{
    FakeDocument* doc = new FakeDocument();
    doc->vtbl.QueryInterface = QueryInterface;
    doc->vtbl.AddRef = AddRef;
    doc->vtbl.Release = Release;
    doc->vtbl.put_async = PutAsync;
    doc->vtbl.loadXML = LoadXml;
    doc->base.lpVtbl = &doc->vtbl;
    doc->results = results;
    doc->references = references;
    *references = 1;
    return doc;
}
