// Opening the To Do List.
#include <algorithm>
#include "tasklist_window_fixture.h"

namespace {

const std::vector<std::wstring> kDefaultHeaders = {
    L"Task Name", L"Task Description", L"Item Name", L"Created Date", L"Created By", L"Modified Date",
    L"Modified By", L"Run Date", L"Run By", L"Source Doc Name", L"Source Doc Type", L"Task Category",
    L"Task Status", L"Deleted Flag"};

// Per row "task name|description|created|status|deleted flag:picture".
std::vector<std::wstring> Rows(const CTaskListDlg& dialog) {
    std::vector<std::wstring> rows;
    for (int row = 0; row < Access::RowCount(dialog); ++row) {
        std::wstring text;
        for (int column : {0, 1, 3, 12, 13}) text += (column ? L"|" : L"") + Access::List(dialog).ItemText(row, column);
        rows.push_back(text + L":" + std::to_wstring(Access::List(dialog).ItemImage(row)));
    }
    return rows;
}

constexpr int kTaskName = 0, kCreatedDate = 3;

// The text of the button's tool in the first tooltip window that has one.
std::wstring ToolTipText(HWND button) {
    wchar_t text[128] = {};
    TTTOOLINFOW tool = {};
    tool.cbSize = TTTOOLINFOW_V1_SIZE;
    tool.hwnd = button;
    tool.uId = reinterpret_cast<UINT_PTR>(button);
    tool.lpszText = text;
    for (HWND tip = nullptr; !text[0] && (tip = ::FindWindowExW(nullptr, tip, TOOLTIPS_CLASSW, nullptr));)
        ::SendMessageW(tip, TTM_GETTEXTW, 127, reinterpret_cast<LPARAM>(&tool));
    return text;
}

} // namespace

TEST_F(TaskListWindow, OpensWithTheColumnsTheRowsInCollectionOrderAndTheButtons) {
    const struct {
        int id;
        const wchar_t *caption, *toolTip;
    } buttons[] = {
        {256, L"Manual Task", L"New Manual Task"}, {257, L"Properties", L"Properties"},
        {252, L"REFRESH", L"Refresh"},             {260, L"Report", L"Report"},
        {253, L"Action", L"Run Task"},             {254, L"Defer", L"Defer Task"},
        {255, L"Delete", L"Delete Task"},          {259, L"DeleteFromServer", L"Permanently Delete Task"},
    };
    Open([&](CTaskListDlg& dialog) {
        EXPECT_EQ(kDefaultHeaders, Headers(dialog));
        for (int i = 0; i < 14; ++i) EXPECT_EQ(100, Access::List(dialog).ColumnWidth(i)) << i;
        EXPECT_EQ((std::vector<std::wstring>{
                      L"Create P-101|This task will Create P-101|2026-12-05 12:00:00|Open|:0",
                      L"Update Zeta|This task will Update Zeta||InProgress|:1",
                      L"Manual alpha|described alpha|2026-01-31 08:00:00|Completed|:2",
                      L"Delete V-7|This task will Delete V-7|2025-12-31 23:59:59|Deferred|:4",
                      L"Claim 0101|This task will Claim 0101|garbage|Error|:3",
                      L"Manual Pump|described Pump|2026-06-01 10:00:00|Completed|Deleted:6"}),
                  Rows(dialog));
        for (const auto& b : buttons) {
            EXPECT_EQ(b.caption, WindowText(dialog.Item(b.id))) << b.id;
            EXPECT_EQ(b.toolTip, ToolTipText(dialog.Item(b.id))) << b.id;
        }
    });
}

// "^" / "v" where a header shows the sort arrow up / down, "-" where it shows none.
std::string Arrows(const CTaskListDlg& dialog) {
    std::string arrows;
    winkit::HeaderCtrl header = Access::List(dialog).Header();
    for (int i = 0; i < header.ItemCount(); ++i) {
        winkit::HdItem item;
        item.mask = HDI_FORMAT;
        header.GetItem(i, item);
        arrows += (item.fmt & HDF_SORTUP) ? '^' : (item.fmt & HDF_SORTDOWN) ? 'v' : '-';
    }
    return arrows;
}

