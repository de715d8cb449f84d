#include "script_arguments.h"

namespace winkit {

namespace {

bool Matches(const FUNCDESC& function, DISPID id, WORD flags) {
    if (function.memid != id) return false;
    switch (function.invkind) {
    case INVOKE_FUNC: return (flags & DISPATCH_METHOD) != 0;
    case INVOKE_PROPERTYGET: return (flags & DISPATCH_PROPERTYGET) != 0;
    case INVOKE_PROPERTYPUT: return (flags & DISPATCH_PROPERTYPUT) != 0;
    case INVOKE_PROPERTYPUTREF: return (flags & DISPATCH_PROPERTYPUTREF) != 0;
    }
    return false;
}

// The types a variable can be bound to directly; its value lies in the VARIANT's union.
bool Bindable(VARTYPE type) {
    switch (type) {
    case VT_I2: case VT_I4: case VT_R4: case VT_R8: case VT_CY: case VT_DATE: case VT_BSTR:
    case VT_DISPATCH: case VT_BOOL: case VT_UNKNOWN: case VT_I1: case VT_UI1: case VT_UI2:
    case VT_UI4: case VT_INT: case VT_UINT:
        return true;
    default:
        return false;
    }
}

// The pointed-to type of a by-reference parameter, or VT_EMPTY.
VARTYPE ReferencedType(const ELEMDESC& parameter) {
    const TYPEDESC& type = parameter.tdesc;
    if (type.vt != VT_PTR || !type.lptdesc) return VT_EMPTY;
    return Bindable(type.lptdesc->vt) ? type.lptdesc->vt : static_cast<VARTYPE>(VT_EMPTY);
}

} // namespace

DISPPARAMS* ScriptReferenceBinding::Bind(ITypeInfo* info, DISPID id, WORD flags, DISPPARAMS* params) {
    if (!info || !params || params->cArgs == 0 || !params->rgvarg) return params;
    TYPEATTR* attributes = nullptr;
    if (FAILED(info->GetTypeAttr(&attributes))) return params;
    WORD functions = attributes->cFuncs;
    info->ReleaseTypeAttr(attributes);

    for (WORD index = 0; index < functions; ++index) {
        FUNCDESC* function = nullptr;
        if (FAILED(info->GetFuncDesc(index, &function))) continue;
        if (Matches(*function, id, flags)) {
            for (UINT argument = 0; argument < params->cArgs; ++argument) {
                // Positional arguments come right to left; named ones (a property put's
                // value) are not script variables handed over by reference.
                UINT position = params->cArgs - 1 - argument;
                if (argument < params->cNamedArgs || position >= static_cast<UINT>(function->cParams)) continue;
                VARTYPE type = ReferencedType(function->lprgelemdescParam[position]);
                const VARIANTARG& given = params->rgvarg[argument];
                if (type == VT_EMPTY || V_VT(&given) != (VT_VARIANT | VT_BYREF) || !V_VARIANTREF(&given)) continue;
                VARIANT* variable = V_VARIANTREF(&given);
                if (V_VT(variable) == VT_EMPTY) {
                    VariantInit(variable);
                    V_VT(variable) = type;  // a zero value: null BSTR, 0, VARIANT_FALSE, null pointer
                }
                if (V_VT(variable) != type) continue;
                if (args_.empty()) args_.assign(params->rgvarg, params->rgvarg + params->cArgs);
                V_VT(&args_[argument]) = type | VT_BYREF;
                V_BYREF(&args_[argument]) = &V_I2(variable);  // the union's address: every member starts there
            }
        }
        info->ReleaseFuncDesc(function);
    }
    if (args_.empty()) return params;
    params_ = *params;
    params_.rgvarg = args_.data();
    return &params_;
}

} // namespace winkit
