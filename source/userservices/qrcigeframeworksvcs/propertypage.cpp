#include "propertypage.h"

void CPropertyPage::OnCommit() {
    // No owner window: the message must show even when the host is already closing.
    ::MessageBoxW(nullptr, L"Coding Error. Page 0 should override OnCommit", L"Property Page", MB_OK);
}

bool CPropertyPage::HandlePageMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) noexcept {
    if (message == WM_COMMAND && (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL)) {
        result = 0;
        return true;
    }
    if (message == WM_NEXTDLGCTL && LOWORD(lparam) == 0 && owner_) {
        ::SendMessageW(owner_, WM_NEXTDLGCTL, wparam, 0);
        result = 0;
        return true;
    }
    return false;
}
