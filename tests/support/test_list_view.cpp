#include "support/test_list_view.h"

#include <commctrl.h>

TestListView::TestListView(const std::vector<std::wstring>& columnNames) {
    window_.reset(CreateWindowExW(0, L"STATIC", L"List view test", WS_OVERLAPPEDWINDOW, 0, 0, 600, 400, nullptr,
                                  nullptr, GetModuleHandleW(nullptr), nullptr));
    list_ = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | LVS_REPORT | LVS_SHOWSELALWAYS, 0, 0, 580, 380,
                            window_.get(), reinterpret_cast<HMENU>(251), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_HEADERDRAGDROP | LVS_EX_FULLROWSELECT,
                 LVS_EX_HEADERDRAGDROP | LVS_EX_FULLROWSELECT);
    for (const std::wstring& name : columnNames) {
        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM | LVCF_FMT;
        column.fmt = LVCFMT_LEFT;
        column.cx = 100;
        column.pszText = const_cast<wchar_t*>(name.c_str());
        column.iSubItem = columns_;
        SendMessageW(list_, LVM_INSERTCOLUMNW, columns_, reinterpret_cast<LPARAM>(&column));
        ++columns_;
    }
}

void TestListView::AddRow(const std::vector<std::wstring>& texts) {
    int row = static_cast<int>(SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0));
    LVITEMW item = {};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = const_cast<wchar_t*>(texts.empty() ? L"" : texts[0].c_str());
    row = static_cast<int>(SendMessageW(list_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    for (int c = 1; c < columns_ && c < static_cast<int>(texts.size()); ++c) {
        LVITEMW sub = {};
        sub.iSubItem = c;
        sub.pszText = const_cast<wchar_t*>(texts[c].c_str());
        SendMessageW(list_, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&sub));
    }
}

void TestListView::SetColumnOrder(const std::vector<int>& order) {
    SendMessageW(list_, LVM_SETCOLUMNORDERARRAY, order.size(), reinterpret_cast<LPARAM>(order.data()));
}

std::vector<int> TestListView::ColumnOrder() const {
    std::vector<int> order(columns_);
    SendMessageW(list_, LVM_GETCOLUMNORDERARRAY, order.size(), reinterpret_cast<LPARAM>(order.data()));
    return order;
}
