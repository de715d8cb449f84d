// The view settings: loaded at open, stored on every way of closing and after Configure View.
#include "res/configureviewres.h"
#include "tasklist_window_fixture.h"

namespace {

bool Logged(const SettingsStore& store, const std::wstring& line) {
    std::vector<std::wstring> log = store.Log();
    return std::find(log.begin(), log.end(), line) != log.end();
}

std::vector<std::wstring> Headers(const CTaskListDlg& dialog) {
    std::vector<std::wstring> names;
    for (int i = 0, n = dialog.List().Header().ItemCount(); i < n; ++i) {
        std::wstring name;
        dialog.List().ColumnText(i, name);
        names.push_back(name);
    }
    return names;
}

} // namespace

TEST_F(TaskListWindow, EveryWayOfClosingStoresTheSettings) {
    struct Way {
        const char* name;
        std::function<void(HWND)> close;
        INT_PTR code;
    } ways[] = {
        {"OK (Enter)", [](HWND w) { ::SendMessageW(w, WM_COMMAND, IDOK, 0); }, IDOK},
        {"Cancel (Escape)", [](HWND w) { ::SendMessageW(w, WM_COMMAND, IDCANCEL, 0); }, IDCANCEL},
        {"close box", [](HWND w) { ::SendMessageW(w, WM_SYSCOMMAND, SC_CLOSE, 0); }, IDCANCEL},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        store.Clear();
        store.ClearLog();
        EXPECT_EQ(way.code, Open([&](CTaskListDlg& dialog) {
            store.ClearLog();
            way.close(dialog.hwnd());
        }));
        std::vector<std::wstring> log = store.Log();
        ASSERT_FALSE(log.empty());
        EXPECT_EQ(L"CoCreateInstance(QRClientTools.Globals)", log.front());
        EXPECT_EQ(L"EndEntries QRClientTools/ToDoListSettings/Columns/14", log.back());
        EXPECT_EQ(L"1", store.Get(kOptionsPath, L"ShowDeleted"));
        for (int i = 0; i < 14; ++i) {
            EXPECT_EQ(DefaultColumnSet()[i].name, store.Get(ColumnPath(i), L"Name"));
            EXPECT_EQ(L"100", store.Get(ColumnPath(i), L"Width"));
        }
    }
}

TEST_F(TaskListWindow, LoadedColumnsAreInsertedWithTheirWidths) {
    store.Set(ColumnPath(0), L"Name", L"Item Name");
    store.Set(ColumnPath(0), L"Width", L"250");
    store.Set(ColumnPath(1), L"Name", L"Task Status");
    Open([&](CTaskListDlg& dialog) {
        EXPECT_EQ((std::vector<std::wstring>{L"Item Name", L"Task Status"}), Headers(dialog));
        EXPECT_EQ(250, dialog.List().ColumnWidth(0));
        EXPECT_EQ(100, dialog.List().ColumnWidth(1));
        EXPECT_EQ(L"P-101", dialog.List().ItemText(0, 0));
        EXPECT_EQ(L"Open", dialog.List().ItemText(0, 1));
    });
}

TEST_F(TaskListWindow, DraggedColumnOrderAndWidthsAreStoredAndComeBack) {
    Open([&](CTaskListDlg& dialog) {
        std::vector<int> order = {7, 0, 1, 2, 3, 4, 5, 6, 8, 9, 10, 11, 12, 13};  // Run Date dragged to the front
        ASSERT_TRUE(dialog.List().SetColumnOrderArray(order));
        dialog.List().SetColumnWidth(0, 250);
        dialog.List().SetColumnWidth(7, 60);
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
        EXPECT_EQ(60, dialog.List().ColumnWidth(0));
        EXPECT_EQ(250, dialog.List().ColumnWidth(1));
    });
}

