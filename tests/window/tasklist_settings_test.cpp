// The view settings: loaded at open, stored on every way of closing and after Configure View.
#include "res/configureviewres.h"
#include "tasklist_window_fixture.h"

TEST_F(TaskListWindow, EveryWayOfClosingStoresTheSettings) {
    const struct {
        UINT message;
        WPARAM command;
        INT_PTR code;
    } ways[] = {{WM_COMMAND, IDOK, IDOK}, {WM_COMMAND, IDCANCEL, IDCANCEL}, {WM_SYSCOMMAND, SC_CLOSE, IDCANCEL}};
    for (const auto& way : ways) {
        store.Clear();
        EXPECT_EQ(way.code, Open([&](CTaskListDlg& dialog) {
            store.ClearLog();
            dialog.Send(way.message, way.command, 0);
        })) << way.command;
        std::vector<std::wstring> log = store.Log();
        ASSERT_FALSE(log.empty()) << way.command;
        EXPECT_EQ(L"CoCreateInstance(QRClientTools.Globals)", log.front()) << way.command;
        EXPECT_EQ(L"EndEntries QRClientTools/ToDoListSettings/Columns/14", log.back()) << way.command;
        EXPECT_EQ(L"1|Task Status|100", store.Get(kOptionsPath, L"ShowDeleted") + L"|" +
                                             store.Get(ColumnPath(12), L"Name") + L"|" + store.Get(ColumnPath(13), L"Width"))
            << way.command;
    }
}

// Stored columns come back in their order with their widths; a column dragged and
// resized is stored where it shows.
TEST_F(TaskListWindow, StoredColumnsOrderAndWidthsComeBack) {
    auto columns = [](const CTaskListDlg& dialog) {
        std::wstring text;
        std::vector<std::wstring> headers = Headers(dialog);
        for (size_t i = 0; i < headers.size() && i < 2; ++i)
            text += headers[i] + L" " + std::to_wstring(Access::List(dialog).ColumnWidth(static_cast<int>(i))) + L"|";
        return text + std::to_wstring(headers.size());
    };
    store.Set(ColumnPath(0), L"Name", L"Item Name");
    store.Set(ColumnPath(0), L"Width", L"250");
    store.Set(ColumnPath(1), L"Name", L"Task Status");
    Open([&](CTaskListDlg& dialog) {
        EXPECT_EQ(L"Item Name 250|Task Status 100|2", columns(dialog));
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
    EXPECT_EQ(L"Run Date 60|Task Name 250|Run By", store.Get(ColumnPath(0), L"Name") + L" " +
                                                    store.Get(ColumnPath(0), L"Width") + L"|" +
                                                    store.Get(ColumnPath(1), L"Name") + L" " +
                                                    store.Get(ColumnPath(1), L"Width") + L"|" +
                                                    store.Get(ColumnPath(8), L"Name"));
    Open([&](CTaskListDlg& dialog) { EXPECT_EQ(L"Run Date 60|Task Name 250|14", columns(dialog)); });
}

// Cancel changes nothing; OK sets every column to 100 pixels, stores the columns and
// refills the rows sorted by the column that now has the sort column's index.
TEST_F(TaskListWindow, ConfigureViewOkSetsEveryColumnTo100PixelsStoresAndRefillsSorted) {
    Open([&](CTaskListDlg& dialog) {
        for (int i = 0; i < 14; ++i) Access::List(dialog).SetColumnWidth(i, 250);
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

        ClickHeader(dialog, 1);  // sort by the column that is second now: Task Description
        WhenDialogShown(L"Configure View", [](HWND view) {
            ::SendDlgItemMessageW(view, IDC_CV_VISIBLE, LB_SETCURSEL, 0, 0);  // Task Name
            Click(view, IDC_CV_REMOVE);
            Click(view, IDOK);
        });
        Command(dialog, ID_TASKLIST_SETTINGS);
        std::vector<std::wstring> headers = Headers(dialog);
        ASSERT_EQ(13u, headers.size());
        EXPECT_EQ(L"Task Description", headers[0]);
        EXPECT_EQ(L"Item Name", headers[1]);
        for (int i = 0; i < 13; ++i) EXPECT_EQ(100, Access::List(dialog).ColumnWidth(i)) << i;
        EXPECT_EQ(L"EndEntries QRClientTools/ToDoListSettings/Columns/13", store.Log().back());
        EXPECT_EQ(L"Task Description", store.Get(ColumnPath(0), L"Name"));
        EXPECT_EQ(L"(absent)", store.Get(ColumnPath(13), L"Name"));
        EXPECT_EQ((std::vector<int>{5, 1, 6, 4, 2, 3}), RowKeys(dialog));  // by Item Name
    });
}

// The rules filter the rows and are handed back to the dialog, but never stored; with no
// visible column nothing is stored and the next opening uses the defaults.
TEST_F(TaskListWindow, ConfigureViewFiltersTheRowsTheRulesAreNeverStoredNoColumnsMeansTheDefaults) {
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
        WhenDialogShown(L"Configure View", [](HWND view) {
            EXPECT_EQ(1, ::SendDlgItemMessageW(view, IDC_CV_RULES, LB_GETCOUNT, 0, 0));
            EXPECT_EQ(14, ::SendDlgItemMessageW(view, IDC_CV_VISIBLE, LB_GETCOUNT, 0, 0));
            ::SendDlgItemMessageW(view, IDC_CV_VISIBLE, LB_SETCURSEL, 0, 0);
            Click(view, IDC_CV_REMOVEALL);
            Click(view, IDOK);
        });
        Command(dialog, ID_TASKLIST_SETTINGS);
        EXPECT_EQ(0, Access::List(dialog).Header().ItemCount());
        EXPECT_EQ(0, Access::RowCount(dialog));
    });
    for (const auto& [where, text] : store.Values()) EXPECT_EQ(std::wstring::npos, text.find(L"01")) << where;
    EXPECT_EQ(L"(absent)", store.Get(ColumnPath(0), L"Name"));
    Open([&](CTaskListDlg& dialog) {
        EXPECT_EQ(14, Access::List(dialog).Header().ItemCount());
        EXPECT_EQ(6, Access::RowCount(dialog));
    });
}
