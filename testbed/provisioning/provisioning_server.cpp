// The emulated wireless provisioning service of XP SP2 and later: an in-process COM server of
// class {2AA2B5FE-B846-4D07-810C-B21EE45320E3} whose interface
// {C96FBD51-24DD-11D8-89FB-00904B2EA9C6} has one method after IUnknown, CreateProfile.
#include <windows.h>
#include <ole2.h>

#include <new>

#include "create_profile.h"
#include "provisioning_class.h"

namespace {

// Live objects and factory locks: the server stays loaded while any is there.
LONG g_serverReferences = 0;

// One service object per CoCreateInstance; it keeps no state (the machine's state lives in
// the registry).
class ProvisioningService : public IProvisioningProfileWireless {
public:
    ProvisioningService() { InterlockedIncrement(&g_serverReferences); }
    virtual ~ProvisioningService() { InterlockedDecrement(&g_serverReferences); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, kIidProvisioningProfileWireless)) {
            *object = NULL;
            return E_NOINTERFACE;
        }
        *object = static_cast<IProvisioningProfileWireless*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        ULONG left = InterlockedDecrement(&references_);
        if (left == 0)
            delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE CreateProfile(BSTR document, BSTR connectionDocument,
                                            GUID* adapterGuid, ULONG* status) override
    {
        return CreateWirelessProfile(document, connectionDocument, adapterGuid, status);
    }

private:
    LONG references_ = 1;
};

class ServiceFactory : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IClassFactory)) {
            *object = NULL;
            return E_NOINTERFACE;
        }
        *object = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    // The factory is static: its references are the server's.
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&g_serverReferences); }
    ULONG STDMETHODCALLTYPE Release() override { return InterlockedDecrement(&g_serverReferences); }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = NULL;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        ProvisioningService* service = new (std::nothrow) ProvisioningService();
        if (!service)
            return E_OUTOFMEMORY;
        HRESULT hr = service->QueryInterface(iid, object);
        service->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override
    {
        if (lock)
            AddRef();
        else
            Release();
        return S_OK;
    }
};

ServiceFactory g_factory;

} // namespace

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* object)
{
    if (!object)
        return E_POINTER;
    *object = NULL;
    if (!IsEqualCLSID(clsid, kClsidProvisioningService))
        return CLASS_E_CLASSNOTAVAILABLE;
    if (!ProgramHasProvisioningServer())
        return REGDB_E_CLASSNOTREG;
    return g_factory.QueryInterface(iid, object);
}

STDAPI DllCanUnloadNow(void)
{
    return g_serverReferences == 0 ? S_OK : S_FALSE;
}
