#include "tab_pane_brush.h"

namespace winkit {

HBRUSH TabPaneBrush::ForControl(HWND tab, HWND control, HDC dc) {
    if (!brush_) {
        RECT client;
        if (!::GetClientRect(tab, &client) || client.right <= 0 || client.bottom <= 0) return nullptr;
        HDC screen = ::GetDC(tab);
        HDC memory = ::CreateCompatibleDC(screen);
        UniqueHBitmap pane(::CreateCompatibleBitmap(screen, client.right, client.bottom));
        HGDIOBJ old = ::SelectObject(memory, pane.get());
        ::SendMessageW(tab, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT | PRF_ERASEBKGND);
        ::SelectObject(memory, old);
        ::DeleteDC(memory);
        ::ReleaseDC(tab, screen);
        brush_.reset(::CreatePatternBrush(pane.get()));  // the brush keeps its own copy
    }
    POINT origin = {0, 0};
    ::MapWindowPoints(tab, control, &origin, 1);
    ::SetBrushOrgEx(dc, origin.x, origin.y, nullptr);
    ::SetBkMode(dc, TRANSPARENT);
    return brush_.get();
}

} // namespace winkit
