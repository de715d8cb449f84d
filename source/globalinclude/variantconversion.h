#pragma once
// Values out of VARIANTs. Without conversion only the matching types are accepted
// (DISP_E_TYPEMISMATCH otherwise); with it, strings are read locale-independently
// (ParseBool, ParseDouble) and other types go through VariantChangeType. A VARIANT of
// type VT_BYREF|VT_VARIANT stands for the VARIANT it refers to. On failure the out
// value is left unchanged.
#include <windows.h>
#include <oleauto.h>

HRESULT VariantToBool(const VARIANT& value, bool* out, bool allowConversion);
HRESULT VariantToLong(const VARIANT& value, long* out, bool allowConversion);
// A string that ParseDouble does not read gives DISP_E_TYPEMISMATCH also with conversion.
HRESULT VariantToDouble(const VARIANT& value, double* out, bool allowConversion);
// VT_BSTR or VT_BSTR|VT_BYREF only: *out receives a new copy (null for a null string).
HRESULT VariantToString(const VARIANT& value, BSTR* out);

// The VARIANT that VT_BYREF|VT_VARIANT refers to, or the VARIANT itself.
const VARIANT& DereferenceVariant(const VARIANT& value) noexcept;
