#pragma once
// The host's workspace as a scripted fake that logs every call of its requests in order.
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>
#include "comidentifiers.h"
#include "support/call_text.h"
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
    // When set, answers Execute in place of the tables: the method, the input if one was
    // set, and the output to hand out.
    std::function<HRESULT(const std::wstring&, const std::optional<std::wstring>&, std::wstring&)> execute;
};

// A call that is only logged: its name, then its text argument ("(null)" for none).
#define FAKE_LOGGED_TEXT_CALL(name) \
    STDMETHODIMP name(BSTR text) override { return Log(L"" #name L" " + Text(text)); }

class RecordingRequest final : public testcom::FakeComObject<IServiceRequest> {
public:
    explicit RecordingRequest(const RequestScript& script) : script_(script), log_(script.log) {}
    ~RecordingRequest() override { Log(L"(released)"); }

    FAKE_LOGGED_TEXT_CALL(SetComponent)
    FAKE_LOGGED_TEXT_CALL(BeginElement)
    FAKE_LOGGED_TEXT_CALL(EndElement)
    STDMETHODIMP SetInput(BSTR text) override {
        input_ = BstrText(text);
        return Log(L"SetInput " + Text(text));
    }
    STDMETHODIMP BeginInput() override { return Log(L"BeginInput"); }
    STDMETHODIMP SetFlags(LONG flags) override { return Log(L"SetFlags " + std::to_wstring(flags)); }
    STDMETHODIMP AddField(BSTR name, VARIANT value) override {
        return Log(L"AddField " + Text(name) + L" " + VariantText(value));
    }
    STDMETHODIMP SetMethod(BSTR method) override {
        std::wstring name = Text(method);
        Log(L"SetMethod " + name);
        auto result = script_.setMethodResults.find(name);
        if (result != script_.setMethodResults.end() && FAILED(result->second)) return result->second;
        method_ = name;
        return S_OK;
    }
    STDMETHODIMP Execute(LONG reserved) override {
        Log(L"Execute " + std::to_wstring(reserved));
        if (script_.execute) return script_.execute(method_, input_, output_);
        auto found = script_.executeResults.find(method_);
        return found != script_.executeResults.end() ? found->second : S_OK;
    }
    STDMETHODIMP GetOutput(BSTR* text) override {
        Log(L"GetOutput");
        auto found = script_.outputs.find(method_);
        // The whole text, NUL characters included (an output may carry them), copied once:
        // the bench hands out 10,000 tasks this way.
        static const std::wstring none;
        const std::wstring& output = script_.execute ? output_ : found != script_.outputs.end() ? found->second : none;
        *text = SysAllocStringLen(output.data(), static_cast<UINT>(output.size()));
        return script_.getOutputResult;
    }

private:
    static std::wstring Text(BSTR text) { return text ? BstrText(text) : L"(null)"; }
    HRESULT Log(const std::wstring& line) {
        log_->calls.push_back(line);
        return S_OK;
    }
    const RequestScript& script_;
    std::shared_ptr<RequestLog> log_;
    std::wstring method_, output_;
    std::optional<std::wstring> input_;
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

    STDMETHODIMP GetUserName(BSTR* name) override {
        if (script_) script_->log->calls.push_back(L"GetUserName");
        *name = SysAllocString(userName.c_str());
        return S_OK;
    }
    STDMETHODIMP GetWorkspacePath(BSTR* path) override { *path = SysAllocString(L""); return S_OK; }
    STDMETHODIMP GetWorkspaceName(BSTR* name) override { *name = SysAllocString(workspaceName.c_str()); return S_OK; }
    STDMETHODIMP CreateServiceRequest(IServiceRequest** request) override {
        *request = nullptr;
        if (makeRequest) return makeRequest(request);
        if (!script_) return E_NOTIMPL;
        if (FAILED(script_->createResult)) return script_->createResult;
        ++script_->requestsMade;
        *request = new RecordingRequest(*script_);
        return S_OK;
    }

private:
    RequestScript* script_ = nullptr;
};
