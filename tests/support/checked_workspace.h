#pragma once
// A workspace that hands every call on to another workspace (the simulated host's) and
// keeps, for each request executed, its method, its result and the error it left, so
// that a test can insist that the framework refused nothing. The workspace behind it
// can be replaced, which lets one dialog work on a fresh workspace copy at a time.
#include <string>
#include <vector>
#include "comidentifiers.h"
#include "winkit/com_ptr.h"

struct ExecutedRequest {
    std::wstring method;
    HRESULT result = S_OK;
    std::wstring error;  // the description of the error information left on failure
};

class CheckedWorkspace final : public IDispatch, public IWorkspace {
public:
    CheckedWorkspace() = default;
    CheckedWorkspace(const CheckedWorkspace&) = delete;
    CheckedWorkspace& operator=(const CheckedWorkspace&) = delete;

    // The workspace the calls go to from now on (a counted reference is kept).
    void SetTarget(IWorkspace* target);
    std::vector<ExecutedRequest> executed;
    // The executed requests whose result was a failure.
    std::vector<ExecutedRequest> Failures() const;
    ULONG refs = 1;  // owned by the test

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
    STDMETHODIMP_(ULONG) Release() override { return --refs; }
    STDMETHODIMP GetTypeInfoCount(UINT* n) override { *n = 0; return S_OK; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override { return E_NOTIMPL; }

    STDMETHODIMP GetUserName(BSTR* name) override;
    STDMETHODIMP GetWorkspacePath(BSTR* path) override;
    STDMETHODIMP GetWorkspaceName(BSTR* name) override;
    STDMETHODIMP CreateServiceRequest(IServiceRequest** request) override;

private:
    winkit::ComPtr<IWorkspace> target_;
};
