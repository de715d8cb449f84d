#pragma once
// Combo box. Owns nothing: one SendMessage per method.
#include <windows.h>
#include <string>
#include "window.h"

namespace winkit {

class ComboBoxCtrl : public Window {
public:
    using Window::Window;
    int Count() const noexcept { return static_cast<int>(Send(CB_GETCOUNT)); }
    int AddString(const wchar_t* text) const noexcept {
        return static_cast<int>(Send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
    }
    std::wstring String(int index) const;
    int CurSel() const noexcept { return static_cast<int>(Send(CB_GETCURSEL)); }
    int SetCurSel(int index) const noexcept { return static_cast<int>(Send(CB_SETCURSEL, static_cast<WPARAM>(index))); }
    // Exact match ignoring case, from the start; CB_ERR when absent.
    int FindStringExact(const wchar_t* text) const noexcept {
        return static_cast<int>(Send(CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text)));
    }
};

} // namespace winkit
