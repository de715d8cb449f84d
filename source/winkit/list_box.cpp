#include "list_box.h"

namespace winkit {

std::wstring ListBoxCtrl::String(int index) const {
    LRESULT n = Send(LB_GETTEXTLEN, static_cast<WPARAM>(index));
    if (n == LB_ERR || n < 0) return {};
    std::wstring text(static_cast<size_t>(n) + 1, L'\0');
    n = Send(LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return text;
}

} // namespace winkit
