#pragma once
// A window handle with the calls our dialogs make on it. Owns nothing.
#include <windows.h>
#include <string>

namespace winkit {

class Window {
public:
    Window() noexcept = default;
    explicit Window(HWND hwnd) noexcept : hwnd_(hwnd) {}

    HWND hwnd() const noexcept { return hwnd_; }
    operator HWND() const noexcept { return hwnd_; }
    void Attach(HWND hwnd) noexcept { hwnd_ = hwnd; }
    bool IsWindow() const noexcept { return hwnd_ && ::IsWindow(hwnd_); }

    LRESULT Send(UINT message, WPARAM wparam = 0, LPARAM lparam = 0) const noexcept {
        return ::SendMessageW(hwnd_, message, wparam, lparam);
    }
    HWND Item(int id) const noexcept { return ::GetDlgItem(hwnd_, id); }
    void Enable(bool enable) const noexcept { ::EnableWindow(hwnd_, enable ? TRUE : FALSE); }
    bool IsEnabled() const noexcept { return ::IsWindowEnabled(hwnd_) != FALSE; }
    void Show(int command) const noexcept { ::ShowWindow(hwnd_, command); }
    bool IsVisible() const noexcept { return ::IsWindowVisible(hwnd_) != FALSE; }
    void SetText(const std::wstring& text) const noexcept { ::SetWindowTextW(hwnd_, text.c_str()); }
    std::wstring Text() const;
    RECT ClientRect() const noexcept {
        RECT r = {};
        ::GetClientRect(hwnd_, &r);
        return r;
    }
    // The window's rectangle in the client coordinates of its parent.
    RECT RectInParent() const noexcept;
    void SetFont(HFONT font) const noexcept { Send(WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE); }
    HFONT Font() const noexcept { return reinterpret_cast<HFONT>(Send(WM_GETFONT)); }
    void Redraw() const noexcept { ::InvalidateRect(hwnd_, nullptr, TRUE); }

protected:
    HWND hwnd_ = nullptr;
};

} // namespace winkit
