// Opening the To Do List: the columns, the rows and their pictures, the fetch, the header
// sort, the row questions the property dialog asks, resizing.
#include "tasklist_window_fixture.h"
#include "taskpropertydlg_fixture.h"

namespace {

const std::vector<std::wstring> kDefaultHeaders = {
    L"Task Name", L"Task Description", L"Item Name", L"Created Date", L"Created By", L"Modified Date",
    L"Modified By", L"Run Date", L"Run By", L"Source Doc Name", L"Source Doc Type", L"Task Category",
    L"Task Status", L"Deleted Flag"};

std::vector<std::wstring> Column(const CTaskListDlg& dialog, int column) {
    std::vector<std::wstring> texts;
    for (int row = 0; row < Access::RowCount(dialog); ++row) texts.push_back(Access::List(dialog).ItemText(row, column));
    return texts;
}

std::vector<int> Images(const CTaskListDlg& dialog) {
    std::vector<int> images;
    for (int row = 0; row < Access::RowCount(dialog); ++row) images.push_back(Access::List(dialog).ItemImage(row));
    return images;
}

// The mouse messages relayed to a tooltip, seen as they are sent to it.
struct RelaySpy {
    static inline HWND toolTip = nullptr;
    static inline std::vector<UINT> relayed;
    static LRESULT CALLBACK Hook(int code, WPARAM wparam, LPARAM lparam) {
        auto* m = reinterpret_cast<const CWPSTRUCT*>(lparam);
        if (code == HC_ACTION && m->hwnd == toolTip && m->message == TTM_RELAYEVENT)
            relayed.push_back(reinterpret_cast<const MSG*>(m->lParam)->message);
        return ::CallNextHookEx(nullptr, code, wparam, lparam);
    }
};

constexpr int kTaskName = 0, kCreatedDate = 3, kTaskStatus = 12;

} // namespace

TEST_F(TaskListWindow, OpensWithTheColumnsAndTheRowsInCollectionOrder) {
    INT_PTR code = Open([](CTaskListDlg& dialog) {
        EXPECT_EQ(L"To Do List", WindowText(dialog.hwnd()));
        EXPECT_EQ(kDefaultHeaders, Headers(dialog));
        for (int i = 0; i < 14; ++i) EXPECT_EQ(100, Access::List(dialog).ColumnWidth(i)) << i;
        EXPECT_EQ((std::vector<int>{1, 2, 3, 4, 5, 6}), RowKeys(dialog));
        EXPECT_EQ((std::vector<std::wstring>{L"Create P-101", L"Update Zeta", L"Manual alpha", L"Delete V-7",
                                             L"Claim 0101", L"Manual Pump"}),
                  Column(dialog, 0));
        // A manual task's own description; the others say what they will do.
        EXPECT_EQ(L"This task will Create P-101", Access::List(dialog).ItemText(0, 1));
        EXPECT_EQ(L"Description of alpha", Access::List(dialog).ItemText(2, 1));
        EXPECT_EQ(L"2026-12-05 12:00:00", Access::List(dialog).ItemText(0, 3));
        EXPECT_EQ((std::vector<std::wstring>{L"Open", L"InProgress", L"Completed", L"Deferred", L"Error",
                                             L"Completed"}),
                  Column(dialog, 12));
        EXPECT_EQ((std::vector<std::wstring>{L"", L"", L"", L"", L"", L"Deleted"}), Column(dialog, 13));
        EXPECT_EQ((std::vector<int>{0, 1, 2, 4, 3, 6}), Images(dialog));
        EXPECT_EQ(0, Access::List(dialog).SelectedCount());
    });
    EXPECT_EQ(IDCANCEL, code);
}

TEST_F(TaskListWindow, ButtonsCarryTheirCaptionsAndTooltips) {
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
        for (const auto& b : buttons) {
            EXPECT_EQ(b.caption, WindowText(dialog.Item(b.id))) << b.id;
            EXPECT_EQ(b.toolTip, ToolTipText(dialog.Item(b.id))) << b.id;
        }
        // Under the null driver a tooltip learns of the mouse only from its button's relay.
        HWND button = dialog.Item(IDC_TASKLIST_REFRESH);
        RelaySpy::toolTip = ToolTipOf(button);
        RelaySpy::relayed.clear();
        HHOOK hook = ::SetWindowsHookExW(WH_CALLWNDPROC, &RelaySpy::Hook, nullptr, ::GetCurrentThreadId());
        for (UINT message : std::vector<UINT>{WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, 0x20E, WM_KEYDOWN, 0x20F})
            ::SendMessageW(button, message, 0, MAKELPARAM(3, 3));
        ::ReleaseCapture();
        ::UnhookWindowsHookEx(hook);
        EXPECT_EQ((std::vector<UINT>{WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, 0x20E}),
                  RelaySpy::relayed);
    });
}

