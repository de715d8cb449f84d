#include "variantconversion.h"

#include "winkit/unique_variant.h"
#include "xmltext.h"

const VARIANT& DereferenceVariant(const VARIANT& value) noexcept {
    if (V_VT(&value) == (VT_BYREF | VT_VARIANT) && V_VARIANTREF(&value)) return *V_VARIANTREF(&value);
    return value;
}

namespace {

bool IsIntegerType(VARTYPE type) noexcept {
    switch (type) {
    case VT_I2: case VT_I4: case VT_I1: case VT_UI1: case VT_UI2: case VT_UI4: case VT_INT: case VT_UINT:
        return true;
    default:
        return false;
    }
}

bool IsStringType(VARTYPE vt) noexcept { return vt == VT_BSTR || vt == (VT_BSTR | VT_BYREF); }

// The text of a VT_BSTR or VT_BSTR|VT_BYREF; null for a null string or reference.
const wchar_t* StringOf(const VARIANT& v) noexcept {
    if (V_VT(&v) == VT_BSTR) return V_BSTR(&v);
    return V_BSTRREF(&v) ? *V_BSTRREF(&v) : nullptr;
}

template <class T>
HRESULT ChangeType(const VARIANT& value, VARTYPE type, T (*take)(const VARIANT&), T* out) {
    // VariantChangeType would read through a null reference.
    if ((V_VT(&value) & VT_BYREF) && !V_BYREF(&value)) return E_POINTER;
    winkit::UniqueVariant converted;
    HRESULT hr = VariantChangeType(converted.get(), const_cast<VARIANT*>(&value), 0, type);
    if (SUCCEEDED(hr)) *out = take(*converted.get());
    return hr;
}

} // namespace

HRESULT VariantToBool(const VARIANT& input, bool* out, bool allowConversion) {
    const VARIANT& v = DereferenceVariant(input);
    switch (V_VT(&v)) {
    case VT_BOOL:
        *out = V_BOOL(&v) != VARIANT_FALSE;
        return S_OK;
    case VT_BOOL | VT_BYREF:
        *out = V_BOOLREF(&v) && *V_BOOLREF(&v) != VARIANT_FALSE;
        return S_OK;
    }
    if (!allowConversion) return DISP_E_TYPEMISMATCH;
    if (IsStringType(V_VT(&v))) return ParseBool(StringOf(v), out);
    return ChangeType<bool>(v, VT_BOOL, [](const VARIANT& c) { return V_BOOL(&c) != VARIANT_FALSE; }, out);
}

HRESULT VariantToLong(const VARIANT& input, long* out, bool allowConversion) {
    const VARIANT& v = DereferenceVariant(input);
    if (!allowConversion && !IsIntegerType(V_VT(&v) & ~VT_BYREF)) return DISP_E_TYPEMISMATCH;
    return ChangeType<long>(v, VT_I4, [](const VARIANT& c) { return static_cast<long>(V_I4(&c)); }, out);
}

HRESULT VariantToDouble(const VARIANT& input, double* out, bool allowConversion) {
    const VARIANT& v = DereferenceVariant(input);
    switch (V_VT(&v)) {
    case VT_R4: *out = V_R4(&v); return S_OK;
    case VT_R8: *out = V_R8(&v); return S_OK;
    case VT_DATE: *out = V_DATE(&v); return S_OK;
    case VT_R4 | VT_BYREF: *out = V_R4REF(&v) ? *V_R4REF(&v) : 0.0; return S_OK;
    case VT_R8 | VT_BYREF: *out = V_R8REF(&v) ? *V_R8REF(&v) : 0.0; return S_OK;
    case VT_DATE | VT_BYREF: *out = V_DATEREF(&v) ? *V_DATEREF(&v) : 0.0; return S_OK;
    }
    if (!allowConversion) return DISP_E_TYPEMISMATCH;
    if (IsStringType(V_VT(&v))) {
        double parsed = 0;
        if (!ParseDouble(StringOf(v), &parsed)) return DISP_E_TYPEMISMATCH;
        *out = parsed;
        return S_OK;
    }
    return ChangeType<double>(v, VT_R8, [](const VARIANT& c) { return V_R8(&c); }, out);
}

HRESULT VariantToString(const VARIANT& input, BSTR* out) {
    const VARIANT& v = DereferenceVariant(input);
    if (!IsStringType(V_VT(&v))) return DISP_E_TYPEMISMATCH;
    const wchar_t* text = StringOf(v);
    if (!text) {
        *out = nullptr;
        return S_OK;
    }
    // The length of the BSTR, so that a string with embedded NULs is copied whole.
    BSTR copy = SysAllocStringLen(text, SysStringLen(const_cast<BSTR>(text)));
    if (!copy) return E_OUTOFMEMORY;
    *out = copy;
    return S_OK;
}
