#pragma once
// What a tabbed dialog asks of each of its pages. A page is a child dialog of the host;
// the page class derives from its dialog implementation and from CPropertyPage, which
// keeps a reference to that same window.
#include <windows.h>
#include "winkit/window.h"

class CPropertyPage {
public:
    explicit CPropertyPage(winkit::Window& window) noexcept : window_(window) {}
    virtual ~CPropertyPage() = default;
    CPropertyPage(const CPropertyPage&) = delete;
    CPropertyPage& operator=(const CPropertyPage&) = delete;

    // Moves what the controls show into the page's values; false keeps the host open.
    virtual bool OnApply() = 0;
    // Called on the first tab's page when the host closes with OK. The first page of a
    // host is expected to override it.
    virtual void OnCommit();

    winkit::Window& PageWindow() const noexcept { return window_; }
    HWND Owner() const noexcept { return owner_; }
    void SetOwner(HWND host) noexcept { owner_ = host; }

protected:
    // Enter and Escape pressed inside a page send IDOK / IDCANCEL to the page itself: a
    // page never ends on them. A multi-line edit asks its parent, the page, for the next
    // control on Tab: the host answers instead, so that Tab and Shift+Tab take the same
    // way through the pages, the tabs and the host's buttons.
    bool HandlePageMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) noexcept;

private:
    winkit::Window& window_;
    HWND owner_ = nullptr;
};

// What every page does before its own handlers (CPropertyPage::HandlePageMessage). Put
// this first in every page's message map.
#define PROPERTY_PAGE_MESSAGES() \
    if (HandlePageMessage(uMsg, wParam, lParam, lResult)) return true;
