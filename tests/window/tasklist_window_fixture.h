#pragma once
// The real To Do List dialog over a fake workspace and an in-memory settings store.
#include <gtest/gtest.h>
#include <functional>
#include <vector>
#include "support/dialog_driver.h"
#include "support/fake_workspace.h"
#include "support/settings_store.h"
#include "support/tasklist_dialog_access.h"
#include "taskpropertydlg_fixture.h"

using Access = TaskListDialogAccess;

// Rows: 1 Open, 2 InProgress, 3 Completed, 4 Deferred, 5 Error, 6 Completed + deleted.
inline std::vector<TaskItem> SampleTasks() {
    std::vector<TaskItem> tasks = {
        MakeTask(1, kCategoryCreate, kStatusOpen, L"P-101", L"2026-12-05 12:00:00"),
        MakeTask(2, kCategoryUpdate, kStatusInProgress, L"Zeta", L""),
        MakeTask(3, kCategoryManual, kStatusCompleted, L"alpha", L"2026-01-31 08:00:00"),
        MakeTask(4, kCategoryDelete, kStatusDeferred, L"V-7", L"2025-12-31 23:59:59"),
        MakeTask(5, kCategoryClaim, kStatusError, L"0101", L"garbage"),
        MakeTask(6, kCategoryManual, kStatusCompleted, L"Pump", L"2026-06-01 10:00:00", 1),
    };
    for (TaskItem& task : tasks) task.ToDo_ItemName = task.ToDo_Name;
    return tasks;
}

class TaskListWindow : public testing::Test {
protected:
    SettingsStore store;
    testcom::Fake<FakeWorkspace> workspace;  // makes no requests: the fetch keeps the tasks given
    DialogDriver driver{60};
    std::vector<TaskItem> tasks = SampleTasks();
    bool runPrivilege = true, deferPrivilege = true, deletePrivilege = true;

    // Opens the dialog over the tasks (or over what the workspace serves) and runs the body
    // once it is shown; the dialog is then closed with Cancel unless the body ended it.
    INT_PTR Open(const std::function<void(CTaskListDlg&)>& body, IWorkspace* over = nullptr) {
        CTaskListDlg dialog(over ? over : workspace.get());
        if (!over) {
            Access::Tasks(dialog).Items() = tasks;
            Access::Tasks(dialog).Run = runPrivilege;
            Access::Tasks(dialog).Defer = deferPrivilege;
            Access::Tasks(dialog).Delete = deletePrivilege;
        }
        WhenDialogShown(L"To Do List", [&dialog, &body](HWND window) {
            body(dialog);
            ::PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
        });
        return dialog.DoModal(nullptr);
    }

    static std::vector<int> RowKeys(const CTaskListDlg& dialog) {
        std::vector<int> keys;
        for (int row = 0; row < Access::RowCount(dialog); ++row) keys.push_back(Access::RowKey(dialog, row));
        return keys;
    }

    // Selects the rows of the tasks with these keys, and only them.
    static void Select(const CTaskListDlg& dialog, std::initializer_list<int> keys) {
        Access::List(dialog).SetItemState(-1, 0, LVIS_SELECTED);
        for (int key : keys)
            Access::List(dialog).SetItemState(Access::FindRow(dialog, key), LVIS_SELECTED, LVIS_SELECTED);
    }

    // The header's click as the list view receives it from its header control.
    static void ClickHeader(const CTaskListDlg& dialog, int column) {
        NMHEADERW click = {};
        click.hdr.hwndFrom = Access::List(dialog).Header();
        click.hdr.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(click.hdr.hwndFrom));
        click.hdr.code = HDN_ITEMCLICKW;
        click.iItem = column;
        Access::List(dialog).Send(WM_NOTIFY, click.hdr.idFrom, reinterpret_cast<LPARAM>(&click));
    }

    static void Command(const CTaskListDlg& dialog, int id) { dialog.Send(WM_COMMAND, MAKEWPARAM(id, 0), 0); }

    static std::vector<std::wstring> Headers(const CTaskListDlg& dialog) {
        std::vector<std::wstring> names(static_cast<size_t>(Access::List(dialog).Header().ItemCount()));
        for (size_t i = 0; i < names.size(); ++i) Access::List(dialog).ColumnText(static_cast<int>(i), names[i]);
        return names;
    }

    // Properties, Action, Defer, Delete, Permanently delete: "1" enabled, "0" not.
    static std::string States(const CTaskListDlg& dialog) {
        return EnabledStates(dialog.hwnd(), {IDC_TASKLIST_PROPERTIES, IDC_TASKLIST_ACTION, IDC_TASKLIST_DEFER,
                                             IDC_TASKLIST_DELETE, IDC_TASKLIST_DELETEFROMSERVER});
    }
};
