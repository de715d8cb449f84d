#include "tooltip_button.h"

namespace winkit {

bool CToolTipButton::Subclass(HWND button) {
    if (!SubclassedWindow::Subclass(button)) return false;
    CreateToolTip();
    return true;
}

void CToolTipButton::CreateToolTip() {
    toolTip_.reset(::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                     CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr,
                                     reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(hwnd_, GWLP_HINSTANCE)),
                                     nullptr));
    if (!toolTip_ || text_.empty()) return;
    ::SendMessageW(toolTip_.get(), TTM_ACTIVATE, TRUE, 0);
    TTTOOLINFOW tool = {};
    // The first version's size: comctl32 before version 6 refuses the larger ones.
    tool.cbSize = TTTOOLINFOW_V1_SIZE;
    tool.uFlags = TTF_IDISHWND;
    tool.hwnd = hwnd_;
    tool.uId = reinterpret_cast<UINT_PTR>(hwnd_);
    tool.lpszText = text_.data();
    ::SendMessageW(toolTip_.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void CToolTipButton::RelayToToolTip(UINT message, WPARAM wparam, LPARAM lparam) const noexcept {
    if (!toolTip_) return;
    MSG relayed = {};
    relayed.hwnd = hwnd_;
    relayed.message = message;
    relayed.wParam = wparam;
    relayed.lParam = lparam;
    relayed.time = static_cast<DWORD>(::GetMessageTime());
    DWORD position = ::GetMessagePos();
    relayed.pt = POINT{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    ::SendMessageW(toolTip_.get(), TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
}

} // namespace winkit
