// Connection properties: the XML document through MSXML 6 and the binary block.
#include <windows.h>
#include <msxml2.h>

#include <string>
#include <vector>

#include "fake_document.h"
#include "plugin_harness.h"

namespace {

typedef DWORD(WINAPI* ConnectionXmlFn)(DWORD, DWORD, BYTE*, DWORD, IXMLDOMDocument2**);
typedef DWORD(WINAPI* ConnectionFn)(DWORD, DWORD, void*, void*, DWORD, BYTE**, DWORD*);

const wchar_t kNamespace[] = L"http://www.microsoft.com/provisioning/BaseEapConnectionPropertiesV1";

std::wstring Take(BSTR text)
{
    std::wstring value = text ? text : L"";
    SysFreeString(text);
    return value;
}

class Connection : public PluginTest {
protected:
    void SetUp() override
    {
        CoInitializeEx(NULL, COINIT_APARTMENTTHREADED);
        PluginTest::SetUp();
        EntryTable(); // a host calls RasEapGetInfo first: the load-time banner is behind us
        ClearTraceLog();
        createXml_ = (ConnectionXmlFn)Export("RasEapCreateConnectionPropertiesXml");
        create_ = (ConnectionFn)Export("RasEapCreateConnectionProperties");
    }
    void TearDown() override
    {
        PluginTest::TearDown();
        CoUninitialize();
    }
    ConnectionXmlFn createXml_;
    ConnectionFn create_;
};

// Root Eap with one child Type whose text is 6, both in the base connection-properties namespace.
void ExpectConnectionDocument(IXMLDOMDocument2* doc)
{
    IXMLDOMElement* root = nullptr;
    ASSERT_EQ(S_OK, doc->get_documentElement(&root));
    BSTR text = nullptr;
    root->get_nodeName(&text);
    EXPECT_EQ(L"Eap", Take(text));
    root->get_namespaceURI(&text);
    EXPECT_EQ(kNamespace, Take(text));
    IXMLDOMNodeList* children = nullptr;
    ASSERT_EQ(S_OK, root->get_childNodes(&children));
    LONG count = 0;
    children->get_length(&count);
    EXPECT_EQ(1, count);
    IXMLDOMNode* type = nullptr;
    ASSERT_EQ(S_OK, children->get_item(0, &type));
    type->get_nodeName(&text);
    EXPECT_EQ(L"Type", Take(text));
    type->get_namespaceURI(&text);
    EXPECT_EQ(kNamespace, Take(text));
    type->get_text(&text);
    EXPECT_EQ(L"6", Take(text));
    IXMLDOMNodeList* top = nullptr;
    ASSERT_EQ(S_OK, doc->get_childNodes(&top));
    top->get_length(&count);
    EXPECT_EQ(1, count) << "no declaration or other content";
    top->Release();
    type->Release();
    children->Release();
    root->Release();
}

TEST_F(Connection, DocumentNamesTheMethod)
{
    struct Case {
        std::vector<BYTE> data;
        const char* dumpHex;
    } cases[] = {{{}, nullptr}, {{1, 2, 3}, "010203"}};
    for (const Case& c : cases) {
        ClearTraceLog();
        IXMLDOMDocument2* doc = nullptr;
        ASSERT_EQ(0u, createXml_(6, 0x20, c.data.empty() ? nullptr : (BYTE*)c.data.data(),
                                 (DWORD)c.data.size(), &doc));
        ASSERT_NE(nullptr, doc);
        ExpectConnectionDocument(doc);
        EXPECT_EQ(0u, doc->Release());
        std::vector<TraceRecord> log = ReadTraceLog();
        std::vector<std::string> lines;
        std::string dumped;
        for (const TraceRecord& r : log)
            r.kind == 'T' ? lines.push_back(r.text) : (void)(dumped = r.text);
        std::vector<std::string> expected = {
            "RasEapCreateConnectionPropertiesXml :: Enter",
            "RasEapCreateConnectionPropertiesXml :: dwEapTypeId: 6",
            "RasEapCreateConnectionPropertiesXml :: dwFlags: 00000020"};
        if (c.dumpHex)
            expected.push_back("RasEapCreateConnectionPropertiesXml :: pConnectionDataIn: ");
        expected.push_back("RasEapCreateConnectionPropertiesXml :: dwSizeOfConnectionDataIn: " +
                           std::to_string(c.data.size()));
        ASSERT_EQ(expected.size() + 1, lines.size());
        EXPECT_EQ(expected, std::vector<std::string>(lines.begin(), lines.end() - 1));
        EXPECT_EQ(0u, lines.back().find(
                          "RasEapCreateConnectionPropertiesXml :: exit(0) with pConfigDoc: 0x"));
        EXPECT_EQ(c.dumpHex ? c.dumpHex : "", dumped);
    }
}

TEST_F(Connection, RejectedRequests)
{
    IXMLDOMDocument2* doc = (IXMLDOMDocument2*)0xdeadbeef;
    EXPECT_EQ(50u, createXml_(25, 0, nullptr, 0, &doc));
    EXPECT_EQ((IXMLDOMDocument2*)0xdeadbeef, doc);
    EXPECT_TRUE(HasLine(
        TraceLines(),
        "RasEapCreateConnectionPropertiesXml :: Input Eap Type Info does not match the supported Eap Type"));
    EXPECT_EQ(0x1000Eu, ReadTraceLog()[4].flags);

    ClearTraceLog();
    EXPECT_EQ(87u, createXml_(6, 0, nullptr, 0, nullptr));
    EXPECT_TRUE(HasLine(TraceLines(), "RasEapCreateConnectionPropertiesXml :: pConfigDoc is NULL"));
    EXPECT_TRUE(HasLine(TraceLines(),
                        "RasEapCreateConnectionPropertiesXml :: exit(87) with pConfigDoc: 0x0"));
}

HRESULT g_createResult;
FakeDocumentResults g_fakeResults;
LONG g_fakeReferences;

HRESULT WINAPI FakeCoCreateInstance(REFCLSID, LPUNKNOWN, DWORD, REFIID, void** out)
{
    if (FAILED(g_createResult)) {
        *out = (void*)0xdeadbeef;
        return g_createResult;
    }
    *out = CreateFakeDocument(g_fakeResults, &g_fakeReferences);
    return S_OK;
}

TEST_F(Connection, ComFailuresReportTheLowHalfOfTheResult)
{
    ImportPatch patch(plugin_, "ole32.dll", "CoCreateInstance", (void*)FakeCoCreateInstance);
    struct Case {
        HRESULT create;
        FakeDocumentResults fake;
        DWORD expected;
        const char* line;
    } cases[] = {
        {REGDB_E_CLASSNOTREG,
         {},
         0x154,
         "RasEapCreateConnectionPropertiesXml :: Unable to CoCreate XMLDOMDocument2: Status = 340"},
        {S_OK,
         {E_FAIL, S_OK, VARIANT_TRUE},
         0x4005,
         "RasEapCreateConnectionPropertiesXml :: put_async failed: Status = 16389"},
        {S_OK,
         {S_OK, S_FALSE, VARIANT_FALSE},
         1,
         "RasEapCreateConnectionPropertiesXml :: loadXML failed: Status = 1"},
        {S_OK,
         {S_OK, E_OUTOFMEMORY, VARIANT_FALSE},
         14,
         "RasEapCreateConnectionPropertiesXml :: loadXML failed: Status = 14"},
        {S_OK,
         {S_OK, S_OK, VARIANT_FALSE},
         ERROR_INVALID_DATA,
         "RasEapCreateConnectionPropertiesXml :: loadXML failed: Status = 13"},
    };
    for (const Case& c : cases) {
        ClearTraceLog();
        g_createResult = c.create;
        g_fakeResults = c.fake;
        g_fakeReferences = 0;
        IXMLDOMDocument2* doc = (IXMLDOMDocument2*)0xdeadbeef;
        EXPECT_EQ(c.expected, createXml_(6, 0, nullptr, 0, &doc)) << c.line;
        EXPECT_EQ((IXMLDOMDocument2*)0xdeadbeef, doc) << c.line;
        EXPECT_EQ(0, g_fakeReferences) << "document not released: " << c.line;
        bool found = false;
        for (const TraceRecord& r : ReadTraceLog())
            if (r.text == c.line) {
                found = true;
                EXPECT_EQ(0x1000Eu, r.flags);
            }
        EXPECT_TRUE(found) << c.line;
    }
}

TEST_F(Connection, BinaryPropertiesAreZeroBytes)
{
    FreeMemoryFn freeMemory = (FreeMemoryFn)Export("RasEapFreeMemory");
    BYTE* data = (BYTE*)0xdeadbeef;
    DWORD size = 0xdeadbeef;
    ASSERT_EQ(0u, create_(6, 7, (void*)0x10, (void*)0x20, 9, &data, &size));
    ASSERT_EQ(776u, size);
    EXPECT_EQ(std::string(776, '\0'), std::string((char*)data, 776));
    EXPECT_EQ(776u, LocalSize(data));
    std::vector<std::string> lines = TraceLines();
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ(0u, lines[0].find("RasEapCreateConnectionProperties(6, 7, 10, 20, 9, "));
    char last[160];
    snprintf(
        last, sizeof(last),
        "RasEapCreateConnectionProperties() :: *ppConnectionDataOut 0x%X, *pdwSizeOfConnectionDataOut: 776, "
        "returning with NO_ERROR",
        (unsigned)(ULONG_PTR)data);
    EXPECT_EQ(last, lines[1]);
    EXPECT_EQ(0u, freeMemory(data));
}

TEST_F(Connection, BinaryPropertiesAllocationFailure)
{
    AllocatorProbe probe(plugin_, 1, ERROR_OUTOFMEMORY);
    BYTE* data = (BYTE*)0xdeadbeef;
    DWORD size = 0xdeadbeef;
    EXPECT_EQ((DWORD)ERROR_OUTOFMEMORY, create_(6, 0, nullptr, nullptr, 0, &data, &size));
    EXPECT_EQ((BYTE*)0xdeadbeef, data);
    EXPECT_EQ(0xdeadbeefu, size);
    EXPECT_EQ((DWORD)ERROR_INVALID_PARAMETER, create_(6, 0, nullptr, nullptr, 0, nullptr, &size));
}

} // namespace
