#pragma once
// A tab control that owns the association between its tabs and the host's pages: each
// tab carries its page, the page of the selected tab is the one shown, pages are sized
// with the control, and all pages are asked to apply their contents together.
// The pages are children of the host, not of the control; the control never owns them.
#include <windows.h>
#include <commctrl.h>
#include "propertypage.h"
#include "winkit/message_map.h"
#include "winkit/subclassed_window.h"

class CTabCtrlEx : public winkit::SubclassedWindow<CTabCtrlEx> {
public:
    // A notification reflected back to the control that sent it (the OLE control convention).
    static constexpr UINT kReflectedNotify = 0x2000 + WM_NOTIFY;

    // Creates the control as a child of the host and takes over its messages.
    HWND Create(HWND host, const RECT& rect, int id, const wchar_t* text, DWORD style);

    // Appends a tab for the page and places the page at the page origin; the first
    // tab's page is shown, later ones stay hidden until selected.
    void AddPage(CPropertyPage& page, const wchar_t* title, int image);
    // Hides the shown page, selects the tab and shows its page.
    bool SelectPage(int index);
    // Deletes the tab; the page's window is left as it is.
    void RemovePage(int index);
    // OnApply on every tab's page in tab order, even after one answered false; the
    // answers ANDed (true without tabs).
    bool CommitAll();
    // OnCommit on the first tab's page.
    void CommitFirst();

    // Ctrl+Tab and Ctrl+Page Down select the next tab, Ctrl+Shift+Tab and Ctrl+Page Up the
    // previous one, wrapping around at the ends, as the platform's property sheets do. The
    // focus goes to the tabs: it may have been on the page just hidden. Answers whether
    // the key was one of these (the host's dialog manager must then not see it).
    bool OnSwitchKey(const MSG& message);

    // Selection notices from the host (or reflected to the control).
    void OnSelChanging();
    void OnSelChange();

    int PageCount() const noexcept;
    int Selection() const noexcept;
    CPropertyPage* PageAt(int index) const noexcept;
    // Gives the page the size every page has in this control (the control's size less
    // its frame and tab row).
    void FitPage(CPropertyPage& page) const noexcept;

    static constexpr int kPageX = 8;
    static constexpr int kPageY = 28;
    static constexpr int kWidthMargin = 12;
    static constexpr int kHeightMargin = 30;

    BEGIN_MSG_MAP(CTabCtrlEx)
        MESSAGE_HANDLER_EX(WM_SIZE, OnSize)
        // The control's hot tracking and its timers would repaint tabs over the pages.
        MESSAGE_HANDLER_EX(WM_MOUSEMOVE, OnSwallowed)
        MESSAGE_HANDLER_EX(WM_TIMER, OnSwallowed)
        MESSAGE_HANDLER_EX(kReflectedNotify, OnReflectedNotify)
    END_MSG_MAP()

private:
    LRESULT OnSize(UINT message, WPARAM wparam, LPARAM lparam);
    LRESULT OnSwallowed(UINT, WPARAM, LPARAM) { return 0; }
    LRESULT OnReflectedNotify(UINT, WPARAM, LPARAM lparam);
    void ResizePages(int width, int height) const noexcept;
    void ShowPageAt(int index, bool show) const noexcept;

    int previousSelection_ = 0;
    int pageX_ = kPageX;
    int pageY_ = kPageY;
};
