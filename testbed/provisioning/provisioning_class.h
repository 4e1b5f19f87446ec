// The identity of the wireless provisioning service: its class, its interface, and the file
// name under which the class is registered.
#pragma once

#include <windows.h>
#include <unknwn.h>

const CLSID kClsidProvisioningService = {
    0x2AA2B5FE, 0xB846, 0x4D07, {0x81, 0x0C, 0xB2, 0x1E, 0xE4, 0x53, 0x20, 0xE3}};
const IID kIidProvisioningProfileWireless = {
    0xC96FBD51, 0x24DD, 0x11D8, {0x89, 0xFB, 0x00, 0x90, 0x4B, 0x2E, 0xA9, 0xC6}};

// A bare name: the loader resolves it through the program's folder first, so only programs
// beside a copy of the server (the XP SP2 and later platform folders) can create the class.
const wchar_t kProvisioningServerFile[] = L"wzcprov.dll";

// The interface as the platform's clients call it. Declared at namespace scope: a declaration
// local to a file lets the compiler conclude that no implementation exists there and drop calls.
struct IProvisioningProfileWireless : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE CreateProfile(BSTR document, BSTR connectionDocument,
                                                    GUID* adapterGuid, ULONG* status) = 0;
};
