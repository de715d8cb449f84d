#pragma once
// Text comparisons that do not depend on the user's locale.
#include <windows.h>
#include <string_view>

namespace winkit {

// Equal without regard to case, by the ordinal (locale-independent) rules.
inline bool EqualsNoCase(std::wstring_view a, std::wstring_view b) noexcept {
    return a.size() == b.size() && CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                                        static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

} // namespace winkit
