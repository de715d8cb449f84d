#include "frameworkgateway.h"

#include "winkit/unique_variant.h"

namespace {

// The host's interfaces take BSTRs; a temporary one lives for the call.
winkit::UniqueBstr Text(std::wstring_view text) { return winkit::UniqueBstr::Copy(text); }

} // namespace

HRESULT FrameworkRequest::Open(IWorkspace* workspace, const wchar_t* method, FrameworkRequest& out) {
    out.request_.reset();
    out.recordResult_ = S_OK;
    if (!workspace) return E_POINTER;
    winkit::ComPtr<IServiceRequest> request;
    HRESULT hr = workspace->CreateServiceRequest(request.put());
    if (FAILED(hr)) return hr;
    if (!request) return E_POINTER;
    request->SetFlags(0);
    request->SetComponent(Text(kFrameworkComponentProgId).get());
    request->SetMethod(Text(method).get());
    out.request_ = std::move(request);
    return S_OK;
}

void FrameworkRequest::SetInput(std::wstring_view text) { request_->SetInput(Text(text).get()); }

HRESULT FrameworkRequest::SetMethod(const wchar_t* method) { return request_->SetMethod(Text(method).get()); }

void FrameworkRequest::BeginInput() { KeepRecordResult(request_->BeginInput()); }

void FrameworkRequest::BeginRecord() { KeepRecordResult(request_->BeginElement(Text(kTaskItemElement).get())); }

void FrameworkRequest::AddField(const wchar_t* name, const VARIANT& value) {
    KeepRecordResult(request_->AddField(Text(name).get(), value));
}

void FrameworkRequest::AddLong(const wchar_t* name, LONG value) {
    AddField(name, *winkit::UniqueVariant::Long(value).get());
}

void FrameworkRequest::AddText(const wchar_t* name, std::wstring_view text) {
    AddField(name, *winkit::UniqueVariant::String(text).get());
}

void FrameworkRequest::AddDate(const wchar_t* name, double automationDate) {
    AddField(name, *winkit::UniqueVariant::Double(automationDate).get());
}

void FrameworkRequest::EndRecord() { KeepRecordResult(request_->EndElement(Text(kTaskItemElement).get())); }

HRESULT FrameworkRequest::Execute() {
    if (FAILED(recordResult_)) return recordResult_;
    return request_->Execute(0);
}

HRESULT FrameworkRequest::GetOutput(winkit::UniqueBstr& output) { return request_->GetOutput(output.put()); }

HRESULT FrameworkTextCall(IWorkspace* workspace, const wchar_t* method, std::wstring_view input,
                          winkit::UniqueBstr& output) {
    FrameworkRequest request;
    HRESULT hr = FrameworkRequest::Open(workspace, method, request);
    if (FAILED(hr)) return hr;
    if (!input.empty()) request.SetInput(input);
    if (FAILED(hr = request.Execute())) return hr;
    winkit::UniqueBstr text;
    if (FAILED(hr = request.GetOutput(text))) return hr;
    output = std::move(text);
    return S_OK;
}
