#pragma once
// A BSTR read as text: its length comes from SysStringLen, so embedded NULs are kept, and
// a null BSTR reads as the empty text (as COM defines it), whose data() is still a valid
// string for the APIs that take a pointer.
#include <oleauto.h>
#include <string>
#include <string_view>

namespace winkit {

// Valid as long as the BSTR is.
inline std::wstring_view BstrView(BSTR text) noexcept {
    return text ? std::wstring_view(text, SysStringLen(text)) : std::wstring_view(L"", 0);
}

inline std::wstring BstrText(BSTR text) { return std::wstring(BstrView(text)); }

} // namespace winkit
