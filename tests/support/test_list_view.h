#pragma once
// A report-view list view in a hidden window, filled by the test.
#include <windows.h>
#include <commctrl.h>
#include <string>
#include <vector>
#include "winkit/unique_handle.h"

class TestListView {
public:
    explicit TestListView(const std::vector<std::wstring>& columnNames) {
        window_.reset(CreateWindowExW(0, L"STATIC", L"List view test", WS_OVERLAPPEDWINDOW, 0, 0, 600, 400, nullptr,
                                      nullptr, GetModuleHandleW(nullptr), nullptr));
        list_ = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | LVS_REPORT | LVS_SHOWSELALWAYS, 0, 0, 580, 380,
                                window_.get(), reinterpret_cast<HMENU>(251), GetModuleHandleW(nullptr), nullptr);
        SendMessageW(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_HEADERDRAGDROP, LVS_EX_HEADERDRAGDROP);
        for (const std::wstring& name : columnNames) {
            LVCOLUMNW column = {};
            column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
            column.cx = 100;
            column.pszText = const_cast<wchar_t*>(name.c_str());
            column.iSubItem = columns_;
            SendMessageW(list_, LVM_INSERTCOLUMNW, columns_++, reinterpret_cast<LPARAM>(&column));
        }
    }

    // Appends a row; texts beyond the columns are ignored, missing ones stay empty.
    void AddRow(const std::vector<std::wstring>& texts) {
        LVITEMW item = {};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0));
        item.pszText = const_cast<wchar_t*>(texts.empty() ? L"" : texts[0].c_str());
        int row = static_cast<int>(SendMessageW(list_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
        for (int c = 1; c < columns_ && c < static_cast<int>(texts.size()); ++c) {
            item.iSubItem = c;
            item.pszText = const_cast<wchar_t*>(texts[c].c_str());
            SendMessageW(list_, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
        }
    }
    // The order the user dragged the columns to (LVM_SETCOLUMNORDERARRAY).
    void SetColumnOrder(const std::vector<int>& order) {
        SendMessageW(list_, LVM_SETCOLUMNORDERARRAY, order.size(), reinterpret_cast<LPARAM>(order.data()));
    }

    HWND list() const { return list_; }
    HWND window() const { return window_.get(); }

private:
    winkit::UniqueHWnd window_;
    HWND list_ = nullptr;
    int columns_ = 0;
};
