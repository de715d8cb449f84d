#pragma once
// Push, radio and picture buttons. Owns nothing: one SendMessage per method.
#include <windows.h>
#include "window.h"

namespace winkit {

class ButtonCtrl : public Window {
public:
    using Window::Window;
    // The picture of a BS_BITMAP or BS_ICON button; returns the previous one.
    HBITMAP SetBitmap(HBITMAP bitmap) const noexcept {
        return reinterpret_cast<HBITMAP>(Send(BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)));
    }
    HBITMAP Bitmap() const noexcept { return reinterpret_cast<HBITMAP>(Send(BM_GETIMAGE, IMAGE_BITMAP)); }
    HICON SetIcon(HICON icon) const noexcept {
        return reinterpret_cast<HICON>(Send(BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon)));
    }
    HICON Icon() const noexcept { return reinterpret_cast<HICON>(Send(BM_GETIMAGE, IMAGE_ICON)); }
    void SetCheck(int state) const noexcept { Send(BM_SETCHECK, static_cast<WPARAM>(state)); }
    int Check() const noexcept { return static_cast<int>(Send(BM_GETCHECK)); }
    bool IsChecked() const noexcept { return Check() == BST_CHECKED; }
    void Click() const noexcept { Send(BM_CLICK); }
};

} // namespace winkit
