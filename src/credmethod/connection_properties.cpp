// Connection properties without a dialog: GTC has no per-connection settings, so both forms are
// fixed.
#include <windows.h>
#include <msxml2.h>

#include "allocation.h"
#include "plugin_state.h"
#include "records.h"
#include "tracing.h"

namespace {

// MSXML 6.0; mingw-w64 declares the interfaces but ships no msxml6 GUIDs.
const CLSID kClsidDomDocument60 = {0x88D96A05,
                                   0xF192,
                                   0x11D4,
                                   {0xA6, 0x5F, 0x00, 0x40, 0x96, 0x32, 0x51, 0xE5}};
const IID kIidXmlDomDocument2 = {0x2933BF95,
                                 0x7B36,
                                 0x11D2,
                                 {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};

const WCHAR kConnectionPropertiesXml[] =
    L"<Eap xmlns=\"http://www.microsoft.com/provisioning/BaseEapConnectionPropertiesV1\">"
    L"<Type>6</Type></Eap>";

// The status a failed step reports: the low half of its result code.
DWORD StatusOf(HRESULT hr)
{
    return static_cast<DWORD>(hr) & 0xFFFF;
}

} // namespace

extern "C" DWORD WINAPI RasEapCreateConnectionPropertiesXml(DWORD dwEapTypeId, DWORD dwFlags,
                                                            BYTE* pConnectionDataIn,
                                                            DWORD dwSizeOfConnectionDataIn,
                                                            IXMLDOMDocument2** ppConfigDoc)
{
    CompleteAttach();
    DWORD result = NO_ERROR;
    IXMLDOMDocument2* document = nullptr;
    BSTR text = nullptr;
    VARIANT_BOOL loaded = VARIANT_FALSE;
    HRESULT hr;

    LogTrace(LOG_DETAIL, "RasEapCreateConnectionPropertiesXml :: Enter");
    LogTrace(LOG_DETAIL, "RasEapCreateConnectionPropertiesXml :: dwEapTypeId: %d", dwEapTypeId);
    LogTrace(LOG_DETAIL, "RasEapCreateConnectionPropertiesXml :: dwFlags: %08X", dwFlags);
    if (dwSizeOfConnectionDataIn != 0) {
        LogTrace(LOG_DETAIL, "RasEapCreateConnectionPropertiesXml :: pConnectionDataIn: ");
        LogHexDump(LOG_DETAIL, pConnectionDataIn, dwSizeOfConnectionDataIn);
    }
    LogTrace(LOG_DETAIL, "RasEapCreateConnectionPropertiesXml :: dwSizeOfConnectionDataIn: %d",
             dwSizeOfConnectionDataIn);

    if (!ppConfigDoc) {
        LogTrace(LOG_ERROR, "RasEapCreateConnectionPropertiesXml :: pConfigDoc is NULL");
        result = ERROR_INVALID_PARAMETER;
        goto done;
    }
    if (dwEapTypeId != EAP_TYPE_GTC) {
        LogTrace(LOG_ERROR,
                 "RasEapCreateConnectionPropertiesXml :: Input Eap Type Info does not match the "
                 "supported Eap Type");
        result = ERROR_NOT_SUPPORTED;
        goto done;
    }

    // COM is initialised on this thread by the caller.
    hr = CoCreateInstance(kClsidDomDocument60, nullptr, CLSCTX_INPROC_SERVER, kIidXmlDomDocument2,
                          reinterpret_cast<void**>(&document));
    if (FAILED(hr)) {
        document = nullptr;
        result = StatusOf(hr);
        LogTrace(LOG_ERROR,
                 "RasEapCreateConnectionPropertiesXml :: Unable to CoCreate XMLDOMDocument2: "
                 "Status = %d",
                 static_cast<int>(result));
        goto done;
    }
    hr = document->put_async(VARIANT_FALSE);
    if (FAILED(hr)) {
        result = StatusOf(hr);
        LogTrace(LOG_ERROR, "RasEapCreateConnectionPropertiesXml :: put_async failed: Status = %d",
                 static_cast<int>(result));
        goto done;
    }
    text = SysAllocString(kConnectionPropertiesXml);
    hr = text ? document->loadXML(text, &loaded) : E_OUTOFMEMORY;
    if (FAILED(hr) || loaded != VARIANT_TRUE) {
        // A load that reports false with a success code (S_FALSE) fails with that code's low half.
        result = StatusOf(hr);
        if (result == NO_ERROR)
            result = ERROR_INVALID_DATA;
        LogTrace(LOG_ERROR, "RasEapCreateConnectionPropertiesXml :: loadXML failed: Status = %d",
                 static_cast<int>(result));
        goto done;
    }
    *ppConfigDoc = document;
    document = nullptr;

done:
    if (text)
        SysFreeString(text);
    if (document)
        document->Release();
    LogTrace(LOG_DETAIL, "RasEapCreateConnectionPropertiesXml :: exit(%d) with pConfigDoc: 0x%X",
             static_cast<int>(result), TraceAddress(ppConfigDoc));
    return result;
}

extern "C" DWORD WINAPI RasEapCreateConnectionProperties(DWORD dwEapTypeId, DWORD dwFlags,
                                                         void* pReserved1, void* pReserved2,
                                                         DWORD dwReserved,
                                                         BYTE** ppConnectionDataOut,
                                                         DWORD* pdwSizeOfConnectionDataOut)
{
    CompleteAttach();
    DWORD result = NO_ERROR;
    BYTE* data = nullptr;
    LogTrace(LOG_DETAIL, "RasEapCreateConnectionProperties(%d, %d, %X, %X, %d, %X, %X) :: Enter",
             static_cast<int>(dwEapTypeId), static_cast<int>(dwFlags), TraceAddress(pReserved1),
             TraceAddress(pReserved2), static_cast<int>(dwReserved),
             TraceAddress(ppConnectionDataOut), TraceAddress(pdwSizeOfConnectionDataOut));
    if (!ppConnectionDataOut || !pdwSizeOfConnectionDataOut)
        return ERROR_INVALID_PARAMETER;
    data = static_cast<BYTE*>(LocalAlloc(LPTR, sizeof(ENCRYPTED_USER_IDENTITY)));
    if (!data) {
        // Reporting success without the block would leave the host with a size and no data.
        result = AllocationError();
        LogTrace(LOG_ERROR, "RasEapCreateConnectionProperties() :: Out of memory");
        return result;
    }
    *ppConnectionDataOut = data;
    *pdwSizeOfConnectionDataOut = sizeof(ENCRYPTED_USER_IDENTITY);
    LogTrace(LOG_DETAIL,
             "RasEapCreateConnectionProperties() :: *ppConnectionDataOut 0x%X, "
             "*pdwSizeOfConnectionDataOut: %d, returning with NO_ERROR",
             TraceAddress(data), static_cast<int>(sizeof(ENCRYPTED_USER_IDENTITY)));
    return result;
}
