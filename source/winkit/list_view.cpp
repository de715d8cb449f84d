#include "list_view.h"

namespace winkit {

std::vector<int> HeaderCtrl::OrderArray() const {
    std::vector<int> order(static_cast<size_t>(ItemCount() > 0 ? ItemCount() : 0));
    if (!order.empty() &&
        !Send(HDM_GETORDERARRAY, order.size(), reinterpret_cast<LPARAM>(order.data()))) {
        for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
    }
    return order;
}

bool ListViewCtrl::ColumnText(int index, std::wstring& text, int capacity) const {
    std::wstring buffer(static_cast<size_t>(capacity), L'\0');
    LvColumn column;
    column.mask = LVCF_TEXT;
    column.pszText = buffer.data();
    column.cchTextMax = capacity;
    if (!GetColumn(index, column)) return false;
    text.assign(column.pszText);
    return true;
}

bool ListViewCtrl::SetItemText(int row, int subItem, const wchar_t* text) const noexcept {
    LvItem item;
    item.iSubItem = subItem;
    item.pszText = const_cast<wchar_t*>(text);
    return Send(LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)) != FALSE;
}

std::wstring ListViewCtrl::ItemText(int row, int subItem) const {
    // Far beyond any text a list shows; ends the doubling should a control always fill the buffer.
    constexpr size_t kLongest = size_t{1} << 24;
    std::wstring buffer(256, L'\0');
    for (;;) {
        LvItem item;
        item.iSubItem = subItem;
        item.pszText = buffer.data();
        item.cchTextMax = static_cast<int>(buffer.size());
        size_t length = static_cast<size_t>(Send(LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)));
        // The control may answer with text of its own instead of filling the buffer.
        if (item.pszText != buffer.data()) return item.pszText ? std::wstring(item.pszText) : std::wstring();
        // A text that filled the buffer may have been cut short.
        if (length + 1 < buffer.size() || buffer.size() >= kLongest) {
            buffer.resize(wcsnlen(buffer.c_str(), length));
            return buffer;
        }
        buffer.assign(buffer.size() * 2, L'\0');
    }
}

LPARAM ListViewCtrl::ItemData(int row) const noexcept {
    LvItem item;
    item.mask = LVIF_PARAM;
    item.iItem = row;
    return GetItem(item) ? item.lParam : 0;
}

int ListViewCtrl::ItemImage(int row) const noexcept {
    LvItem item;
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    return GetItem(item) ? item.iImage : -1;
}

bool ListViewCtrl::SetItemImage(int row, int image) const noexcept {
    LvItem item;
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    item.iImage = image;
    return SetItem(item);
}

bool ListViewCtrl::SetItemState(int row, UINT state, UINT mask) const noexcept {
    LvItem item;
    item.state = state;
    item.stateMask = mask;
    return Send(LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)) != FALSE;
}

std::vector<int> ListViewCtrl::SelectedRows() const {
    std::vector<int> rows;
    for (int row = NextItem(-1, LVNI_SELECTED); row != -1; row = NextItem(row, LVNI_SELECTED)) rows.push_back(row);
    return rows;
}

} // namespace winkit
