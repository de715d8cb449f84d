// The view settings: loaded at open, stored on every way of closing and after Configure View.
#include "res/configureviewres.h"
#include "tasklist_window_fixture.h"

TEST_F(TaskListWindow, EveryWayOfClosingStoresTheSettings) {
    const struct {
        const char* name;
        UINT message;
        WPARAM command;
        INT_PTR code;
    } ways[] = {
        {"OK (Enter)", WM_COMMAND, IDOK, IDOK},
        {"Cancel (Escape)", WM_COMMAND, IDCANCEL, IDCANCEL},
        {"close box", WM_SYSCOMMAND, SC_CLOSE, IDCANCEL},
    };
    for (const auto& way : ways) {
        store.Clear();
        EXPECT_EQ(way.code, Open([&](CTaskListDlg& dialog) {
            store.ClearLog();
            dialog.Send(way.message, way.command, 0);
        })) << way.name;
        std::vector<std::wstring> log = store.Log();
        ASSERT_FALSE(log.empty()) << way.name;
        EXPECT_EQ(L"CoCreateInstance(QRClientTools.Globals)", log.front()) << way.name;
        EXPECT_EQ(L"EndEntries QRClientTools/ToDoListSettings/Columns/14", log.back()) << way.name;
        EXPECT_EQ(L"1", store.Get(kOptionsPath, L"ShowDeleted")) << way.name;
        EXPECT_EQ(L"Task Status", store.Get(ColumnPath(12), L"Name")) << way.name;
        EXPECT_EQ(L"100", store.Get(ColumnPath(13), L"Width")) << way.name;
    }
}

TEST_F(TaskListWindow, StoredColumnsOrderAndWidthsComeBack) {
    store.Set(ColumnPath(0), L"Name", L"Item Name");
    store.Set(ColumnPath(0), L"Width", L"250");
    store.Set(ColumnPath(1), L"Name", L"Task Status");
    Open([&](CTaskListDlg& dialog) {
        EXPECT_EQ((std::vector<std::wstring>{L"Item Name", L"Task Status"}), Headers(dialog));
        EXPECT_EQ(250, Access::List(dialog).ColumnWidth(0));
        EXPECT_EQ(100, Access::List(dialog).ColumnWidth(1));
        EXPECT_EQ(L"P-101", Access::List(dialog).ItemText(0, 0));
        EXPECT_EQ(L"Open", Access::List(dialog).ItemText(0, 1));
    });
    store.Clear();
    Open([&](CTaskListDlg& dialog) {
        std::vector<int> order = {7, 0, 1, 2, 3, 4, 5, 6, 8, 9, 10, 11, 12, 13};  // Run Date dragged to the front
        ASSERT_TRUE(Access::List(dialog).SetColumnOrderArray(order));
        Access::List(dialog).SetColumnWidth(0, 250);
        Access::List(dialog).SetColumnWidth(7, 60);
    });
    EXPECT_EQ(L"Run Date", store.Get(ColumnPath(0), L"Name"));
    EXPECT_EQ(L"60", store.Get(ColumnPath(0), L"Width"));
    EXPECT_EQ(L"Task Name", store.Get(ColumnPath(1), L"Name"));
    EXPECT_EQ(L"250", store.Get(ColumnPath(1), L"Width"));
    EXPECT_EQ(L"Run By", store.Get(ColumnPath(8), L"Name"));
    Open([&](CTaskListDlg& dialog) {
        std::vector<std::wstring> headers = Headers(dialog);
        ASSERT_EQ(14u, headers.size());
        EXPECT_EQ(L"Run Date", headers[0]);
        EXPECT_EQ(L"Task Name", headers[1]);
        EXPECT_EQ(60, Access::List(dialog).ColumnWidth(0));
        EXPECT_EQ(250, Access::List(dialog).ColumnWidth(1));
    });
}

