// The view settings: loaded at open, stored after Configure View.
#include "res/configureviewres.h"
#include "tasklist_window_fixture.h"

// Stored columns come back in their order with their widths; a column dragged and
// resized is stored where it shows.
TEST_F(TaskListWindow, StoredColumnsOrderAndWidthsComeBack) {
    auto columns = [](const CTaskListDlg& dialog) {  // the first two with their widths, the count
        std::vector<std::wstring> headers = Headers(dialog);
        return headers.at(0) + L" " + std::to_wstring(Access::List(dialog).ColumnWidth(0)) + L"|" + headers.at(1) +
               L" " + std::to_wstring(Access::List(dialog).ColumnWidth(1)) + L"|" + std::to_wstring(headers.size());
    };
    store.Set(ColumnPath(0), L"Name", L"Item Name");
    store.Set(ColumnPath(0), L"Width", L"250");
    store.Set(ColumnPath(1), L"Name", L"Task Status");
    Open([&](CTaskListDlg& dialog) {
        EXPECT_EQ(L"Item Name 250|Task Status 100|2", columns(dialog));
        EXPECT_EQ(L"P-101|Open", Access::List(dialog).ItemText(0, 0) + L"|" + Access::List(dialog).ItemText(0, 1));
    });
    store.Clear();
    Open([&](CTaskListDlg& dialog) {
        std::vector<int> order = {7, 0, 1, 2, 3, 4, 5, 6, 8, 9, 10, 11, 12, 13};  // Run Date dragged to the front
        ASSERT_TRUE(Access::List(dialog).SetColumnOrderArray(order));
        Access::List(dialog).SetColumnWidth(0, 250);
        Access::List(dialog).SetColumnWidth(7, 60);
    });
    auto stored = [&](int i) { return store.Get(ColumnPath(i), L"Name") + L" " + store.Get(ColumnPath(i), L"Width"); };
    EXPECT_EQ(L"Run Date 60|Task Name 250|Run By 100", stored(0) + L"|" + stored(1) + L"|" + stored(8));
    Open([&](CTaskListDlg& dialog) { EXPECT_EQ(L"Run Date 60|Task Name 250|14", columns(dialog)); });
}

// Cancel changes nothing; OK sets every column to 100 pixels, stores the columns and
// refills the rows, filtered, sorted by the column that now has the sort column's index.
TEST_F(TaskListWindow, ConfigureViewOkSetsEveryColumnTo100PixelsStoresAndRefillsFilteredSorted) {
    Open([&](CTaskListDlg& dialog) {
        for (int i = 0; i < 14; ++i) Access::List(dialog).SetColumnWidth(i, 250);
        WhenDialogShown(L"Configure View", [](HWND view) {
            Click(view, IDC_CV_REMOVEALL);
            Click(view, IDCANCEL);
        });
        store.ClearLog();
        Command(dialog, ID_TASKLIST_SETTINGS);
        EXPECT_TRUE(store.Log().empty());
        EXPECT_EQ(250, Access::List(dialog).ColumnWidth(0));

        ClickHeader(dialog, 1);  // sort by the column that is second now: Task Description
        WhenDialogShown(L"Configure View", [](HWND view) {
            ::SendDlgItemMessageW(view, IDC_CV_VISIBLE, LB_SETCURSEL, 0, 0);  // Task Name
            Click(view, IDC_CV_REMOVE);
            ::SetDlgItemTextW(view, IDC_CV_COLUMN, L"Item Name");
            ::SetDlgItemTextW(view, IDC_CV_VALUE, L"01");
            ::CheckRadioButton(view, IDC_CV_BEGINSWITH, IDC_CV_ISEQUAL, IDC_CV_ENDSWITH);
            Click(view, IDC_CV_RULE_ADD);
            Click(view, IDOK);
        });
        Command(dialog, ID_TASKLIST_SETTINGS);
        std::vector<std::wstring> headers = Headers(dialog);
        ASSERT_EQ(13u, headers.size());
        EXPECT_EQ(L"Task Description|Item Name", headers[0] + L"|" + headers[1]);
        for (int i = 0; i < 13; ++i) EXPECT_EQ(100, Access::List(dialog).ColumnWidth(i)) << i;
        EXPECT_EQ(L"Task Description", store.Get(ColumnPath(0), L"Name"));
        EXPECT_EQ(L"(absent)", store.Get(ColumnPath(13), L"Name"));
        EXPECT_EQ((std::vector<int>{5, 1}), RowKeys(dialog));  // by Item Name, ending in 01
    });
    // The rules filter the rows but are never stored.
    for (const auto& [where, text] : store.Values()) EXPECT_EQ(std::wstring::npos, text.find(L"01")) << where;
}
