#include "simservicerequest.h"

#include "simerror.h"
#include "simframework.h"
#include "winkit/com_ptr.h"
#include "winkit/unique_bstr.h"

namespace sim {

const QITAB SimServiceRequest::kInterfaces[] = {
    SIM_QITABENT(SimServiceRequest, IServiceRequest),
    SIM_QITABENT(SimServiceRequest, ISupportErrorInfo),
    {},
};

namespace {

std::wstring Text(BSTR text) { return std::wstring(text ? text : L"", SysStringLen(text)); }

} // namespace

HRESULT SimServiceRequest::Create(std::shared_ptr<WorkspaceStore> store, IServiceRequest** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    winkit::ComPtr<IServiceRequest> made;
    HRESULT hr = winkit::CreateComInstance<SimServiceRequest>(nullptr, __uuidof(IServiceRequest), made.put_void());
    if (FAILED(hr)) return hr;
    static_cast<SimServiceRequest*>(made.get())->store_ = std::move(store);
    *out = made.release();
    return S_OK;
}

STDMETHODIMP SimServiceRequest::SetComponent(BSTR progId) {
    QRComException xhr;
    xhr.Enter(L"SimServiceRequest::SetComponent", 1);
    try {
        component_ = Text(progId);
    }
    QR_CATCH_COM(xhr)
    return xhr.Result();
}

STDMETHODIMP SimServiceRequest::SetMethod(BSTR method) {
    QRComException xhr;
    xhr.Enter(L"SimServiceRequest::SetMethod", 1);
    try {
        // A second method on the same request takes its own text input; the record stays,
        // because SetTaskAssignments belongs to the task of the record before it.
        method_ = Text(method);
        text_.clear();
        output_.clear();
    }
    QR_CATCH_COM(xhr)
    return xhr.Result();
}

STDMETHODIMP SimServiceRequest::SetInput(BSTR text) {
    QRComException xhr;
    xhr.Enter(L"SimServiceRequest::SetInput", 1);
    try {
        text_ = Text(text);
    }
    QR_CATCH_COM(xhr)
    return xhr.Result();
}

STDMETHODIMP SimServiceRequest::GetOutput(BSTR* text) {
    QRComException xhr;
    xhr.Enter(L"SimServiceRequest::GetOutput", 1);
    try {
        xhr.CheckPointer(text);
        *text = nullptr;
        *text = winkit::UniqueBstr::Copy(output_).release();
    }
    QR_CATCH_COM(xhr)
    return xhr.Result();
}

STDMETHODIMP SimServiceRequest::SetFlags(LONG flags) {
    QRComException xhr;
    xhr.Enter(L"SimServiceRequest::SetFlags", 1);
    try {
        flags_ = flags;  // carried, with no meaning for the simulated framework
    }
    QR_CATCH_COM(xhr)
    return xhr.Result();
}

STDMETHODIMP SimServiceRequest::Execute(LONG) {
    QRComException xhr;
    xhr.Enter(L"SimServiceRequest::Execute", 1);
    try {
        output_.clear();
        if (CompareStringOrdinal(component_.c_str(), -1, kFrameworkProgId, -1, TRUE) != CSTR_EQUAL)
            Fail(REGDB_E_CLASSNOTREG, L"The component '%ls' is not available here; the framework component is %ls",
                 component_.c_str(), kFrameworkProgId);
        if (method_.empty()) Fail(E_INVALIDARG, L"No method was set on the request");
        input_.CheckUsable();
        SimFramework framework(*store_);
        output_ = framework.Execute(method_, text_, input_);
    }
    QR_CATCH_COM(xhr)
    return xhr.Result();
}

STDMETHODIMP SimServiceRequest::BeginInput() {
    QRComException xhr;
    xhr.Enter(L"SimServiceRequest::BeginInput", 1);
    try {
        input_.BeginInput();
    }
    QR_CATCH_COM(xhr)
    return xhr.Result();
}

STDMETHODIMP SimServiceRequest::BeginElement(BSTR name) {
    QRComException xhr;
    xhr.Enter(L"SimServiceRequest::BeginElement", 1);
    try {
        input_.BeginElement(Text(name));
    }
    QR_CATCH_COM(xhr)
    return xhr.Result();
}

STDMETHODIMP SimServiceRequest::AddField(BSTR name, VARIANT value) {
    QRComException xhr;
    xhr.Enter(L"SimServiceRequest::AddField", 1);
    try {
        input_.AddField(Text(name), value);
    }
    QR_CATCH_COM(xhr)
    return xhr.Result();
}

STDMETHODIMP SimServiceRequest::EndElement(BSTR name) {
    QRComException xhr;
    xhr.Enter(L"SimServiceRequest::EndElement", 1);
    try {
        input_.EndElement(Text(name));
    }
    QR_CATCH_COM(xhr)
    return xhr.Result();
}

} // namespace sim
