#pragma once
// The host's workspace as a scripted fake. Its service requests answer by the framework
// method set, fail as the script says, and log every call as a line of text, in order,
// so that tests compare whole call sequences with a table.
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>
#include "comidentifiers.h"
#include "support/fake_com.h"

struct RequestLog {
    std::vector<std::wstring> calls;  // shared by every request a workspace made
};

// What the requests of a FakeWorkspace do; read when they are called, keyed by method.
struct RequestScript {
    std::shared_ptr<RequestLog> log = std::make_shared<RequestLog>();
    std::map<std::wstring, HRESULT> executeResults;
    std::map<std::wstring, HRESULT> setMethodResults;  // by the method being set
    std::map<std::wstring, std::wstring> outputs;       // what GetOutput hands out
    HRESULT getOutputResult = S_OK;
    HRESULT createResult = S_OK;
    int requestsMade = 0;
};

class RecordingRequest final : public testcom::FakeComObject<IServiceRequest> {
public:
    explicit RecordingRequest(const RequestScript& script) : script_(script), log_(script.log) {}
    ~RecordingRequest() override { Log(L"(released)"); }

    STDMETHODIMP SetComponent(BSTR progId) override;
    STDMETHODIMP SetMethod(BSTR method) override;
    STDMETHODIMP SetInput(BSTR text) override;
    STDMETHODIMP GetOutput(BSTR* text) override;
    STDMETHODIMP SetFlags(LONG flags) override;
    STDMETHODIMP Execute(LONG reserved) override;
    STDMETHODIMP BeginInput() override;
    STDMETHODIMP BeginElement(BSTR name) override;
    STDMETHODIMP AddField(BSTR name, VARIANT value) override;
    STDMETHODIMP EndElement(BSTR name) override;

private:
    void Log(const std::wstring& line) { log_->calls.push_back(line); }
    const RequestScript& script_;
    std::shared_ptr<RequestLog> log_;
    std::wstring method_;
};

class FakeWorkspace final : public testcom::FakeComObject<IDispatch, IWorkspace> {
public:
    TESTCOM_NO_DISPATCH
    std::wstring userName = L"tester";
    std::wstring workspaceName = L"Test Workspace";

    // Requests follow the script and log into its log, as do the workspace's own calls;
    // without a script no request can be made (E_NOTIMPL).
    void UseScript(RequestScript& script) { script_ = &script; }
    // When set, makes the requests instead.
    std::function<HRESULT(IServiceRequest** request)> makeRequest;

    STDMETHODIMP GetUserName(BSTR* name) override;
    STDMETHODIMP GetWorkspacePath(BSTR* path) override;
    STDMETHODIMP GetWorkspaceName(BSTR* name) override;
    STDMETHODIMP CreateServiceRequest(IServiceRequest** request) override;

private:
    RequestScript* script_ = nullptr;
};
