#include "automationobject.h"

#include <atomic>
#include "winkit/bstr_text.h"

namespace {

struct MemberName {
    const wchar_t* name;
    DISPID id;
};

const MemberName kMemberNames[] = {
    {L"Visible", kMemberVisible},   {L"UserControl", kMemberUserControl},
    {L"Workbooks", kMemberWorkbooks}, {L"Add", kMemberAdd},
    {L"Sheets", kMemberSheets},     {L"Item", kMemberItem},
    {L"Range", kMemberRange},       {L"Value", kMemberValue},
    {L"ColumnWidth", kMemberColumnWidth}, {L"Resize", kMemberResize},
    {L"Font", kMemberFont},         {L"Bold", kMemberBold},
};

std::atomic<DWORD> lastCallTick{GetTickCount()};

bool IsOmitted(const VARIANT* v) {
    return V_VT(v) == VT_ERROR && V_ERROR(v) == DISP_E_PARAMNOTFOUND;
}

HRESULT Converted(const VARIANT* v, VARTYPE type, winkit::UniqueVariant& out) {
    if (!v || IsOmitted(v)) return DISP_E_PARAMNOTFOUND;
    if (V_VT(v) & VT_ARRAY || V_VT(v) == VT_DISPATCH || V_VT(v) == VT_UNKNOWN || V_VT(v) == VT_ERROR)
        return DISP_E_TYPEMISMATCH;
    HRESULT hr = VariantChangeType(out.get(), const_cast<VARIANT*>(v), 0, type);
    return FAILED(hr) ? DISP_E_TYPEMISMATCH : S_OK;
}

} // namespace

const QITAB AutomationObject::kInterfaces[] = {
    QITABENT(AutomationObject, IDispatch),
    {},
};

const VARIANT* DispatchArguments::Followed(const VARIANT* v) {
    if (!(V_VT(v) & VT_BYREF)) return v;
    if (V_VT(v) == (VT_BYREF | VT_VARIANT)) return V_VARIANTREF(v) ? Followed(V_VARIANTREF(v)) : v;
    winkit::UniqueVariant copy;
    if (FAILED(VariantCopyInd(copy.get(), const_cast<VARIANT*>(v)))) return v;
    copies_.push_back(std::move(copy));
    return copies_.back().get();
}

HRESULT DispatchArguments::Read(WORD kind, const DISPPARAMS* parameters) {
    positional_.clear();
    putValue_ = nullptr;
    copies_.clear();
    if (!parameters) return S_OK;
    if (parameters->cArgs < parameters->cNamedArgs || (parameters->cArgs && !parameters->rgvarg)) return E_INVALIDARG;
    copies_.reserve(parameters->cArgs);
    UINT named = parameters->cNamedArgs;
    if (named) {
        if (named != 1 || !(kind & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) || !parameters->rgdispidNamedArgs ||
            parameters->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT)
            return DISP_E_NONAMEDARGS;
        putValue_ = Followed(&parameters->rgvarg[0]);
    } else if (kind & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
        // A put without the named value: the value is the last argument.
        if (!parameters->cArgs) return DISP_E_BADPARAMCOUNT;
        putValue_ = Followed(&parameters->rgvarg[0]);
        named = 1;
    }
    // rgvarg holds the positional arguments last first.
    for (UINT i = parameters->cArgs; i > named; --i) positional_.push_back(Followed(&parameters->rgvarg[i - 1]));
    while (!positional_.empty() && IsOmitted(positional_.back())) positional_.pop_back();
    return S_OK;
}

const VARIANT* DispatchArguments::at(size_t i) const {
    if (i >= positional_.size() || IsOmitted(positional_[i])) return nullptr;
    return positional_[i];
}

HRESULT ArgumentLong(const VARIANT* v, LONG* out) {
    winkit::UniqueVariant converted;
    HRESULT hr = Converted(v, VT_I4, converted);
    if (SUCCEEDED(hr)) *out = V_I4(converted.get());
    return hr;
}

HRESULT ArgumentDouble(const VARIANT* v, double* out) {
    winkit::UniqueVariant converted;
    HRESULT hr = Converted(v, VT_R8, converted);
    if (SUCCEEDED(hr)) *out = V_R8(converted.get());
    return hr;
}

HRESULT ArgumentBool(const VARIANT* v, bool* out) {
    winkit::UniqueVariant converted;
    HRESULT hr = Converted(v, VT_BOOL, converted);
    if (SUCCEEDED(hr)) *out = V_BOOL(converted.get()) != VARIANT_FALSE;
    return hr;
}

HRESULT ArgumentText(const VARIANT* v, std::wstring* out) {
    if (!v || IsOmitted(v)) return DISP_E_PARAMNOTFOUND;
    if (V_VT(v) != VT_BSTR) return DISP_E_TYPEMISMATCH;
    *out = winkit::BstrText(V_BSTR(v));
    return S_OK;
}

STDMETHODIMP AutomationObject::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

STDMETHODIMP AutomationObject::GetTypeInfo(UINT, LCID, ITypeInfo** out) {
    if (out) *out = nullptr;
    return DISP_E_BADINDEX;
}

STDMETHODIMP AutomationObject::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
    if (!names || !ids) return E_POINTER;
    if (count == 0) return E_INVALIDARG;
    lastCallTick = GetTickCount();
    for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
    // The members have no named parameters: only a lone member name is known.
    if (!names[0]) return DISP_E_UNKNOWNNAME;
    for (const MemberName& member : kMemberNames) {
        if (CompareStringOrdinal(names[0], -1, member.name, -1, TRUE) == CSTR_EQUAL && HasMember(member.id)) {
            ids[0] = member.id;
            return count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
        }
    }
    return DISP_E_UNKNOWNNAME;
}

STDMETHODIMP AutomationObject::Invoke(DISPID id, REFIID iid, LCID, WORD kind, DISPPARAMS* parameters, VARIANT* result,
                                      EXCEPINFO*, UINT* argumentError) {
    if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
    lastCallTick = GetTickCount();
    if (argumentError) *argumentError = 0;
    if (!HasMember(id)) return DISP_E_MEMBERNOTFOUND;
    try {
        DispatchArguments arguments;
        HRESULT hr = arguments.Read(kind, parameters);
        if (FAILED(hr)) return hr;
        winkit::UniqueVariant value;
        hr = Call(id, kind, arguments, value);
        if (SUCCEEDED(hr) && result) *result = value.release();
        return hr;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

DWORD AutomationObject::LastCallTick() noexcept { return lastCallTick; }
