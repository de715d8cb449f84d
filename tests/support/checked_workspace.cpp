#include "support/checked_workspace.h"

namespace {

std::wstring Text(BSTR b) { return b ? std::wstring(b, SysStringLen(b)) : std::wstring(); }

// Forwards every call; Execute is recorded with the method last set.
class CheckedRequest final : public IServiceRequest {
public:
    CheckedRequest(IServiceRequest* target, std::vector<ExecutedRequest>& log) : target_(target), log_(log) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_IServiceRequest) {
            *out = static_cast<IServiceRequest*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
    STDMETHODIMP_(ULONG) Release() override {
        ULONG n = --refs_;
        if (n == 0) delete this;
        return n;
    }
    STDMETHODIMP SetComponent(BSTR progId) override { return target_->SetComponent(progId); }
    STDMETHODIMP SetMethod(BSTR method) override {
        method_ = Text(method);
        return target_->SetMethod(method);
    }
    STDMETHODIMP SetInput(BSTR text) override { return target_->SetInput(text); }
    STDMETHODIMP GetOutput(BSTR* text) override { return target_->GetOutput(text); }
    STDMETHODIMP SetFlags(LONG flags) override { return target_->SetFlags(flags); }
    STDMETHODIMP Execute(LONG reserved) override {
        HRESULT hr = target_->Execute(reserved);
        ExecutedRequest record{method_, hr, {}};
        if (FAILED(hr)) {
            // Read and put back: the caller may want the error information too.
            IErrorInfo* info = nullptr;
            if (GetErrorInfo(0, &info) == S_OK && info) {
                BSTR description = nullptr;
                if (SUCCEEDED(info->GetDescription(&description))) record.error = Text(description);
                SysFreeString(description);
                SetErrorInfo(0, info);
                info->Release();
            }
        }
        log_.push_back(std::move(record));
        return hr;
    }
    STDMETHODIMP BeginInput() override { return target_->BeginInput(); }
    STDMETHODIMP BeginElement(BSTR name) override { return target_->BeginElement(name); }
    STDMETHODIMP AddField(BSTR name, VARIANT value) override { return target_->AddField(name, value); }
    STDMETHODIMP EndElement(BSTR name) override { return target_->EndElement(name); }

private:
    winkit::ComPtr<IServiceRequest> target_;
    std::vector<ExecutedRequest>& log_;
    std::wstring method_;
    ULONG refs_ = 1;
};

} // namespace

void CheckedWorkspace::SetTarget(IWorkspace* target) { target_ = winkit::ComPtr<IWorkspace>(target); }

std::vector<ExecutedRequest> CheckedWorkspace::Failures() const {
    std::vector<ExecutedRequest> failures;
    for (const ExecutedRequest& request : executed)
        if (FAILED(request.result)) failures.push_back(request);
    return failures;
}

STDMETHODIMP CheckedWorkspace::QueryInterface(REFIID iid, void** out) {
    if (iid == IID_IUnknown || iid == IID_IDispatch) *out = static_cast<IDispatch*>(this);
    else if (iid == IID_IWorkspace) *out = static_cast<IWorkspace*>(this);
    else {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

STDMETHODIMP CheckedWorkspace::GetUserName(BSTR* name) {
    if (!target_) return E_UNEXPECTED;
    return target_->GetUserName(name);
}

STDMETHODIMP CheckedWorkspace::GetWorkspacePath(BSTR* path) {
    if (!target_) return E_UNEXPECTED;
    return target_->GetWorkspacePath(path);
}

STDMETHODIMP CheckedWorkspace::GetWorkspaceName(BSTR* name) {
    if (!target_) return E_UNEXPECTED;
    return target_->GetWorkspaceName(name);
}

STDMETHODIMP CheckedWorkspace::CreateServiceRequest(IServiceRequest** request) {
    if (!request) return E_POINTER;
    *request = nullptr;
    if (!target_) return E_UNEXPECTED;
    IServiceRequest* made = nullptr;
    HRESULT hr = target_->CreateServiceRequest(&made);
    if (FAILED(hr)) return hr;
    *request = new CheckedRequest(made, executed);
    made->Release();
    return S_OK;
}
