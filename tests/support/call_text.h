#pragma once
// Arguments of recorded calls as text, the same way in every double that logs calls.
#include <windows.h>
#include <oleauto.h>
#include <string>

// The whole text (NUL characters included); a null BSTR is empty.
inline std::wstring BstrText(BSTR text) { return text ? std::wstring(text, SysStringLen(text)) : std::wstring(); }

// "I4 7", "BSTR text", "BSTR (null)", "R8 46361.500000", "VT 8195"...
inline std::wstring VariantText(const VARIANT& value) {
    wchar_t number[64];
    switch (V_VT(&value)) {
    case VT_I4: return L"I4 " + std::to_wstring(V_I4(&value));
    case VT_BSTR: return L"BSTR " + (V_BSTR(&value) ? BstrText(V_BSTR(&value)) : std::wstring(L"(null)"));
    case VT_R8:
        swprintf(number, 64, L"R8 %.6f", V_R8(&value));
        return number;
    default: return L"VT " + std::to_wstring(V_VT(&value));
    }
}