// The fetch at open and at Refresh; a failed one (the request not executed, not made)
// keeps the rows.
TEST_F(TaskListWindow, TheFetchAtOpenAndRefreshFillsTheRowsAndAFailedOneKeepsThem) {
    RequestScript script;
    script.outputs[L"GetTaskList"] =
        L"<TaskItemList>\n<Privilege Delete=\"1\" Run=\"0\" Defer=\"1\"/>\n"
        L"<TaskItem ToDo_Index=\"1\" ToDo_Name=\"pump P-101A\" ToDo_Category=\"0\" ToDo_Status=\"0\"/>\n"
        L"<TaskItem ToDo_Index=\"2\" ToDo_Name=\"Check seals\" ToDo_Description=\"Look at the seals\" "
        L"ToDo_Category=\"5\" ToDo_Status=\"4\"/>\n"
        L"<TaskItem ToDo_Index=\"3\" ToDo_Name=\"line 0101\" ToDo_Category=\"9\" ToDo_Status=\"7\"/>\n"
        L"</TaskItemList>\n";
    workspace->UseScript(script);
    const std::wstring fetch = L"SetFlags 0|SetComponent QRDBEFrameworkSvcs.Main|SetMethod GetTaskList|Execute 0|";
    auto calls = [&] {
        std::wstring text;
        for (const std::wstring& call : script.log->calls) text += call + L"|";
        script.log->calls.clear();
        return text;
    };
    Open([&](CTaskListDlg& dialog) {
        EXPECT_EQ(fetch + L"GetOutput|(released)|", calls());
        EXPECT_EQ((std::vector<std::wstring>{L"Create pump P-101A", L"Manual Check seals", L"9 line 0101"}),
                  Column(dialog, 0));
        EXPECT_EQ(L"Look at the seals", Access::List(dialog).ItemText(1, 1));
        EXPECT_EQ(L"7", Access::List(dialog).ItemText(2, 12));  // codes outside the tables as numbers
        EXPECT_EQ((std::vector<int>{0, 4, kImageBlank}), Images(dialog));
        Select(dialog, {0});  // the document's privileges: Delete and Defer, not Run
        EXPECT_EQ("10111", States(dialog));

        script.outputs[L"GetTaskList"] =
            L"<TaskItemList><TaskItem ToDo_Index=\"1\" ToDo_Name=\"only\" ToDo_Category=\"5\"/></TaskItemList>";
        Click(dialog.hwnd(), IDC_TASKLIST_REFRESH);
        EXPECT_EQ(fetch + L"GetOutput|(released)|", calls());
        script.executeResults[L"GetTaskList"] = E_FAIL;
        Click(dialog.hwnd(), IDC_TASKLIST_REFRESH);
        EXPECT_EQ(fetch + L"(released)|", calls());
        script.executeResults.clear();
        script.createResult = E_OUTOFMEMORY;
        Click(dialog.hwnd(), IDC_TASKLIST_REFRESH);
        EXPECT_EQ((std::vector<std::wstring>{L"Manual only"}), Column(dialog, 0));
    }, workspace.get());
}