// The same tasks stay selected, focused and marked through the header's sorts; the sorted
// column alone shows the arrow of its direction; Refresh clears the sort and the arrow.
TEST_F(TaskListWindow, HeaderClicksKeepTheSelectionAndShowTheSortArrow) {
    // The orders themselves are the model's; here the rows follow it.
    const std::pair<int, std::string> clicks[] = {
        {kTaskName, "^-------------"}, {kTaskName, "v-------------"}, {kCreatedDate, "---^----------"}};
    Open([&](CTaskListDlg& dialog) {
        const winkit::ListViewCtrl& list = Access::List(dialog);
        Select(dialog, {1, 6});
        list.SetItemState(Access::FindRow(dialog, 6), LVIS_FOCUSED, LVIS_FOCUSED);
        list.SetSelectionMark(Access::FindRow(dialog, 1));
        for (const auto& [column, arrows] : clicks) {
            ClickHeader(dialog, column);
            EXPECT_EQ(arrows, Arrows(dialog)) << column;
            std::vector<int> selected = Access::SelectedKeys(dialog);
            std::sort(selected.begin(), selected.end());
            EXPECT_EQ((std::vector<int>{1, 6}), selected) << column;
            EXPECT_EQ(L"6 1", std::to_wstring(Access::RowKey(dialog, list.NextItem(-1, LVNI_FOCUSED))) + L" " +
                                  std::to_wstring(Access::RowKey(dialog, list.SelectionMark())));
            EXPECT_EQ("10001", States(dialog));
        }
        EXPECT_EQ((std::vector<int>{4, 3, 6, 1, 2, 5}), RowKeys(dialog));  // by Created Date
        Click(dialog.hwnd(), IDC_TASKLIST_REFRESH);
        EXPECT_EQ((std::vector<int>{1, 2, 3, 4, 5, 6}), RowKeys(dialog));
        EXPECT_EQ("--------------", Arrows(dialog));
        EXPECT_EQ("00000", States(dialog));
    });
}

// The list asks for every text and picture: texts are cut to its buffer, a search by key
// or by text that finds nothing answers -1, and typing a letter selects the next row
// whose first column starts with it.
TEST_F(TaskListWindow, TheListAsksForTextsFindsByKeyAndTypeAhead) {
    Open([&](CTaskListDlg& dialog) {
        const winkit::ListViewCtrl& list = Access::List(dialog);
        wchar_t text[5] = {};
        LVITEMW item = {};
        item.iSubItem = 1;
        item.pszText = text;
        item.cchTextMax = 5;
        list.Send(LVM_GETITEMTEXTW, 0, reinterpret_cast<LPARAM>(&item));
        EXPECT_EQ(std::wstring(L"This"), text);
        auto find = [&](UINT flags, int start, const wchar_t* what, LPARAM key) {
            LVFINDINFOW info = {flags, what, key};
            return static_cast<int>(list.Send(LVM_FINDITEMW, static_cast<WPARAM>(start), reinterpret_cast<LPARAM>(&info)));
        };
        EXPECT_EQ(L"4 -1 5 -1 0", std::to_wstring(find(LVFI_PARAM, -1, nullptr, 5)) + L" " +
                                      std::to_wstring(find(LVFI_PARAM, -1, nullptr, 42)) + L" " +
                                      std::to_wstring(find(LVFI_STRING, -1, L"manual pump", 0)) + L" " +
                                      std::to_wstring(find(LVFI_STRING | LVFI_PARTIAL, -1, L"Q", 0)) + L" " +
                                      std::to_wstring(find(LVFI_STRING | LVFI_PARTIAL | LVFI_WRAP, 3, L"cr", 0)));
        list.Send(WM_CHAR, L'm', 1);
        EXPECT_EQ((std::vector<int>{3}), Access::SelectedKeys(dialog));  // "Manual alpha", completed
        EXPECT_EQ("10011", States(dialog));
    });
}

// Select-all and a Shift range reach the buttons, though the list tells only the range.
TEST_F(TaskListWindow, SelectAllAndShiftRangesReachTheButtons) {
    Open([&](CTaskListDlg& dialog) {
        const winkit::ListViewCtrl& list = Access::List(dialog);
        auto key = [&](UINT vk, bool shift) {
            Hold(shift, false);
            list.Send(WM_KEYDOWN, vk, 0);
            Hold(false, false);
            return States(dialog);
        };
        list.SetItemState(-1, LVIS_SELECTED, LVIS_SELECTED);
        EXPECT_EQ("10001", States(dialog));  // the deleted task among them
        list.SetItemState(-1, 0, LVIS_SELECTED);
        EXPECT_EQ("00000", States(dialog));
        // Open, then in progress, then completed, then the deleted one join the range.
        std::string states;
        for (auto [vk, shift] : {std::pair{VK_HOME, false}, {VK_DOWN, true}, {VK_DOWN, true}, {VK_END, true}, {VK_HOME, false}})
            states += key(vk, shift) + " ";
        EXPECT_EQ("11111 11111 10011 10001 11111 ", states);
    });
}
