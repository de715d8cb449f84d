#pragma once
// A client services object registered for the test process in place of the library's
// class: it records Initialize and SynchronizeClaims and answers as told.
#include <string>
#include <vector>
#include "comidentifiers.h"

class FakeClientServices final : public IQRCIGEFClientServices {
public:
    HRESULT initializeResult = S_OK;
    HRESULT synchronizeResult = S_OK;
    std::wstring errorMessage;             // what SynchronizeClaims hands back
    std::vector<std::wstring>* calls = nullptr;  // "Initialize", "SynchronizeClaims <xml>"

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IQRCIGEFClientServices) {
            *out = static_cast<IQRCIGEFClientServices*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
    STDMETHODIMP_(ULONG) Release() override { return --refs; }
    ULONG refs = 1;

    STDMETHODIMP GetTypeInfoCount(UINT* n) override { *n = 0; return S_OK; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override { return E_NOTIMPL; }

    STDMETHODIMP ConnectToEF() override { return E_NOTIMPL; }
    STDMETHODIMP Publish(BSTR) override { return E_NOTIMPL; }
    STDMETHODIMP get_ConnectionStatus(LONG*) override { return E_NOTIMPL; }
    STDMETHODIMP GetEFData(BSTR*, BSTR*, BSTR*) override { return E_NOTIMPL; }
    STDMETHODIMP SetEFData(BSTR, BSTR, BSTR) override { return E_NOTIMPL; }
    STDMETHODIMP GetPlantData(BSTR*, BSTR*, BSTR*) override { return E_NOTIMPL; }
    STDMETHODIMP SetPlantData(BSTR, BSTR, BSTR) override { return E_NOTIMPL; }
    STDMETHODIMP get_XMLFileName(BSTR*) override { return E_NOTIMPL; }
    STDMETHODIMP put_XMLFileName(BSTR) override { return E_NOTIMPL; }
    STDMETHODIMP Retrieve() override { return E_NOTIMPL; }
    STDMETHODIMP FindDocsToPublish() override { return E_NOTIMPL; }
    STDMETHODIMP LaunchFrameworkBrowser() override { return E_NOTIMPL; }
    STDMETHODIMP Initialize(IDispatch* workspace) override {
        if (calls) calls->push_back(workspace ? L"Initialize" : L"Initialize (null)");
        return initializeResult;
    }
    STDMETHODIMP Register(IDispatch*) override { return E_NOTIMPL; }
    STDMETHODIMP UnInitialize() override { return E_NOTIMPL; }
    STDMETHODIMP GetProjectList(SAFEARRAY**) override { return E_NOTIMPL; }
    STDMETHODIMP ClaimStream(IDispatch*, VARIANT) override { return E_NOTIMPL; }
    STDMETHODIMP SynchronizeClaims(BSTR claims, BSTR* message) override {
        if (calls) calls->push_back(L"SynchronizeClaims " + std::wstring(claims ? claims : L""));
        *message = SysAllocString(errorMessage.c_str());
        return synchronizeResult;
    }
    STDMETHODIMP PublishProjectAsBuilt(BSTR) override { return E_NOTIMPL; }
    STDMETHODIMP ClaimObject(BSTR) override { return E_NOTIMPL; }
    STDMETHODIMP Revise(BSTR) override { return E_NOTIMPL; }
    STDMETHODIMP SupportsFeature(BSTR, VARIANT_BOOL*) override { return E_NOTIMPL; }
};

// Registers a class object for CLSID_QRCIGEFClientServices in this process for the
// holder's life; its CreateInstance hands out `services` or fails with `createResult`.
class ClientServicesRegistration final : public IClassFactory {
public:
    explicit ClientServicesRegistration(FakeClientServices& services) : services_(services) {
        CoRegisterClassObject(CLSID_QRCIGEFClientServices, this, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie_);
    }
    ~ClientServicesRegistration() { CoRevokeClassObject(cookie_); }
    HRESULT createResult = S_OK;

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *out = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP CreateInstance(IUnknown*, REFIID iid, void** out) override {
        *out = nullptr;
        if (FAILED(createResult)) return createResult;
        return services_.QueryInterface(iid, out);
    }
    STDMETHODIMP LockServer(BOOL) override { return S_OK; }

private:
    FakeClientServices& services_;
    DWORD cookie_ = 0;
};
