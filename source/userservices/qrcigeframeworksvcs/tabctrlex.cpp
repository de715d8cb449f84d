#include "tabctrlex.h"

#include <algorithm>

namespace {

bool IsDown(int key) noexcept { return (::GetKeyState(key) & 0x8000) != 0; }

// The tabs a key moves the selection by: 1, -1, or 0 for a key that does not switch.
int SwitchStep(const MSG& message) noexcept {
    if (message.message != WM_KEYDOWN || !IsDown(VK_CONTROL)) return 0;
    switch (message.wParam) {
    case VK_TAB: return IsDown(VK_SHIFT) ? -1 : 1;
    case VK_NEXT: return 1;
    case VK_PRIOR: return -1;
    default: return 0;
    }
}

} // namespace

HWND CTabCtrlEx::Create(HWND host, const RECT& rect, int id, const wchar_t* text, DWORD style) {
    HWND tab = ::CreateWindowExW(0, WC_TABCONTROLW, text, style, rect.left, rect.top, rect.right - rect.left,
                                 rect.bottom - rect.top, host, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 ::GetModuleHandleW(nullptr), nullptr);
    if (tab && !Subclass(tab)) {
        ::DestroyWindow(tab);
        return nullptr;
    }
    return tab;
}

LRESULT CTabCtrlEx::OnSize(UINT message, WPARAM wparam, LPARAM lparam) {
    ResizePages(LOWORD(lparam), HIWORD(lparam));
    return DefaultProc(message, wparam, lparam);
}

LRESULT CTabCtrlEx::OnReflectedNotify(UINT, WPARAM, LPARAM lparam) {
    const auto* header = reinterpret_cast<const NMHDR*>(lparam);
    if (header->code == static_cast<UINT>(TCN_SELCHANGING)) OnSelChanging();
    else if (header->code == static_cast<UINT>(TCN_SELCHANGE)) OnSelChange();
    return FALSE;  // a change is never refused
}

int CTabCtrlEx::PageCount() const noexcept { return static_cast<int>(Send(TCM_GETITEMCOUNT)); }

int CTabCtrlEx::Selection() const noexcept { return static_cast<int>(Send(TCM_GETCURSEL)); }

CPropertyPage* CTabCtrlEx::PageAt(int index) const noexcept {
    TCITEMW item = {};
    item.mask = TCIF_PARAM;
    if (index < 0 || !Send(TCM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item))) return nullptr;
    return reinterpret_cast<CPropertyPage*>(item.lParam);
}

void CTabCtrlEx::ShowPageAt(int index, bool show) const noexcept {
    if (CPropertyPage* page = PageAt(index)) ::ShowWindow(page->PageWindow(), show ? SW_SHOW : SW_HIDE);
}

void CTabCtrlEx::AddPage(CPropertyPage& page, const wchar_t* title, int image) {
    TCITEMW item = {};
    item.mask = TCIF_TEXT | TCIF_IMAGE | TCIF_PARAM;
    item.pszText = const_cast<wchar_t*>(title);
    item.iImage = image;
    item.lParam = reinterpret_cast<LPARAM>(&page);
    int index = static_cast<int>(Send(TCM_INSERTITEMW, static_cast<WPARAM>(PageCount()), reinterpret_cast<LPARAM>(&item)));
    HWND window = page.PageWindow();
    ::SetWindowPos(window, nullptr, pageX_, pageY_, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::ShowWindow(window, index == 0 ? SW_SHOW : SW_HIDE);
}

bool CTabCtrlEx::SelectPage(int index) {
    ShowPageAt(Selection(), false);
    Send(TCM_SETCURSEL, static_cast<WPARAM>(index));
    ShowPageAt(index, true);
    return true;
}

void CTabCtrlEx::RemovePage(int index) { Send(TCM_DELETEITEM, static_cast<WPARAM>(index)); }

bool CTabCtrlEx::CommitAll() {
    bool all = true;
    const int count = PageCount();
    for (int i = 0; i < count; ++i) {
        if (CPropertyPage* page = PageAt(i)) all = page->OnApply() && all;
    }
    return all;
}

void CTabCtrlEx::CommitFirst() {
    if (PageCount() == 0) return;
    if (CPropertyPage* page = PageAt(0)) page->OnCommit();
}

bool CTabCtrlEx::OnSwitchKey(const MSG& message) {
    const int step = SwitchStep(message);
    if (step == 0) return false;
    const int count = PageCount();
    if (count > 1) {
        SelectPage((std::max(Selection(), 0) + step + count) % count);
        // Through the dialog, which keeps its default button and remembered focus right.
        ::SendMessageW(::GetParent(hwnd_), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(hwnd_), TRUE);
    }
    return true;
}

void CTabCtrlEx::OnSelChanging() { previousSelection_ = Selection(); }

void CTabCtrlEx::OnSelChange() {
    ShowPageAt(previousSelection_, false);
    ShowPageAt(Selection(), true);
}

void CTabCtrlEx::ResizePages(int width, int height) const noexcept {
    const int count = PageCount();
    for (int i = 0; i < count; ++i) {
        if (CPropertyPage* page = PageAt(i))
            ::SetWindowPos(page->PageWindow(), nullptr, 0, 0, width - kWidthMargin, height - kHeightMargin,
                           SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void CTabCtrlEx::FitPage(CPropertyPage& page) const noexcept {
    RECT r = ClientRect();
    ::SetWindowPos(page.PageWindow(), nullptr, 0, 0, r.right - kWidthMargin, r.bottom - kHeightMargin,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}
