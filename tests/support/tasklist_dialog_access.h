#pragma once
// The tests' one way into the To Do List dialog's state: the rows as listed, the
// collection, the column set, rules and views it holds. Everything else is reached as a
// user reaches it, through messages to the window and its controls.
#include <vector>
#include "tasklistdlg.h"

struct TaskListDialogAccess {
    using Dialog = CTaskListDlg;

    static const winkit::ListViewCtrl& List(const Dialog& d) noexcept { return d.list_; }
    static int RowCount(const Dialog& d) noexcept { return d.RowCount(); }
    static int RowKey(const Dialog& d, int row) noexcept { return d.RowKey(row); }
    static int FindRow(const Dialog& d, int key) noexcept { return d.FindRow(key); }
    static std::vector<int> SelectedKeys(const Dialog& d) { return d.SelectedKeys(); }
    static TaskItem* RowTask(Dialog& d, int row) { return d.RowTask(row); }
    static TaskItemCollection& Tasks(Dialog& d) noexcept { return d.tasks_; }
    static ColumnSet& Columns(Dialog& d) noexcept { return d.columns_; }
    static FilterRules& Rules(Dialog& d) noexcept { return d.rules_; }
    static ViewFlags& Views(Dialog& d) noexcept { return d.views_; }
    static void FillRows(Dialog& d) { d.FillRows(); }
    static void SortByColumn(Dialog& d, int column) { d.SortByColumn(column); }

    // The window's own, for callers moved here from the dialog's former accessors.
    static HWND hwnd(const Dialog& d) noexcept { return d.hwnd(); }
    static HWND Item(const Dialog& d, int id) noexcept { return d.Item(id); }
    static LRESULT Send(const Dialog& d, UINT message, WPARAM wparam = 0, LPARAM lparam = 0) noexcept {
        return d.Send(message, wparam, lparam);
    }
    static INT_PTR DoModal(Dialog& d, HWND owner) { return d.DoModal(owner); }
};
