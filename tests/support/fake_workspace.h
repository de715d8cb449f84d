#pragma once
// A minimal workspace: IDispatch + IWorkspace, counting its references. Requests are
// made by a factory the test supplies.
#include <functional>
#include <string>
#include "comidentifiers.h"
#include "support/recording_request.h"

class FakeWorkspace final : public IDispatch, public IWorkspace {
public:
    std::wstring userName = L"tester";
    std::wstring workspaceName = L"Test Workspace";
    std::function<HRESULT(IServiceRequest**)> makeRequest = [](IServiceRequest** out) {
        *out = nullptr;
        return E_NOTIMPL;
    };
    ULONG refs = 1;  // owned by the test on the stack

    // Makes RecordingRequests that follow the script and log into its log.
    void UseScript(RequestScript& script) {
        log = script.log;
        makeRequest = [&script](IServiceRequest** out) {
            *out = nullptr;
            if (FAILED(script.createResult)) return script.createResult;
            auto* request = new RecordingRequest(script.log);
            request->executeResults = script.executeResults;
            request->setMethodResults = script.setMethodResults;
            request->outputs = script.outputs;
            request->getOutputResult = script.getOutputResult;
            ++script.requestsMade;
            *out = request;
            return S_OK;
        };
    }

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_IDispatch) *out = static_cast<IDispatch*>(this);
        else if (iid == IID_IWorkspace) *out = static_cast<IWorkspace*>(this);
        else { *out = nullptr; return E_NOINTERFACE; }
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
    STDMETHODIMP_(ULONG) Release() override { return --refs; }
    STDMETHODIMP GetTypeInfoCount(UINT* n) override { *n = 0; return S_OK; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override { return E_NOTIMPL; }

    STDMETHODIMP GetUserName(BSTR* name) override {
        if (log) log->calls.push_back(L"GetUserName");
        *name = SysAllocString(userName.c_str());
        return S_OK;
    }
    std::shared_ptr<RequestLog> log;  // when set, the workspace's own calls are logged too
    STDMETHODIMP GetWorkspacePath(BSTR* path) override { *path = SysAllocString(L""); return S_OK; }
    STDMETHODIMP GetWorkspaceName(BSTR* name) override { *name = SysAllocString(workspaceName.c_str()); return S_OK; }
    STDMETHODIMP CreateServiceRequest(IServiceRequest** request) override { return makeRequest(request); }
};
