#include "streamselection.h"

#include <comdef.h>
#include <ole2.h>
#include "diagnostics/errorinfo.h"
#include "winkit/unique_bstr.h"
#include "winkit/unique_safearray.h"
#include "winkit/unique_variant.h"

namespace {

bool ToLong(const VARIANT& value, LONG& out) {
    winkit::UniqueVariant converted;
    if (FAILED(VariantChangeType(converted.get(), const_cast<VARIANT*>(&value), 0, VT_I4))) return false;
    out = V_I4(converted.get());
    return true;
}

// The size an element of this type must have; 0 for a type the claim does not take.
UINT ElementSize(VARTYPE type) {
    switch (type) {
    case VT_I2: return sizeof(SHORT);
    case VT_I4: return sizeof(LONG);
    case VT_VARIANT: return sizeof(VARIANT);
    default: return 0;
    }
}

bool ReadElement(SAFEARRAY* array, VARTYPE type, LONG index, LONG& out) {
    switch (type) {
    case VT_I2: {
        SHORT value = 0;
        if (FAILED(SafeArrayGetElement(array, &index, &value))) return false;
        out = value;
        return true;
    }
    case VT_I4:
        return SUCCEEDED(SafeArrayGetElement(array, &index, &out));
    default: {
        winkit::UniqueVariant value;
        if (FAILED(SafeArrayGetElement(array, &index, value.put()))) return false;
        return ToLong(*value.get(), out);
    }
    }
}

std::vector<LONG> ArrayIdentifiers(SAFEARRAY* array, VARTYPE type) {
    std::vector<LONG> ids;
    UINT size = ElementSize(type);
    // The VARIANT's type must agree with the array itself, or elements would be read
    // with the wrong size.
    if (!array || size == 0 || SafeArrayGetDim(array) != 1 || SafeArrayGetElemsize(array) != size) return ids;
    LONG lower = 0, upper = -1;
    if (FAILED(SafeArrayGetLBound(array, 1, &lower)) || FAILED(SafeArrayGetUBound(array, 1, &upper))) return ids;
    for (LONG index = lower; index <= upper; ++index) {
        LONG id = 0;
        if (ReadElement(array, type, index, id) && id != 0) ids.push_back(id);
        if (index == upper) break;  // upper may be the largest LONG
    }
    return ids;
}

// The error information a failed Invoke carries, as #import's wrappers raise it.
[[noreturn]] void RaiseInvokeError(HRESULT hr, EXCEPINFO& exception, IUnknown* component, REFIID iid) {
    IErrorInfo* info = nullptr;
    if (hr == DISP_E_EXCEPTION) {
        if (exception.pfnDeferredFillIn) exception.pfnDeferredFillIn(&exception);
        winkit::UniqueBstr source(exception.bstrSource), description(exception.bstrDescription),
            helpFile(exception.bstrHelpFile);
        if (exception.scode) hr = exception.scode;
        else if (exception.wCode) hr = _com_error::WCodeToHRESULT(exception.wCode);
        info = MakeErrorInfo({source.get(), description.get(), iid, helpFile.get(), exception.dwHelpContext}).release();
    } else {
        winkit::ComPtr<ISupportErrorInfo> support;
        if (SUCCEEDED(component->QueryInterface(IID_ISupportErrorInfo, support.put_void())) &&
            support->InterfaceSupportsErrorInfo(iid) == S_OK)
            GetErrorInfo(0, &info);
    }
    throw _com_error(hr, info);  // adopts the reference
}

} // namespace

std::vector<LONG> StreamObjectIdentifiers(const VARIANT& identifiers) {
    VARTYPE vt = V_VT(&identifiers);
    if (vt & VT_ARRAY) {
        SAFEARRAY* array = (vt & VT_BYREF) ? (V_ARRAYREF(&identifiers) ? *V_ARRAYREF(&identifiers) : nullptr)
                                           : V_ARRAY(&identifiers);
        return ArrayIdentifiers(array, vt & VT_TYPEMASK);
    }
    LONG id = 0;
    if (ToLong(identifiers, id) && id != 0) return {id};
    return {};
}

HRESULT StreamSelection::Connect() {
    winkit::ComPtr<IUnknown> component;
    HRESULT hr = CoCreateInstance(CLSID_QRCSelectKBDlg, nullptr, CLSCTX_ALL, IID_IUnknown, component.put_void());
    if (FAILED(hr)) return hr;
    if (FAILED(hr = OleRun(component.get()))) return hr;
    return component->QueryInterface(DIID_DQRCSelectKBDlg, dispatch_.put_void());
}

void StreamSelection::ClaimStream(LONG objectId, IDispatch* workspace) {
    // Arguments go right to left.
    winkit::UniqueVariant args[5];
    args[4] = winkit::UniqueVariant::String(L"ClaimStream");
    args[3] = winkit::UniqueVariant::Long(objectId);
    if (workspace) workspace->AddRef();
    args[2] = winkit::UniqueVariant::Dispatch(workspace);
    args[1] = winkit::UniqueVariant::Long(0);
    V_VT(args[0].get()) = VT_I2;
    V_I2(args[0].get()) = 0;
    VARIANTARG raw[5];
    for (int i = 0; i < 5; ++i) raw[i] = *args[i].get();
    DISPPARAMS params = {raw, nullptr, 5, 0};

    winkit::UniqueVariant result;
    EXCEPINFO exception = {};
    UINT argumentError = 0;
    SetErrorInfo(0, nullptr);  // only what RunCommand leaves may be reported
    if (runCommand_ == DISPID_UNKNOWN) {
        LPOLESTR name = const_cast<LPOLESTR>(L"RunCommand");
        DISPID id = DISPID_UNKNOWN;
        HRESULT hr = dispatch_->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id);
        if (FAILED(hr)) RaiseInvokeError(hr, exception, dispatch_.get(), DIID_DQRCSelectKBDlg);
        runCommand_ = id;
    }
    HRESULT hr = dispatch_->Invoke(runCommand_, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, result.put(),
                                   &exception, &argumentError);
    if (FAILED(hr)) RaiseInvokeError(hr, exception, dispatch_.get(), DIID_DQRCSelectKBDlg);
}
