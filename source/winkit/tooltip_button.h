#pragma once
// A push button that shows a tooltip: it owns a tooltip window, registers itself as
// the tool with its text and relays the mouse messages it receives to the tooltip.
// The text must be set before the button is subclassed.
#include <string>
#include "subclassed_window.h"
#include "unique_handle.h"
#include "message_map.h"

namespace winkit {

class CToolTipButton : public SubclassedWindow<CToolTipButton> {
public:
    void SetToolTipText(std::wstring text) { text_ = std::move(text); }
    const std::wstring& ToolTipText() const noexcept { return text_; }

    // Subclasses the button, then creates the tooltip; with a text, activates it and
    // registers the button as its tool.
    bool Subclass(HWND button);
    HWND ToolTip() const noexcept { return toolTip_.get(); }

    BEGIN_MSG_MAP(CToolTipButton)
        if (uMsg >= WM_MOUSEFIRST && uMsg <= kLastRelayedMessage) RelayToToolTip(uMsg, wParam, lParam);
        if (uMsg == WM_DESTROY) toolTip_.reset();
    END_MSG_MAP()

private:
    // WM_MOUSEFIRST (0x200) to WM_MOUSEHWHEEL (0x20E).
    static constexpr UINT kLastRelayedMessage = 0x20E;

    void CreateToolTip();
    void RelayToToolTip(UINT message, WPARAM wparam, LPARAM lparam) const noexcept;

    std::wstring text_;
    UniqueHWnd toolTip_;
};

} // namespace winkit
