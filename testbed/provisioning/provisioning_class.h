// The identity of the wireless provisioning service: its class, its interface, and the file
// file.
#pragma once

#include <windows.h>
#include <unknwn.h>

const CLSID kClsidProvisioningService = {0x2AA2B5FE,
                                         0xB846,
                                         0x4D07,
                                         {0x81, 0x0C, 0xB2, 0x1E, 0xE4, 0x53, 0x20, 0xE3}};
const IID kIidProvisioningProfileWireless = {0xC96FBD51,
                                             0x24DD,
                                             0x11D8,
                                             {0x89, 0xFB, 0x00, 0x90, 0x4B, 0x2E, 0xA9, 0xC6}};

// The server's file name. The class is registered with the full path of the server that
// registered it, as the platform's own is, but answers only a program that has a copy of that
// file beside it (the XP SP2 and later platform folders): others get "class not registered",
// as on a Windows without the service. A bare name in the registry would need the legacy
// library search, which wlanprov turns off where kernel32 offers SetDefaultDllDirectories.
const wchar_t kProvisioningServerFile[] = L"wzcprov.dll";

// Whether the calling program's folder, or that of the wzcsapi.dll it loaded, holds
// kProvisioningServerFile.
bool ProgramHasProvisioningServer();

// The interface as the platform's clients call it. Declared at namespace scope: a declaration
// local to a file lets the compiler conclude that no implementation exists there and drop calls.
struct IProvisioningProfileWireless : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE CreateProfile(BSTR document, BSTR connectionDocument,
                                                    GUID* adapterGuid, ULONG* status) = 0;
};
