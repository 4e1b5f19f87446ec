// A stand-in for MSXML's document whose put_async and loadXML give chosen results, to drive the
// plug-in's failure paths. Only the methods the plug-in calls are present.
#pragma once

#include <windows.h>

struct FakeDocumentResults {
    HRESULT putAsync;
    HRESULT loadXml;
    VARIANT_BOOL loaded;
};

// Returns an object with one reference; *references follows its count.
void* CreateFakeDocument(const FakeDocumentResults& results, LONG* references);