TEST_F(TaskListWindow, HeaderClicksSortAscendingThenReversedTiesKeepTheirOrder) {
    // Names: Create P-101, Update Zeta, Manual alpha, Delete V-7, Claim 0101, Manual Pump;
    // created: 2026-12-05, "", 2026-01-31, 2025-12-31, "garbage", 2026-06-01.
    const struct {
        int column;
        std::vector<int> keys;
    } clicks[] = {
        {kTaskName, {5, 1, 4, 6, 3, 2}},  // upper case before lower case
        {kTaskName, {2, 3, 6, 4, 1, 5}},
        {kTaskStatus, {1, 2, 3, 6, 5, 4}},  // another column starts ascending; 3 and 6 tie
        {kCreatedDate, {4, 3, 6, 1, 2, 5}},  // by date; texts that are not dates last
        {kCreatedDate, {2, 5, 1, 6, 3, 4}},
    };
    Open([&](CTaskListDlg& dialog) {
        Select(dialog, {0, 5});  // tasks 1 and 6
        Access::List(dialog).SetItemState(5, LVIS_FOCUSED, LVIS_FOCUSED);
        for (const auto& click : clicks) {
            ClickHeader(dialog, click.column);
            EXPECT_EQ(click.keys, RowKeys(dialog)) << "column " << click.column;
        }
        // Selection, focus, pictures and texts stay with their rows.
        EXPECT_EQ((std::vector<int>{1, 6}), Access::SelectedKeys(dialog));
        int row6 = Access::FindRow(dialog, 6);
        EXPECT_EQ(static_cast<UINT>(LVIS_FOCUSED), Access::List(dialog).ItemState(row6, LVIS_FOCUSED));
        EXPECT_EQ(kImageDeleted, Access::List(dialog).ItemImage(row6));
        EXPECT_EQ(L"Manual Pump|Deleted", Access::List(dialog).ItemText(row6, 0) + L"|" + Access::List(dialog).ItemText(row6, 13));
        EXPECT_EQ(L"2026-12-05 12:00:00", Access::List(dialog).ItemText(2, kCreatedDate));
        // Refresh returns to collection order; a fill with a sort column set sorts again.
        Click(dialog.hwnd(), IDC_TASKLIST_REFRESH);
        EXPECT_EQ((std::vector<int>{1, 2, 3, 4, 5, 6}), RowKeys(dialog));
        ClickHeader(dialog, kTaskName);
        Command(dialog, ID_TASKLIST_OPENTASKS);
        EXPECT_EQ((std::vector<int>{5, 4, 6, 3, 2}), RowKeys(dialog));
    });
}

TEST_F(TaskListWindow, RowQuestionsOfThePropertyDialogFollowTheRowsAsListed) {
    Open([&](CTaskListDlg& dialog) {
        ClickHeader(dialog, kTaskName);  // rows 5, 1, 4, 6, 3, 2
        const TaskPropertyOwner& owner = dialog;
        const struct {
            int key;
            bool first, last;
            int previous, next;
        } cases[] = {{5, true, false, -1, 1}, {1, false, false, 5, 4}, {3, false, false, 6, 2},
                     {2, false, true, 3, -1}, {42, false, false, -1, -1}};
        for (const auto& c : cases) {
            EXPECT_EQ(c.first, owner.IsFirstRow(c.key)) << c.key;
            EXPECT_EQ(c.last, owner.IsLastRow(c.key)) << c.key;
            EXPECT_EQ(c.previous, owner.PreviousKey(c.key)) << c.key;
            EXPECT_EQ(c.next, owner.NextKey(c.key)) << c.key;
        }
        Access::Rules(dialog).push_back({L"Task Name", kIsEqual, L"nothing"});
        Access::FillRows(dialog);
        ASSERT_EQ(0, Access::RowCount(dialog));
        EXPECT_FALSE(owner.IsFirstRow(0));
        EXPECT_FALSE(owner.IsLastRow(0));
        EXPECT_EQ(-1, owner.NextKey(0));
    });
}

TEST_F(TaskListWindow, ResizingKeepsTheListsMargins) {
    Open([&](CTaskListDlg& dialog) {
        RECT client = dialog.ClientRect(), list = Access::List(dialog).RectInParent(), window;
        ::GetWindowRect(dialog, &window);
        ::SetWindowPos(dialog, nullptr, 0, 0, window.right - window.left + 150, window.bottom - window.top + 90,
                       SWP_NOMOVE | SWP_NOZORDER);
        RECT grownClient = dialog.ClientRect(), grown = Access::List(dialog).RectInParent();
        EXPECT_EQ(client.right - list.right, grownClient.right - grown.right);
        EXPECT_EQ(client.bottom - list.bottom, grownClient.bottom - grown.bottom);
        EXPECT_EQ(list.left, grown.left);
        EXPECT_EQ(list.top, grown.top);
        EXPECT_EQ(list.right - list.left + 150, grown.right - grown.left);
    });
}
