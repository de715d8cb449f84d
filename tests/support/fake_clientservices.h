#pragma once
// A client services object a test registers in place of the library's class.
#include <string>
#include <vector>
#include "comidentifiers.h"
#include "support/fake_com.h"

class FakeClientServices final : public testcom::FakeComObject<IQRCIGEFClientServices> {
public:
    HRESULT initializeResult = S_OK;
    HRESULT synchronizeResult = S_OK;
    std::wstring errorMessage;                   // what SynchronizeClaims hands back
    std::vector<std::wstring>* calls = nullptr;  // "Initialize", "SynchronizeClaims <xml>"

    TESTCOM_NO_DISPATCH
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

protected:
    void* QueryOther(REFIID iid) override {
        return iid == IID_IDispatch ? static_cast<IQRCIGEFClientServices*>(this) : nullptr;
    }
};
