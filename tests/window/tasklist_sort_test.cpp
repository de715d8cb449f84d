// Header clicks sort the rows; Refresh returns to collection order; the row questions.
#include "tasklist_window_fixture.h"

namespace {

constexpr int kTaskName = 0, kCreatedDate = 3, kTaskStatus = 12;

} // namespace

TEST_F(TaskListWindow, HeaderClicksSortAscendingThenReverse) {
    Open([&](CTaskListDlg& dialog) {
        // Task names: Create P-101, Update Zeta, Manual alpha, Delete V-7, Claim 0101, Manual Pump.
        ClickHeader(dialog, kTaskName);
        EXPECT_EQ(kTaskName, dialog.SortColumn());
        EXPECT_TRUE(dialog.SortAscending());
        EXPECT_EQ((std::vector<int>{5, 1, 4, 6, 3, 2}), RowKeys(dialog));
        ClickHeader(dialog, kTaskName);
        EXPECT_FALSE(dialog.SortAscending());
        EXPECT_EQ((std::vector<int>{2, 3, 6, 4, 1, 5}), RowKeys(dialog));
        // Another column starts ascending again; equal rows keep the order they were listed in
        // (the two Completed tasks 3 and 6).
        ClickHeader(dialog, kTaskStatus);
        EXPECT_TRUE(dialog.SortAscending());
        EXPECT_EQ((std::vector<int>{1, 2, 3, 6, 5, 4}), RowKeys(dialog));
    });
}

TEST_F(TaskListWindow, ZetaBeforeAlpha) {
    tasks = {MakeTask(1, kCategoryManual, L"alpha", 0, L""), MakeTask(2, kCategoryManual, L"Zeta", 0, L"")};
    Open([&](CTaskListDlg& dialog) {
        ClickHeader(dialog, kTaskName);
        EXPECT_EQ(L"Manual Zeta", dialog.List().ItemText(0, 0));
        EXPECT_EQ(L"Manual alpha", dialog.List().ItemText(1, 0));
    });
}

TEST_F(TaskListWindow, DatesSortAsTimeWithTextsThatAreNotDatesLastAscendingFirstDescending) {
    // Created: 1 2026-12-05 12:00, 2 "", 3 2026-01-31, 4 2025-12-31, 5 "garbage", 6 2026-06-01.
    Open([&](CTaskListDlg& dialog) {
        ClickHeader(dialog, kCreatedDate);
        EXPECT_EQ((std::vector<int>{4, 3, 6, 1, 2, 5}), RowKeys(dialog));
        ClickHeader(dialog, kCreatedDate);
        EXPECT_EQ((std::vector<int>{2, 5, 1, 6, 3, 4}), RowKeys(dialog));
        EXPECT_EQ(L"", dialog.List().ItemText(0, kCreatedDate));
        EXPECT_EQ(L"2026-12-05 12:00:00", dialog.List().ItemText(2, kCreatedDate));  // the latest date first
    });
}

TEST_F(TaskListWindow, SortKeepsSelectionPicturesAndTextsWithTheirRows) {
    Open([&](CTaskListDlg& dialog) {
        Select(dialog, {0, 5});  // tasks 1 and 6
        dialog.List().SetItemState(5, LVIS_FOCUSED, LVIS_FOCUSED);
        ClickHeader(dialog, kTaskName);
        std::vector<int> selected = dialog.SelectedKeys();
        EXPECT_EQ((std::vector<int>{1, 6}), selected);
        int row6 = dialog.FindRow(6);
        EXPECT_EQ(static_cast<UINT>(LVIS_FOCUSED), dialog.List().ItemState(row6, LVIS_FOCUSED));
        EXPECT_EQ(kImageDeleted, dialog.List().ItemImage(row6));
        EXPECT_EQ(L"Manual Pump", dialog.List().ItemText(row6, 0));
        EXPECT_EQ(L"Deleted", dialog.List().ItemText(row6, 13));
        EXPECT_TRUE(::IsWindowEnabled(dialog.Item(IDC_TASKLIST_PROPERTIES)));
    });
}

TEST_F(TaskListWindow, EqualRowsKeepTheirOrderWhateverTheListViewDoes) {
    tasks.clear();
    for (int i = 1; i <= 40; ++i) tasks.push_back(MakeTask(i, 0, L"same", i % 2 ? kStatusOpen : kStatusError, L""));
    Open([&](CTaskListDlg& dialog) {
        ClickHeader(dialog, kTaskStatus);
        std::vector<int> expected;
        for (int i = 1; i <= 40; i += 2) expected.push_back(i);
        for (int i = 2; i <= 40; i += 2) expected.push_back(i);
        EXPECT_EQ(expected, RowKeys(dialog));
        ClickHeader(dialog, kTaskName);  // all equal: the order stays
        EXPECT_EQ(expected, RowKeys(dialog));
    });
}

