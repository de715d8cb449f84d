#pragma once
// Report-style list view and its header. Owns nothing: one SendMessage per method.
#include <windows.h>
#include <commctrl.h>
#include <string>
#include <vector>
#include "window.h"

namespace winkit {

struct LvColumn : LVCOLUMNW {
    LvColumn() noexcept : LVCOLUMNW{} {}
};

struct LvItem : LVITEMW {
    LvItem() noexcept : LVITEMW{} {}
};

struct HdItem : HDITEMW {
    HdItem() noexcept : HDITEMW{} {}
};

class HeaderCtrl : public Window {
public:
    using Window::Window;
    int ItemCount() const noexcept { return static_cast<int>(Send(HDM_GETITEMCOUNT)); }
    bool GetItem(int index, HDITEMW& item) const noexcept {
        return Send(HDM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)) != FALSE;
    }
    bool SetItem(int index, const HDITEMW& item) const noexcept {
        return Send(HDM_SETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)) != FALSE;
    }
    // The column index shown at each display position.
    std::vector<int> OrderArray() const;
};

class ListViewCtrl : public Window {
public:
    using Window::Window;

    HeaderCtrl Header() const noexcept { return HeaderCtrl(reinterpret_cast<HWND>(Send(LVM_GETHEADER))); }
    void SetExtendedStyle(DWORD mask, DWORD style) const noexcept { Send(LVM_SETEXTENDEDLISTVIEWSTYLE, mask, style); }
    DWORD ExtendedStyle() const noexcept { return static_cast<DWORD>(Send(LVM_GETEXTENDEDLISTVIEWSTYLE)); }
    HIMAGELIST SetImageList(HIMAGELIST list, int kind) const noexcept {
        return reinterpret_cast<HIMAGELIST>(Send(LVM_SETIMAGELIST, static_cast<WPARAM>(kind), reinterpret_cast<LPARAM>(list)));
    }
    HIMAGELIST ImageList(int kind) const noexcept {
        return reinterpret_cast<HIMAGELIST>(Send(LVM_GETIMAGELIST, static_cast<WPARAM>(kind)));
    }

    // Columns.
    int InsertColumn(int index, const LVCOLUMNW& column) const noexcept {
        return static_cast<int>(Send(LVM_INSERTCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column)));
    }
    bool DeleteColumn(int index) const noexcept { return Send(LVM_DELETECOLUMN, static_cast<WPARAM>(index)) != FALSE; }
    bool GetColumn(int index, LVCOLUMNW& column) const noexcept {
        return Send(LVM_GETCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column)) != FALSE;
    }
    int ColumnWidth(int index) const noexcept { return static_cast<int>(Send(LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(index))); }
    bool SetColumnWidth(int index, int width) const noexcept {
        return Send(LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(index), MAKELPARAM(width, 0)) != FALSE;
    }
    bool SetColumnOrderArray(const std::vector<int>& order) const noexcept {
        return Send(LVM_SETCOLUMNORDERARRAY, order.size(), reinterpret_cast<LPARAM>(order.data())) != FALSE;
    }
    // The header text of a column, read into a buffer of `capacity` characters;
    // false when the column cannot be read.
    bool ColumnText(int index, std::wstring& text, int capacity = 256) const;

    // Rows.
    int ItemCount() const noexcept { return static_cast<int>(Send(LVM_GETITEMCOUNT)); }
    void SetItemCount(int count) const noexcept { Send(LVM_SETITEMCOUNT, static_cast<WPARAM>(count)); }
    bool DeleteAllItems() const noexcept { return Send(LVM_DELETEALLITEMS) != FALSE; }
    bool DeleteItem(int row) const noexcept { return Send(LVM_DELETEITEM, static_cast<WPARAM>(row)) != FALSE; }
    int InsertItem(const LVITEMW& item) const noexcept {
        return static_cast<int>(Send(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    }
    bool SetItem(const LVITEMW& item) const noexcept {
        return Send(LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item)) != FALSE;
    }
    bool GetItem(LVITEMW& item) const noexcept {
        return Send(LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)) != FALSE;
    }
    bool SetItemText(int row, int subItem, const wchar_t* text) const noexcept;
    std::wstring ItemText(int row, int subItem) const;
    // The item data of a row; 0 when the row does not exist.
    LPARAM ItemData(int row) const noexcept;
    // The row's image index; -1 when the row does not exist.
    int ItemImage(int row) const noexcept;
    bool SetItemImage(int row, int image) const noexcept;
    UINT ItemState(int row, UINT mask) const noexcept {
        return static_cast<UINT>(Send(LVM_GETITEMSTATE, static_cast<WPARAM>(row), mask));
    }
    // row -1: every row.
    bool SetItemState(int row, UINT state, UINT mask) const noexcept;
    int NextItem(int start, UINT flags) const noexcept {
        return static_cast<int>(Send(LVM_GETNEXTITEM, static_cast<WPARAM>(start), MAKELPARAM(flags, 0)));
    }
    int SelectedCount() const noexcept { return static_cast<int>(Send(LVM_GETSELECTEDCOUNT)); }
    // The row and (in hit.iSubItem) the column under hit.pt; -1 for none.
    int SubItemHitTest(LVHITTESTINFO& hit) const noexcept {
        return static_cast<int>(Send(LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    }
    // The selected rows, top to bottom.
    std::vector<int> SelectedRows() const;
    int SelectionMark() const noexcept { return static_cast<int>(Send(LVM_GETSELECTIONMARK)); }
    void SetSelectionMark(int row) const noexcept { Send(LVM_SETSELECTIONMARK, 0, row); }
    bool ItemRect(int row, RECT& rect, int code) const noexcept {
        rect = RECT{};
        rect.left = code;
        return Send(LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&rect)) != FALSE;
    }
    bool RedrawItems(int first, int last) const noexcept { return Send(LVM_REDRAWITEMS, first, last) != FALSE; }
    bool EnsureVisible(int row) const noexcept { return Send(LVM_ENSUREVISIBLE, row, FALSE) != FALSE; }
    void SetRedraw(bool on) const noexcept { Send(WM_SETREDRAW, on ? TRUE : FALSE); }
};

// Switches a window's drawing off for the holder's life and repaints it at the end.
class RedrawOffGuard {
public:
    explicit RedrawOffGuard(const Window& window) noexcept : window_(window) {
        ::SendMessageW(window_, WM_SETREDRAW, FALSE, 0);
    }
    ~RedrawOffGuard() {
        ::SendMessageW(window_, WM_SETREDRAW, TRUE, 0);
        ::InvalidateRect(window_, nullptr, TRUE);
    }
    RedrawOffGuard(const RedrawOffGuard&) = delete;
    RedrawOffGuard& operator=(const RedrawOffGuard&) = delete;

private:
    HWND window_;
};

} // namespace winkit
