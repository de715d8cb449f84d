#pragma once
// The tests' one way into the To Do List dialog's state; everything else is reached as a
// user reaches it.
#include <vector>
#include "tasklistdlg.h"

struct TaskListDialogAccess {
    using Dialog = CTaskListDlg;

    static const winkit::ListViewCtrl& List(const Dialog& d) noexcept { return d.list_; }
    static int RowCount(const Dialog& d) noexcept { return static_cast<int>(d.model_.RowCount()); }
    static int RowKey(const Dialog& d, int row) noexcept { return d.model_.RowKey(static_cast<size_t>(row)); }
    static int FindRow(const Dialog& d, int key) { return d.model_.RowOfKey(key); }
    static std::vector<int> SelectedKeys(const Dialog& d) { return d.SelectedKeys(); }
    static TaskItemCollection& Tasks(Dialog& d) noexcept { return d.model_.Tasks(); }
    static FilterRules& Rules(Dialog& d) noexcept { return d.model_.Rules(); }
    static void FillRows(Dialog& d) { d.FillRows(); }
    static void SortByColumn(Dialog& d, int column) { d.SortByColumn(column); }
};
