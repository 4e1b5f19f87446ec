#include "provisioning_call.h"

#include <netprov.h>
#include <objbase.h>
#include <oleauto.h>

#include <cstdio>

#include "../common/globals.h"
#include "../common/secret_wipe.h"
#include "xpsp2_grammar.h"

namespace {

// The provisioning service's class and its wireless profile interface.
const CLSID kNetProvisioning = {0x2AA2B5FE,
                                0xB846,
                                0x4D07,
                                {0x81, 0x0C, 0xB2, 0x1E, 0xE4, 0x53, 0x20, 0xE3}};
const IID kProvisioningProfileWireless = {0xC96FBD51,
                                          0x24DD,
                                          0x11D8,
                                          {0x89, 0xFB, 0x00, 0x90, 0x4B, 0x2E, 0xA9, 0xC6}};

// The provisioning service of this machine only: in-process server or handler, or local server;
// never one on another machine.
const DWORD kThisMachine = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER;

enum { STEP_FAILED = 110 }; // ERROR_OPEN_FAILED

} // namespace

DWORD ProvisionAdapter(const wchar_t* document, const wchar_t* adapterGuidText)
{
    IProvisioningProfileWireless* provisioning = nullptr;
    BSTR profile = nullptr;
    GUID adapterGuid = {};
    ULONG status = 0;
    DWORD result = 0;
    HRESULT hr;

    HRESULT init = CoInitialize(nullptr);
    if (init != S_OK && init != S_FALSE) {
        printf("%s :: CoInitialize FAILED %ld, %ld\n", kXpSp2AddName, (long)init,
               (long)GetLastError());
        return STEP_FAILED;
    }
    DebugPrint("%s :: CoInitialize Succeeded\n", kXpSp2AddName);
    hr = CoCreateInstance(kNetProvisioning, nullptr, kThisMachine, kProvisioningProfileWireless,
                          reinterpret_cast<void**>(&provisioning));
    if (FAILED(hr) || !provisioning) {
        provisioning = nullptr;
        printf("%s :: ERROR!! CoCreateInstance failed : 0x%x\n", kXpSp2AddName, (unsigned)hr);
        result = STEP_FAILED;
        goto done;
    }
    DebugPrint("%s :: CoCreateInstance Succeeded\n", kXpSp2AddName);
    // A text that is no GUID leaves the zero GUID, which names no adapter.
    CLSIDFromString(const_cast<LPOLESTR>(adapterGuidText), &adapterGuid);
    profile = SysAllocString(document);
    if (!profile) {
        result = ERROR_NOT_ENOUGH_MEMORY;
        goto done;
    }
    hr = provisioning->CreateProfile(profile, nullptr, &adapterGuid, &status);
    if (hr == S_OK) {
        printf("%s :: CreateProfile succeeded\n", kXpSp2AddName);
    } else {
        printf("%s :: ERROR!! CreateProfile failed : function return:0x%x, status:%ld\n",
               kXpSp2AddName, (unsigned)hr, (long)status);
        if (status == PROVISIONING_DUPLICATE_SSID)
            printf("%s :: ERROR!! CreateProfile failed : DUPLICATE SSID\n", kXpSp2AddName);
        result = ERROR_INVALID_DATA;
    }

done:
    // The copy holds the document's key; SysFreeString may keep the block in a cache.
    if (profile)
        WipeSecret(profile, SysStringByteLen(profile));
    SysFreeString(profile);
    if (provisioning)
        provisioning->Release();
    // Every successful CoInitialize, S_FALSE included, is balanced.
    CoUninitialize();
    return result;
}
