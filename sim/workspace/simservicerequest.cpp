#include "simservicerequest.h"

#include "simerror.h"
#include "simframework.h"
#include "winkit/bstr_text.h"
#include "winkit/com_ptr.h"

namespace sim {

const QITAB SimServiceRequest::kInterfaces[] = {
    SIM_QITABENT(SimServiceRequest, IServiceRequest),
    SIM_QITABENT(SimServiceRequest, ISupportErrorInfo),
    {},
};

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
    return Traced(L"SimServiceRequest::SetComponent", 1, [&](QRComException&) {
        component_ = winkit::BstrText(progId);
    });
}

STDMETHODIMP SimServiceRequest::SetMethod(BSTR method) {
    return Traced(L"SimServiceRequest::SetMethod", 1, [&](QRComException&) {
        // A second method on the same request takes its own text input; the record stays,
        // because SetTaskAssignments belongs to the task of the record before it.
        method_ = winkit::BstrText(method);
        text_.clear();
        output_.clear();
    });
}

STDMETHODIMP SimServiceRequest::SetInput(BSTR text) {
    return Traced(L"SimServiceRequest::SetInput", 1, [&](QRComException&) { text_ = winkit::BstrText(text); });
}

STDMETHODIMP SimServiceRequest::GetOutput(BSTR* text) {
    return TracedText(L"SimServiceRequest::GetOutput", text, [&] { return std::wstring_view(output_); });
}

STDMETHODIMP SimServiceRequest::SetFlags(LONG flags) {
    // Carried, with no meaning for the simulated framework.
    return Traced(L"SimServiceRequest::SetFlags", 1, [&](QRComException&) { flags_ = flags; });
}

STDMETHODIMP SimServiceRequest::Execute(LONG) {
    return Traced(L"SimServiceRequest::Execute", 1, [&](QRComException&) {
        output_.clear();
        if (CompareStringOrdinal(component_.c_str(), -1, kFrameworkProgId, -1, TRUE) != CSTR_EQUAL)
            Fail(REGDB_E_CLASSNOTREG, L"The component '%ls' is not available here; the framework component is %ls",
                 component_.c_str(), kFrameworkProgId);
        if (method_.empty()) Fail(E_INVALIDARG, L"No method was set on the request");
        input_.CheckUsable();
        output_ = SimFramework(*store_).Execute(method_, text_, input_);
    });
}

STDMETHODIMP SimServiceRequest::BeginInput() {
    return Traced(L"SimServiceRequest::BeginInput", 1, [&](QRComException&) { input_.BeginInput(); });
}

STDMETHODIMP SimServiceRequest::BeginElement(BSTR name) {
    return Traced(L"SimServiceRequest::BeginElement", 1, [&](QRComException&) {
        input_.BeginElement(winkit::BstrView(name));
    });
}

STDMETHODIMP SimServiceRequest::AddField(BSTR name, VARIANT value) {
    return Traced(L"SimServiceRequest::AddField", 1, [&](QRComException&) {
        input_.AddField(winkit::BstrView(name), value);
    });
}

STDMETHODIMP SimServiceRequest::EndElement(BSTR name) {
    return Traced(L"SimServiceRequest::EndElement", 1, [&](QRComException&) {
        input_.EndElement(winkit::BstrView(name));
    });
}

} // namespace sim
