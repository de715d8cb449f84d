#pragma once
// Script hosts pass their variables to IDispatch::Invoke as VT_VARIANT | VT_BYREF.
// Windows' ITypeInfo::Invoke hands such an argument to a by-reference parameter of the
// variable's own type (BSTR*, long*, ...); Wine's refuses it with DISP_E_TYPEMISMATCH.
// ScriptReferenceBinding rebinds those arguments to the variable's value itself
// (VT_BSTR | VT_BYREF pointing into the caller's VARIANT) before the type library's
// Invoke sees them. A variable that was never assigned (VT_EMPTY) becomes an empty
// value of the parameter's type first, as it would after the call anyway.
#include <windows.h>
#include <oleauto.h>
#include <vector>

namespace winkit {

class ScriptReferenceBinding {
public:
    // The parameters to invoke with: `params` itself when nothing needed rebinding,
    // otherwise a copy held by this object. The caller's variables stay where they are.
    DISPPARAMS* Bind(ITypeInfo* info, DISPID id, WORD flags, DISPPARAMS* params);

private:
    std::vector<VARIANTARG> args_;
    DISPPARAMS params_ = {};
};

} // namespace winkit
