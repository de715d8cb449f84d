#include "tabctrlex.h"

#include "winkit/modalrun.h"

namespace {
// A notification reflected back to the control that sent it (the OLE control convention).
constexpr UINT kReflectedNotify = 0x2000 + WM_NOTIFY;
} // namespace

CTabCtrlEx::~CTabCtrlEx() { Detach(); }

HWND CTabCtrlEx::Create(HWND host, const RECT& rect, int id, const wchar_t* text, DWORD style) {
    HWND tab = ::CreateWindowExW(0, WC_TABCONTROLW, text, style, rect.left, rect.top, rect.right - rect.left,
                                 rect.bottom - rect.top, host, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 ::GetModuleHandleW(nullptr), nullptr);
    if (!tab) return nullptr;
    if (!::SetWindowSubclass(tab, &SubclassProc, reinterpret_cast<UINT_PTR>(this), reinterpret_cast<DWORD_PTR>(this))) {
        ::DestroyWindow(tab);
        return nullptr;
    }
    hwnd_ = tab;
    return tab;
}

void CTabCtrlEx::Detach() noexcept {
    if (hwnd_) ::RemoveWindowSubclass(hwnd_, &SubclassProc, reinterpret_cast<UINT_PTR>(this));
    hwnd_ = nullptr;
}

LRESULT CALLBACK CTabCtrlEx::SubclassProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                          DWORD_PTR data) {
    auto* self = reinterpret_cast<CTabCtrlEx*>(data);
    if (message == WM_NCDESTROY) {
        self->Detach();
        return ::DefSubclassProc(hwnd, message, wparam, lparam);
    }
    LRESULT result = 0;
    try {
        if (self->HandleMessage(message, wparam, lparam, result)) return result;
    } catch (...) {
        winkit::ModalRun::CaptureCurrentException(hwnd);
        return 0;
    }
    return ::DefSubclassProc(hwnd, message, wparam, lparam);
}

bool CTabCtrlEx::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) {
    switch (message) {
    case WM_SIZE:
        ResizePages(LOWORD(lparam), HIWORD(lparam));
        result = ::DefSubclassProc(hwnd_, message, wparam, lparam);
        return true;
    case WM_MOUSEMOVE:
    case WM_TIMER:
        // The control's hot tracking and its timers would repaint tabs over the pages.
        result = 0;
        return true;
    case kReflectedNotify: {
        const auto* header = reinterpret_cast<const NMHDR*>(lparam);
        if (header->code == static_cast<UINT>(TCN_SELCHANGING)) {
            OnSelChanging();
            result = FALSE;  // allow the change
            return true;
        }
        if (header->code == static_cast<UINT>(TCN_SELCHANGE)) {
            OnSelChange();
            result = 0;
            return true;
        }
        return false;
    }
    default:
        return false;
    }
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
