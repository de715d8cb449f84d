#pragma once
// Tab control. Owns nothing: one SendMessage per method.
#include <windows.h>
#include <commctrl.h>
#include "window.h"

namespace winkit {

struct TcItem : TCITEMW {
    TcItem() noexcept : TCITEMW{} {}
};

class TabCtrl : public Window {
public:
    using Window::Window;
    int InsertItem(int index, const wchar_t* text) const noexcept {
        TcItem item;
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<wchar_t*>(text);
        return static_cast<int>(Send(TCM_INSERTITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)));
    }
    int ItemCount() const noexcept { return static_cast<int>(Send(TCM_GETITEMCOUNT)); }
    int CurSel() const noexcept { return static_cast<int>(Send(TCM_GETCURSEL)); }
    // Selects without notifying the parent, as the control documents.
    int SetCurSel(int index) const noexcept { return static_cast<int>(Send(TCM_SETCURSEL, static_cast<WPARAM>(index))); }
};

} // namespace winkit
