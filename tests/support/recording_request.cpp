#include "support/recording_request.h"

#include <cwchar>

namespace {
std::wstring Text(BSTR b) { return b ? std::wstring(b, SysStringLen(b)) : std::wstring(L"(null)"); }
} // namespace

STDMETHODIMP RecordingRequest::QueryInterface(REFIID iid, void** out) {
    if (iid == IID_IUnknown || iid == IID_IServiceRequest) {
        *out = static_cast<IServiceRequest*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) RecordingRequest::Release() {
    ULONG n = --refs_;
    if (n == 0) {
        Log(L"(released)");
        delete this;
    }
    return n;
}

STDMETHODIMP RecordingRequest::SetComponent(BSTR progId) { Log(L"SetComponent " + Text(progId)); return S_OK; }

STDMETHODIMP RecordingRequest::SetMethod(BSTR method) {
    std::wstring name = Text(method);
    Log(L"SetMethod " + name);
    auto result = setMethodResults.find(name);
    if (result != setMethodResults.end() && FAILED(result->second)) return result->second;
    method_ = name;
    return S_OK;
}

STDMETHODIMP RecordingRequest::SetInput(BSTR text) { Log(L"SetInput " + Text(text)); return S_OK; }

STDMETHODIMP RecordingRequest::GetOutput(BSTR* text) {
    Log(L"GetOutput");
    auto found = outputs.find(method_);
    // The whole text, NUL characters included: an output may carry them.
    *text = found != outputs.end() ? SysAllocStringLen(found->second.data(), static_cast<UINT>(found->second.size()))
                                   : SysAllocString(L"");
    return getOutputResult;
}

STDMETHODIMP RecordingRequest::SetFlags(LONG flags) { Log(L"SetFlags " + std::to_wstring(flags)); return S_OK; }

STDMETHODIMP RecordingRequest::Execute(LONG reserved) {
    Log(L"Execute " + std::to_wstring(reserved));
    auto found = executeResults.find(method_);
    return found != executeResults.end() ? found->second : S_OK;
}

STDMETHODIMP RecordingRequest::BeginInput() { Log(L"BeginInput"); return S_OK; }

STDMETHODIMP RecordingRequest::BeginElement(BSTR name) { Log(L"BeginElement " + Text(name)); return S_OK; }

STDMETHODIMP RecordingRequest::AddField(BSTR name, VARIANT value) {
    Log(L"AddField " + Text(name) + L" " + Describe(value));
    return S_OK;
}

STDMETHODIMP RecordingRequest::EndElement(BSTR name) { Log(L"EndElement " + Text(name)); return S_OK; }

std::wstring RecordingRequest::Describe(const VARIANT& value) {
    wchar_t text[64];
    switch (V_VT(&value)) {
    case VT_I4: return L"I4 " + std::to_wstring(V_I4(&value));
    case VT_BSTR: return L"BSTR " + Text(V_BSTR(&value));
    case VT_R8:
        swprintf(text, 64, L"R8 %.6f", V_R8(&value));
        return text;
    default: return L"VT " + std::to_wstring(V_VT(&value));
    }
}
