#pragma once
// The real To Do List dialog over a fake workspace and an in-memory settings store,
// driven from inside its modal loop.
#include <gtest/gtest.h>
#include <functional>
#include <vector>
#include "support/dialog_driver.h"
#include "support/settings_store.h"
#include "support/fake_workspace.h"
#include "tasklistdlg.h"
#include "winkit/button.h"

inline TaskItem MakeTask(int index, int category, const wchar_t* name, int status, const wchar_t* created,
                         int deleted = 0) {
    TaskItem t;
    t.ToDo_Index = index;
    t.ToDo_Category = category;
    t.ToDo_Name = name;
    t.ToDo_Description = L"Description of " + std::wstring(name);
    t.ToDo_Status = status;
    t.ToDo_CreatedDate = created;
    t.ToDo_CreatedBy = L"user" + std::to_wstring(index);
    t.ToDo_ItemName = name;
    t.ToDo_DeletedFlag = deleted;
    return t;
}

// Six tasks, one per status and a deleted one, numbered as the framework numbers them.
inline std::vector<TaskItem> SampleTasks() {
    return {
        MakeTask(1, kCategoryCreate, L"P-101", kStatusOpen, L"2026-12-05 12:00:00"),
        MakeTask(2, kCategoryUpdate, L"Zeta", kStatusInProgress, L""),
        MakeTask(3, kCategoryManual, L"alpha", kStatusCompleted, L"2026-01-31 08:00:00"),
        MakeTask(4, kCategoryDelete, L"V-7", kStatusDeferred, L"2025-12-31 23:59:59"),
        MakeTask(5, kCategoryClaim, L"0101", kStatusError, L"garbage"),
        MakeTask(6, kCategoryManual, L"Pump", kStatusCompleted, L"2026-06-01 10:00:00", 1),
    };
}

class TaskListWindow : public testing::Test {
protected:
    SettingsStore store;
    testcom::Fake<FakeWorkspace> workspace;  // makes no requests: the fetch keeps the tasks given
    DialogDriver driver;
    std::vector<TaskItem> tasks = SampleTasks();
    bool runPrivilege = true, deferPrivilege = true, deletePrivilege = true;

    // Opens the dialog over the tasks and runs the body once it is shown; the dialog is
    // then closed with Cancel unless the body ended it. Returns the end code.
    INT_PTR Open(const std::function<void(CTaskListDlg&)>& body) {
        CTaskListDlg dialog(workspace.get());
        dialog.Tasks().Items() = tasks;
        dialog.Tasks().Run = runPrivilege;
        dialog.Tasks().Defer = deferPrivilege;
        dialog.Tasks().Delete = deletePrivilege;
        WhenDialogShown(L"To Do List", [&dialog, &body](HWND window) {
            body(dialog);
            ::PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
        });
        return dialog.DoModal(nullptr);
    }

    static std::vector<int> RowKeys(const CTaskListDlg& dialog) {
        std::vector<int> keys;
        for (int row = 0; row < dialog.RowCount(); ++row) keys.push_back(dialog.RowKey(row));
        return keys;
    }

    static void Select(const CTaskListDlg& dialog, std::initializer_list<int> rows) {
        dialog.List().SetItemState(-1, 0, LVIS_SELECTED);
        for (int row : rows) dialog.List().SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
    }

    static int RowOfKey(const CTaskListDlg& dialog, int key) { return dialog.FindRow(key); }

    // The header's click as the list view receives it from its header control.
    static void ClickHeader(const CTaskListDlg& dialog, int column) {
        NMHEADERW click = {};
        click.hdr.hwndFrom = dialog.List().Header();
        click.hdr.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(click.hdr.hwndFrom));
        click.hdr.code = HDN_ITEMCLICKW;
        click.iItem = column;
        dialog.List().Send(WM_NOTIFY, click.hdr.idFrom, reinterpret_cast<LPARAM>(&click));
    }

    static void Command(const CTaskListDlg& dialog, int id) { dialog.Send(WM_COMMAND, MAKEWPARAM(id, 0), 0); }
};
