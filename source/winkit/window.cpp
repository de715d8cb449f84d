#include "window.h"

namespace winkit {

std::wstring Window::Text() const {
    int n = ::GetWindowTextLengthW(hwnd_);
    std::wstring text(static_cast<size_t>(n) + 1, L'\0');
    n = ::GetWindowTextW(hwnd_, text.data(), n + 1);
    text.resize(n > 0 ? n : 0);
    return text;
}

RECT Window::RectInParent() const noexcept {
    RECT r = {};
    ::GetWindowRect(hwnd_, &r);
    ::MapWindowPoints(HWND_DESKTOP, ::GetParent(hwnd_), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

} // namespace winkit
