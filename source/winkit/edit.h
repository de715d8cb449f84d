#pragma once
// Edit control. Owns nothing: one SendMessage per method; the text is the window text.
#include <windows.h>
#include "window.h"

namespace winkit {

class EditCtrl : public Window {
public:
    using Window::Window;
    void SetSel(int start, int end) const noexcept { Send(EM_SETSEL, static_cast<WPARAM>(start), end); }
    void SetLimitText(int limit) const noexcept { Send(EM_LIMITTEXT, static_cast<WPARAM>(limit)); }
};

} // namespace winkit
