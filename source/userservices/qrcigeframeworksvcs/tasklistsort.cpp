#include "tasklistdlg.h"

#include "tasklistsortkeys.h"
#include "winkit/scoped_flag.h"

namespace {

// The rows carry their place in the sorted order while the list sorts them: a strict
// total order, so that the result does not depend on how the list view sorts.
int CALLBACK CompareRowPlaces(LPARAM a, LPARAM b, LPARAM) { return a < b ? -1 : (a > b ? 1 : 0); }

bool SetRowData(const winkit::ListViewCtrl& list, int row, LPARAM data) {
    winkit::LvItem item;
    item.mask = LVIF_PARAM;
    item.iItem = row;
    item.lParam = data;
    return list.SetItem(item);
}

} // namespace

LRESULT CTaskListDlg::OnListColumnClick(NMHDR* header) {
    SortByColumn(reinterpret_cast<const NMLISTVIEW*>(header)->iSubItem);
    return 0;
}

void CTaskListDlg::SortByColumn(int column) {
    sortAscending_ = column == sortColumn_ ? !sortAscending_ : true;
    sortColumn_ = column;
    winkit::ScopedFlag rebuilding(rebuildingRows_);
    winkit::RedrawOffGuard redrawOff(list_);
    SortRows();
}

// Sorts the rows as they are listed by the sort column's header text. Selection,
// focus and pictures stay with their rows.
void CTaskListDlg::SortRows() {
    std::wstring name;
    if (!list_.ColumnText(sortColumn_, name, 251)) return;  // up to 250 characters
    ColumnId column = FindColumn(name);
    if (ColumnSortKind(column) == SortKind::None) return;

    int count = list_.ItemCount();
    static const TaskItem kNoTask;
    std::vector<LPARAM> keys(static_cast<size_t>(count));
    std::vector<const TaskItem*> tasks(static_cast<size_t>(count));
    for (int row = 0; row < count; ++row) {
        keys[row] = list_.ItemData(row);
        const TaskItem* task = tasks_.FindByKey(static_cast<int>(keys[row]));
        tasks[row] = task ? task : &kNoTask;
    }
    std::vector<size_t> order = SortedOrder(tasks, column, sortAscending_);
    for (int place = 0; place < count; ++place) SetRowData(list_, static_cast<int>(order[place]), place);
    list_.Send(LVM_SORTITEMS, 0, reinterpret_cast<LPARAM>(&CompareRowPlaces));
    for (int place = 0; place < count; ++place) SetRowData(list_, place, keys[order[place]]);
}
