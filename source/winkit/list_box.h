#pragma once
// List box. Owns nothing: one SendMessage per method.
#include <windows.h>
#include <string>
#include "window.h"

namespace winkit {

class ListBoxCtrl : public Window {
public:
    using Window::Window;
    int Count() const noexcept { return static_cast<int>(Send(LB_GETCOUNT)); }
    // The new entry's position (sorted lists place it themselves), or LB_ERR/LB_ERRSPACE.
    int AddString(const wchar_t* text) const noexcept {
        return static_cast<int>(Send(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
    }
    // Lists without strings: the entry is its item data.
    int AddItemData(LPARAM data) const noexcept { return static_cast<int>(Send(LB_ADDSTRING, 0, data)); }
    int InsertString(int index, const wchar_t* text) const noexcept {
        return static_cast<int>(Send(LB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text)));
    }
    int DeleteString(int index) const noexcept { return static_cast<int>(Send(LB_DELETESTRING, static_cast<WPARAM>(index))); }
    void ResetContent() const noexcept { Send(LB_RESETCONTENT); }
    std::wstring String(int index) const;
    LPARAM ItemData(int index) const noexcept { return Send(LB_GETITEMDATA, static_cast<WPARAM>(index)); }
    int CurSel() const noexcept { return static_cast<int>(Send(LB_GETCURSEL)); }
    // -1 clears the selection.
    int SetCurSel(int index) const noexcept { return static_cast<int>(Send(LB_SETCURSEL, static_cast<WPARAM>(index))); }
    // Exact match ignoring case, from the start; LB_ERR when absent.
    int FindStringExact(const wchar_t* text) const noexcept {
        return static_cast<int>(Send(LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text)));
    }
    int ItemHeight() const noexcept { return static_cast<int>(Send(LB_GETITEMHEIGHT)); }
};

} // namespace winkit