TEST_F(TaskListWindow, ConfigureViewSetsEveryColumnTo100PixelsStoresAndRefillsSorted) {
    Open([&](CTaskListDlg& dialog) {
        for (int i = 0; i < 14; ++i) Access::List(dialog).SetColumnWidth(i, 250);
        ClickHeader(dialog, 1);  // sort by the column that is second now: Task Description
        WhenDialogShown(L"Configure View", [](HWND view) {
            ::SendDlgItemMessageW(view, IDC_CV_VISIBLE, LB_SETCURSEL, 0, 0);  // Task Name
            Click(view, IDC_CV_REMOVE);
            Click(view, IDOK);
        });
        store.ClearLog();
        Command(dialog, ID_TASKLIST_SETTINGS);
        std::vector<std::wstring> headers = Headers(dialog);
        ASSERT_EQ(13u, headers.size());
        EXPECT_EQ(L"Task Description", headers[0]);
        EXPECT_EQ(L"Item Name", headers[1]);
        for (int i = 0; i < 13; ++i) EXPECT_EQ(100, Access::List(dialog).ColumnWidth(i)) << i;
        EXPECT_EQ(L"EndEntries QRClientTools/ToDoListSettings/Columns/13", store.Log().back());
        EXPECT_EQ(L"Task Description", store.Get(ColumnPath(0), L"Name"));
        EXPECT_EQ(L"(absent)", store.Get(ColumnPath(13), L"Name"));
        // Refilled and sorted by the column that now has index 1: Item Name.
        EXPECT_EQ((std::vector<int>{5, 1, 6, 4, 2, 3}), RowKeys(dialog));
    });
}

TEST_F(TaskListWindow, ConfigureViewCancelledChangesNothing) {
    Open([&](CTaskListDlg& dialog) {
        Access::List(dialog).SetColumnWidth(0, 250);
        WhenDialogShown(L"Configure View", [](HWND view) {
            Click(view, IDC_CV_REMOVEALL);
            Click(view, IDCANCEL);
        });
        store.ClearLog();
        Command(dialog, ID_TASKLIST_SETTINGS);
        EXPECT_TRUE(store.Log().empty());
        EXPECT_EQ(14, Access::List(dialog).Header().ItemCount());
        EXPECT_EQ(250, Access::List(dialog).ColumnWidth(0));
        EXPECT_EQ(6, Access::RowCount(dialog));
    });
}

TEST_F(TaskListWindow, ConfigureViewFiltersTheRowsAndTheRulesAreNeverStored) {
    Open([&](CTaskListDlg& dialog) {
        WhenDialogShown(L"Configure View", [](HWND view) {
            HWND tabs = ::GetDlgItem(view, IDC_CV_TABS);
            ::SendMessageW(tabs, TCM_SETCURSEL, 1, 0);
            SendNotify(view, tabs, TCN_SELCHANGE);
            ::SetDlgItemTextW(view, IDC_CV_COLUMN, L"Item Name");
            ::SetDlgItemTextW(view, IDC_CV_VALUE, L"01");
            ::CheckRadioButton(view, IDC_CV_BEGINSWITH, IDC_CV_ISEQUAL, IDC_CV_ENDSWITH);
            Click(view, IDC_CV_RULE_ADD);
            Click(view, IDOK);
        });
        Command(dialog, ID_TASKLIST_SETTINGS);
        EXPECT_EQ((std::vector<int>{1, 5}), RowKeys(dialog));  // P-101 and 0101
        // The dialog is handed the rules and the column names again.
        WhenDialogShown(L"Configure View", [](HWND view) {
            EXPECT_EQ(1, ::SendDlgItemMessageW(view, IDC_CV_RULES, LB_GETCOUNT, 0, 0));
            EXPECT_EQ(14, ::SendDlgItemMessageW(view, IDC_CV_VISIBLE, LB_GETCOUNT, 0, 0));
            Click(view, IDCANCEL);
        });
        Command(dialog, ID_TASKLIST_SETTINGS);
    });
    for (const auto& [where, text] : store.Values()) EXPECT_EQ(std::wstring::npos, text.find(L"01")) << where;
}

TEST_F(TaskListWindow, NoVisibleColumnsStoresNoEntryAndTheNextOpeningUsesTheDefaults) {
    Open([&](CTaskListDlg& dialog) {
        WhenDialogShown(L"Configure View", [](HWND view) {
            ::SendDlgItemMessageW(view, IDC_CV_VISIBLE, LB_SETCURSEL, 0, 0);
            Click(view, IDC_CV_REMOVEALL);
            Click(view, IDOK);
        });
        Command(dialog, ID_TASKLIST_SETTINGS);
        EXPECT_EQ(0, Access::List(dialog).Header().ItemCount());
        EXPECT_EQ(0, Access::RowCount(dialog));
        EXPECT_EQ(L"(absent)", store.Get(ColumnPath(0), L"Name"));
    });
    Open([&](CTaskListDlg& dialog) {
        EXPECT_EQ(14, Access::List(dialog).Header().ItemCount());
        EXPECT_EQ(6, Access::RowCount(dialog));
    });
}