TEST_F(TaskListWindow, ConfigureViewSetsEveryColumnTo100PixelsStoresAndRefills) {
    Open([&](CTaskListDlg& dialog) {
        for (int i = 0; i < 14; ++i) dialog.List().SetColumnWidth(i, 250);
        ClickHeader(dialog, 1);  // sort by the column that is second now: Task Description
        WhenDialogShown(L"Configure View", [](HWND view) {
            // Visible Columns: remove the first (Task Name), so that Task Description comes first.
            ::SendDlgItemMessageW(view, IDC_CV_VISIBLE, LB_SETCURSEL, 0, 0);
            Click(view, IDC_CV_REMOVE);
            Click(view, IDOK);
        });
        store.ClearLog();
        Command(dialog, ID_TASKLIST_SETTINGS);
        std::vector<std::wstring> headers = Headers(dialog);
        ASSERT_EQ(13u, headers.size());
        EXPECT_EQ(L"Task Description", headers[0]);
        EXPECT_EQ(L"Item Name", headers[1]);
        for (int i = 0; i < 13; ++i) EXPECT_EQ(100, dialog.List().ColumnWidth(i)) << i;
        EXPECT_TRUE(Logged(store, L"EndEntries QRClientTools/ToDoListSettings/Columns/13"));
        EXPECT_EQ(L"Task Description", store.Get(ColumnPath(0), L"Name"));
        EXPECT_EQ(L"(absent)", store.Get(ColumnPath(13), L"Name"));
        // The rows were refilled and sorted by the column that now has index 1: Item Name.
        EXPECT_EQ(6, dialog.RowCount());
        EXPECT_EQ((std::vector<int>{5, 1, 6, 4, 2, 3}), RowKeys(dialog));
        EXPECT_EQ(L"0101", dialog.List().ItemText(0, 1));
    });
}

TEST_F(TaskListWindow, ConfigureViewCancelledChangesNothing) {
    Open([&](CTaskListDlg& dialog) {
        dialog.List().SetColumnWidth(0, 250);
        WhenDialogShown(L"Configure View", [](HWND view) {
            Click(view, IDC_CV_REMOVEALL);
            Click(view, IDCANCEL);
        });
        store.ClearLog();
        Command(dialog, ID_TASKLIST_SETTINGS);
        EXPECT_TRUE(store.Log().empty());
        EXPECT_EQ(14, dialog.List().Header().ItemCount());
        EXPECT_EQ(250, dialog.List().ColumnWidth(0));
        EXPECT_TRUE(dialog.Rules().empty());
    });
}

TEST_F(TaskListWindow, ConfigureViewFiltersTheRows) {
    Open([&](CTaskListDlg& dialog) {
        WhenDialogShown(L"Configure View", [](HWND view) {
            HWND tabs = ::GetDlgItem(view, IDC_CV_TABS);
            ::SendMessageW(tabs, TCM_SETCURSEL, 1, 0);
            SendNotify(view, tabs, TCN_SELCHANGE);
            HWND combo = ::GetDlgItem(view, IDC_CV_COLUMN);
            ::SendMessageW(combo, CB_SETCURSEL,
                           ::SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                          reinterpret_cast<LPARAM>(L"Item Name")),
                           0);
            ::SetDlgItemTextW(view, IDC_CV_VALUE, L"01");
            Click(view, IDC_CV_ENDSWITH);
            Click(view, IDC_CV_RULE_ADD);
            Click(view, IDOK);
        });
        Command(dialog, ID_TASKLIST_SETTINGS);
        ASSERT_EQ(1u, dialog.Rules().size());
        EXPECT_EQ((FilterRule{L"Item Name", kEndsWith, L"01"}), dialog.Rules()[0]);
        EXPECT_EQ((std::vector<int>{1, 5}), RowKeys(dialog));  // P-101 and 0101

        // The dialog is handed a copy of the rules and the column names in order.
        WhenDialogShown(L"Configure View", [](HWND view) {
            EXPECT_EQ(1, ::SendDlgItemMessageW(view, IDC_CV_RULES, LB_GETCOUNT, 0, 0));
            EXPECT_EQ(14, ::SendDlgItemMessageW(view, IDC_CV_VISIBLE, LB_GETCOUNT, 0, 0));
            Click(view, IDCANCEL);
        });
        Command(dialog, ID_TASKLIST_SETTINGS);
    });
    // Rules are never stored.
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
        EXPECT_EQ(0, dialog.List().Header().ItemCount());
        EXPECT_EQ(0, dialog.RowCount());
        EXPECT_EQ(L"(absent)", store.Get(ColumnPath(0), L"Name"));
    });
    Open([&](CTaskListDlg& dialog) {
        EXPECT_EQ(14, dialog.List().Header().ItemCount());
        EXPECT_EQ(6, dialog.RowCount());
    });
}