TEST_F(TaskListWindow, AColumnOutsideTheTableShowsNothingAndDoesNotReorder) {
    store.Set(ColumnPath(0), L"Name", L"Task Name");
    store.Set(ColumnPath(1), L"Name", L"Priority");
    Open([&](CTaskListDlg& dialog) {
        ClickHeader(dialog, kTaskName);
        std::vector<int> sorted = RowKeys(dialog);
        ClickHeader(dialog, 1);
        EXPECT_EQ(sorted, RowKeys(dialog));
        for (int row = 0; row < dialog.RowCount(); ++row) EXPECT_EQ(L"", dialog.List().ItemText(row, 1));
    });
}

TEST_F(TaskListWindow, RefreshReturnsToCollectionOrder) {
    Open([&](CTaskListDlg& dialog) {
        ClickHeader(dialog, kTaskName);
        ClickHeader(dialog, kTaskName);
        ASSERT_NE((std::vector<int>{1, 2, 3, 4, 5, 6}), RowKeys(dialog));
        Click(dialog.hwnd(), IDC_TASKLIST_REFRESH);
        EXPECT_EQ(-1, dialog.SortColumn());
        EXPECT_FALSE(dialog.SortAscending());  // the direction keeps its value
        EXPECT_EQ((std::vector<int>{1, 2, 3, 4, 5, 6}), RowKeys(dialog));
        // A fill with a sort column set sorts again.
        ClickHeader(dialog, kTaskName);
        Command(dialog, ID_TASKLIST_OPENTASKS);
        EXPECT_EQ((std::vector<int>{5, 4, 6, 3, 2}), RowKeys(dialog));
    });
}

TEST_F(TaskListWindow, RowQuestionsOnTheRowsAsListed) {
    Open([&](CTaskListDlg& dialog) {
        ClickHeader(dialog, kTaskName);  // rows 5, 1, 4, 6, 3, 2
        EXPECT_TRUE(dialog.IsFirstRow(5));
        EXPECT_FALSE(dialog.IsFirstRow(1));
        EXPECT_TRUE(dialog.IsLastRow(2));
        EXPECT_FALSE(dialog.IsLastRow(3));
        EXPECT_EQ(-1, dialog.PreviousKey(5));
        EXPECT_EQ(5, dialog.PreviousKey(1));
        EXPECT_EQ(3, dialog.PreviousKey(2));
        EXPECT_EQ(1, dialog.NextKey(5));
        EXPECT_EQ(2, dialog.NextKey(3));
        EXPECT_EQ(-1, dialog.NextKey(2));
        // A key that no row shows.
        EXPECT_EQ(-1, dialog.PreviousKey(42));
        EXPECT_EQ(-1, dialog.NextKey(42));

        const TaskPropertyOwner& owner = dialog;
        EXPECT_TRUE(owner.IsFirstRow(5));
        EXPECT_EQ(6, owner.NextKey(4));

        // Nothing listed.
        Command(dialog, ID_TASKLIST_OPENTASKS);
        Command(dialog, ID_TASKLIST_COMPLETEDTASKS);
        Command(dialog, ID_TASKLIST_DEFERREDTASKS);
        dialog.Rules().push_back({L"Task Name", kIsEqual, L"nothing"});
        dialog.FillRows();
        ASSERT_EQ(0, dialog.RowCount());
        EXPECT_FALSE(dialog.IsFirstRow(0));
        EXPECT_FALSE(dialog.IsLastRow(0));
        EXPECT_EQ(-1, dialog.NextKey(0));
    });
}

TEST_F(TaskListWindow, ResizingKeepsTheListsMargins) {
    Open([&](CTaskListDlg& dialog) {
        RECT client = dialog.ClientRect();
        RECT list = dialog.List().RectInParent();
        int right = client.right - list.right, bottom = client.bottom - list.bottom;
        RECT window;
        ::GetWindowRect(dialog, &window);
        ::SetWindowPos(dialog, nullptr, 0, 0, window.right - window.left + 150, window.bottom - window.top + 90,
                       SWP_NOMOVE | SWP_NOZORDER);
        RECT grownClient = dialog.ClientRect();
        RECT grown = dialog.List().RectInParent();
        EXPECT_EQ(right, grownClient.right - grown.right);
        EXPECT_EQ(bottom, grownClient.bottom - grown.bottom);
        EXPECT_EQ(list.left, grown.left);
        EXPECT_EQ(list.top, grown.top);
        EXPECT_EQ(list.right - list.left + 150, grown.right - grown.left);
    });
}
