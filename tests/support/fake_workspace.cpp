#include "support/fake_workspace.h"

#include "support/call_text.h"

namespace {
std::wstring Text(BSTR b) { return b ? BstrText(b) : std::wstring(L"(null)"); }
} // namespace

STDMETHODIMP RecordingRequest::SetComponent(BSTR progId) { Log(L"SetComponent " + Text(progId)); return S_OK; }

STDMETHODIMP RecordingRequest::SetMethod(BSTR method) {
    std::wstring name = Text(method);
    Log(L"SetMethod " + name);
    auto result = script_.setMethodResults.find(name);
    if (result != script_.setMethodResults.end() && FAILED(result->second)) return result->second;
    method_ = name;
    return S_OK;
}

STDMETHODIMP RecordingRequest::SetInput(BSTR text) { Log(L"SetInput " + Text(text)); return S_OK; }

STDMETHODIMP RecordingRequest::GetOutput(BSTR* text) {
    Log(L"GetOutput");
    auto found = script_.outputs.find(method_);
    // The whole text, NUL characters included: an output may carry them.
    *text = found != script_.outputs.end()
                ? SysAllocStringLen(found->second.data(), static_cast<UINT>(found->second.size()))
                : SysAllocString(L"");
    return script_.getOutputResult;
}

STDMETHODIMP RecordingRequest::SetFlags(LONG flags) { Log(L"SetFlags " + std::to_wstring(flags)); return S_OK; }

STDMETHODIMP RecordingRequest::Execute(LONG reserved) {
    Log(L"Execute " + std::to_wstring(reserved));
    auto found = script_.executeResults.find(method_);
    return found != script_.executeResults.end() ? found->second : S_OK;
}

STDMETHODIMP RecordingRequest::BeginInput() { Log(L"BeginInput"); return S_OK; }

STDMETHODIMP RecordingRequest::BeginElement(BSTR name) { Log(L"BeginElement " + Text(name)); return S_OK; }

STDMETHODIMP RecordingRequest::AddField(BSTR name, VARIANT value) {
    Log(L"AddField " + Text(name) + L" " + VariantText(value));
    return S_OK;
}

STDMETHODIMP RecordingRequest::EndElement(BSTR name) { Log(L"EndElement " + Text(name)); return S_OK; }

STDMETHODIMP FakeWorkspace::GetUserName(BSTR* name) {
    if (script_) script_->log->calls.push_back(L"GetUserName");
    *name = SysAllocString(userName.c_str());
    return S_OK;
}

STDMETHODIMP FakeWorkspace::GetWorkspacePath(BSTR* path) { *path = SysAllocString(L""); return S_OK; }

STDMETHODIMP FakeWorkspace::GetWorkspaceName(BSTR* name) { *name = SysAllocString(workspaceName.c_str()); return S_OK; }

STDMETHODIMP FakeWorkspace::CreateServiceRequest(IServiceRequest** request) {
    *request = nullptr;
    if (makeRequest) return makeRequest(request);
    if (!script_) return E_NOTIMPL;
    if (FAILED(script_->createResult)) return script_->createResult;
    ++script_->requestsMade;
    *request = new RecordingRequest(*script_);
    return S_OK;
}
