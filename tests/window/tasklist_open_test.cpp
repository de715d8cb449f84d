// Opening the To Do List: the columns, the rows and their pictures, the buttons, the
// header sort and the row questions the property dialog asks.
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

constexpr int kTaskName = 0, kCreatedDate = 3, kTaskStatus = 12;

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

// The rows in collection order: a manual task's own description, the others say what
// they will do; the buttons with their captions and tooltips.
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

// The property dialog's row questions follow the rows as sorted.
TEST_F(TaskListWindow, HeaderClicksSortAscendingThenReversedTiesKeepTheirOrder) {
    // Names: Create P-101, Update Zeta, Manual alpha, Delete V-7, Claim 0101, Manual Pump;
    // created: 2026-12-05, "", 2026-01-31, 2025-12-31, "garbage", 2026-06-01.
    const struct {
        int column;
        std::vector<int> keys;
    } clicks[] = {
        {kTaskName, {2, 3, 6, 4, 1, 5}},
        {kTaskStatus, {1, 2, 3, 6, 5, 4}},  // another column starts ascending; 3 and 6 tie
        {kCreatedDate, {4, 3, 6, 1, 2, 5}},  // by date; texts that are not dates last
        {kCreatedDate, {2, 5, 1, 6, 3, 4}},
    };
    Open([&](CTaskListDlg& dialog) {
        Select(dialog, {1, 6});
        ClickHeader(dialog, kTaskName);
        EXPECT_EQ((std::vector<int>{5, 1, 4, 6, 3, 2}), RowKeys(dialog));  // upper case before lower case
        const TaskPropertyOwner& owner = dialog;
        std::wstring answers;  // per key: first, last, previous, next
        for (int key : {5, 1, 3, 2, 42})
            answers += std::to_wstring(owner.IsFirstRow(key)) + std::to_wstring(owner.IsLastRow(key)) + L" " +
                       std::to_wstring(owner.PreviousKey(key)) + L" " + std::to_wstring(owner.NextKey(key)) + L"|";
        EXPECT_EQ(L"10 -1 1|00 5 4|00 6 2|01 3 -1|00 -1 -1|", answers);
        for (const auto& click : clicks) {
            ClickHeader(dialog, click.column);
            EXPECT_EQ(click.keys, RowKeys(dialog)) << "column " << click.column;
        }
        EXPECT_EQ((std::vector<int>{1, 6}), Access::SelectedKeys(dialog));  // the selection stays with its rows
        // Refresh returns to collection order; a fill with a sort column set sorts again.
        Click(dialog.hwnd(), IDC_TASKLIST_REFRESH);
        EXPECT_EQ((std::vector<int>{1, 2, 3, 4, 5, 6}), RowKeys(dialog));
        ClickHeader(dialog, kTaskName);
        Command(dialog, ID_TASKLIST_OPENTASKS);
        EXPECT_EQ((std::vector<int>{5, 4, 6, 3, 2}), RowKeys(dialog));
    });
}
