#include "tasklistdlg.h"

#include "winkit/scoped_flag.h"

namespace {

// Clears extended list view styles for the holder's life and restores those that were set.
class ExtendedStyleOffGuard {
public:
    ExtendedStyleOffGuard(const winkit::ListViewCtrl& list, DWORD styles) noexcept
        : list_(list), styles_(styles), were_(list.ExtendedStyle() & styles) {
        if (were_) list_.SetExtendedStyle(styles_, 0);
    }
    ~ExtendedStyleOffGuard() {
        if (were_) list_.SetExtendedStyle(styles_, were_);
    }
    ExtendedStyleOffGuard(const ExtendedStyleOffGuard&) = delete;
    ExtendedStyleOffGuard& operator=(const ExtendedStyleOffGuard&) = delete;

private:
    const winkit::ListViewCtrl& list_;
    DWORD styles_;
    DWORD were_;
};

} // namespace

void CTaskListDlg::InsertColumns() {
    winkit::RedrawOffGuard redrawOff(list_);
    for (size_t i = 0; i < columns_.size(); ++i) {
        winkit::LvColumn column;
        column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.fmt = LVCFMT_LEFT;
        column.pszText = const_cast<wchar_t*>(columns_[i].name.c_str());
        column.cx = columns_[i].width;
        column.iSubItem = static_cast<int>(i);
        list_.InsertColumn(static_cast<int>(i), column);
    }
}

void CTaskListDlg::FillRows() {
    std::vector<const TaskItem*> kept;
    kept.reserve(tasks_.Count());
    const TaskItemCollection& tasks = tasks_;
    for (const TaskItem& task : tasks.Items()) {
        // A row carries only its task's key, and every command finds the task by it: a
        // record its key does not find (a later one with a key already taken) is not
        // listed, or its row would show one task while the commands acted on another.
        if (tasks.FindByKey(task.ToDo_Index) != &task) continue;
        if (ShownByViews(task, views_) && FilterMatch(task, rules_)) kept.push_back(&task);
    }

    std::vector<ColumnId> ids;
    ids.reserve(columns_.size());
    for (const ColumnEntry& column : columns_) ids.push_back(FindColumn(column.name));
    {
        winkit::ScopedFlag rebuilding(rebuildingRows_);
        // Drawing while thousands of rows go in would cost many times the fill itself.
        winkit::RedrawOffGuard redrawOff(list_);
        // Full-row selection only changes how rows are drawn, but Wine's list view does
        // work for it with every row that goes in; it comes back before the rows are shown.
        ExtendedStyleOffGuard fullRowOff(list_, LVS_EX_FULLROWSELECT);
        list_.DeleteAllItems();
        if (!ids.empty()) {
            list_.SetItemCount(static_cast<int>(kept.size()));
            std::wstring scratch;
            for (size_t r = 0; r < kept.size(); ++r) {
                const TaskItem& task = *kept[r];
                winkit::LvItem item;
                item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
                item.iItem = static_cast<int>(r);
                item.pszText = const_cast<wchar_t*>(ColumnTextRef(task, ids[0], scratch).c_str());
                item.iImage = RowImage(task);
                item.lParam = task.ToDo_Index;
                int row = list_.InsertItem(item);
                if (row < 0) continue;
                for (size_t i = 1; i < ids.size(); ++i)
                    list_.SetItemText(row, static_cast<int>(i), ColumnTextRef(task, ids[i], scratch).c_str());
            }
        }
        list_.SetSelectionMark(0);
        if (sortColumn_ != -1) SortRows();
    }
    // The selection went with the old rows.
    UpdateButtonStates();
}

LRESULT CTaskListDlg::OnListItemChanged(NMHDR* header) {
    const NMLISTVIEW* change = reinterpret_cast<const NMLISTVIEW*>(header);
    if (rebuildingRows_ || !(change->uChanged & LVIF_STATE)) return 0;
    bool was = (change->uOldState & LVIS_SELECTED) != 0, is = (change->uNewState & LVIS_SELECTED) != 0;
    if (change->iItem < 0) {
        UpdateButtonStates();
        return 0;
    }
    if (was == is) return 0;
    selection_.Count(RowTask(change->iItem), is ? +1 : -1);
    // The counts follow the rows' changes; should they ever miss one, they are made again.
    if (selection_.rows != list_.SelectedCount()) {
        UpdateButtonStates();
        return 0;
    }
    ApplyButtonStates();
    return 0;
}

TaskItem* CTaskListDlg::RowTask(int row) {
    if (row < 0 || row >= list_.ItemCount()) return nullptr;
    return tasks_.FindByKey(RowKey(row));
}

std::vector<int> CTaskListDlg::SelectedKeys() const {
    std::vector<int> keys;
    for (int row : list_.SelectedRows()) keys.push_back(RowKey(row));
    return keys;
}

int CTaskListDlg::FindRow(int key) const noexcept {
    LVFINDINFOW find = {};
    find.flags = LVFI_PARAM;
    find.lParam = key;
    return static_cast<int>(list_.Send(LVM_FINDITEMW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)));
}

bool CTaskListDlg::IsFirstRow(int key) const noexcept { return RowCount() > 0 && RowKey(0) == key; }

bool CTaskListDlg::IsLastRow(int key) const noexcept {
    int count = RowCount();
    return count > 0 && RowKey(count - 1) == key;
}

int CTaskListDlg::PreviousKey(int key) const noexcept {
    int row = FindRow(key);
    return row <= 0 ? -1 : RowKey(row - 1);
}

int CTaskListDlg::NextKey(int key) const noexcept {
    int row = FindRow(key);
    return row < 0 || row >= RowCount() - 1 ? -1 : RowKey(row + 1);
}
