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
    static TaskItemCollection& Tasks(Dialog& d) noexcept { return d.tasks_; }
    static FilterRules& Rules(Dialog& d) noexcept { return d.rules_; }
    static void FillRows(Dialog& d) { d.FillRows(); }
    static void SortByColumn(Dialog& d, int column) { d.SortByColumn(column); }
};
