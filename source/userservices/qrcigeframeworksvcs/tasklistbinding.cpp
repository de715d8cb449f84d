// The list view's side of the To Do list: an owner-data list that holds no texts of its
// own. It asks the model for what it draws by row index, finds rows through the model,
// and keeps the selection and focus, whose changes drive the buttons.
#include "tasklistdlg.h"

#include <algorithm>
#include <cwchar>
#include "winkit/scoped_flag.h"

namespace {

bool StartsWithIgnoringCase(const std::wstring& text, const wchar_t* prefix, size_t length) {
    return text.size() >= length && _wcsnicmp(text.c_str(), prefix, length) == 0;
}

} // namespace

void CTaskListDlg::InsertColumns() {
    winkit::RedrawOffGuard redrawOff(list_);
    const ColumnSet& columns = model_.Columns();
    for (size_t i = 0; i < columns.size(); ++i) {
        winkit::LvColumn column;
        column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.fmt = LVCFMT_LEFT;
        column.pszText = const_cast<wchar_t*>(columns[i].name.c_str());
        column.cx = columns[i].width;
        column.iSubItem = static_cast<int>(i);
        list_.InsertColumn(static_cast<int>(i), column);
    }
    ShowSortArrow();
}

void CTaskListDlg::FillRows() {
    model_.Fill();
    {
        winkit::ScopedFlag rebuilding(rebuildingRows_);
        winkit::RedrawOffGuard redrawOff(list_);
        // An owner-data list forgets its selection and focus with its rows at no cost.
        list_.DeleteAllItems();
        list_.SetItemCount(static_cast<int>(model_.RowCount()));
        list_.SetSelectionMark(0);
    }
    // The selection went with the old rows.
    UpdateButtonStates();
}

LRESULT CTaskListDlg::OnListGetDispInfo(NMHDR* header) {
    LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(header)->item;
    if (item.iItem < 0 || static_cast<size_t>(item.iItem) >= model_.RowCount() || item.iSubItem < 0) return 0;
    const size_t row = static_cast<size_t>(item.iItem);
    if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
        const std::wstring& text = model_.Text(row, static_cast<size_t>(item.iSubItem), textScratch_);
        const size_t length = std::min(text.size(), static_cast<size_t>(item.cchTextMax) - 1);
        std::wmemcpy(item.pszText, text.data(), length);
        item.pszText[length] = L'\0';
    }
    // Sub-items never get a picture: only the first column shows the task's.
    if ((item.mask & LVIF_IMAGE) && item.iSubItem == 0) item.iImage = model_.Image(row);
    return 0;
}

// Type-ahead (a prefix of the first column's text, ignoring case, from the start row on
// and round) and a search by key, as rows that carry their key as item data answer it.
LRESULT CTaskListDlg::OnListFindItem(NMHDR* header) {
    const NMLVFINDITEMW* find = reinterpret_cast<const NMLVFINDITEMW*>(header);
    const LVFINDINFOW& what = find->lvfi;
    if (what.flags & LVFI_PARAM) return model_.RowOfKey(static_cast<int>(what.lParam));
    if (!(what.flags & (LVFI_STRING | LVFI_PARTIAL)) || !what.psz) return -1;
    const size_t count = model_.RowCount();
    const size_t length = std::wcslen(what.psz);
    const bool partial = (what.flags & LVFI_PARTIAL) != 0;
    const size_t start = find->iStart >= 0 && static_cast<size_t>(find->iStart) < count ? find->iStart : 0;
    const size_t span = (what.flags & LVFI_WRAP) ? count : count - start;
    for (size_t step = 0; step < span; ++step) {
        const size_t row = (start + step) % count;
        const std::wstring& text = model_.Text(row, 0, textScratch_);
        if (StartsWithIgnoringCase(text, what.psz, length) && (partial || text.size() == length))
            return static_cast<LRESULT>(row);
    }
    return -1;
}

LRESULT CTaskListDlg::OnListItemChanged(NMHDR* header) {
    const NMLISTVIEW* change = reinterpret_cast<const NMLISTVIEW*>(header);
    if (rebuildingRows_ || !(change->uChanged & LVIF_STATE)) return 0;
    // Every row at once (select all, or none).
    if (change->iItem < 0) {
        UpdateButtonStates();
        return 0;
    }
    const bool was = (change->uOldState & LVIS_SELECTED) != 0, is = (change->uNewState & LVIS_SELECTED) != 0;
    if (was == is) return 0;
    model_.CountRow(selection_, static_cast<size_t>(change->iItem), is ? +1 : -1);
    // The counts follow the rows' changes; should they ever miss one, they are made again.
    if (selection_.rows != list_.SelectedCount()) {
        UpdateButtonStates();
        return 0;
    }
    ApplyButtonStates();
    return 0;
}

// A Shift range: the list tells only its ends.
LRESULT CTaskListDlg::OnListStateRangeChanged(NMHDR*) {
    if (!rebuildingRows_) UpdateButtonStates();
    return 0;
}

std::vector<int> CTaskListDlg::SelectedKeys() const {
    std::vector<int> keys;
    for (int row : list_.SelectedRows()) keys.push_back(model_.RowKey(static_cast<size_t>(row)));
    return keys;
}

LRESULT CTaskListDlg::OnListColumnClick(NMHDR* header) {
    SortByColumn(reinterpret_cast<const NMLISTVIEW*>(header)->iSubItem);
    return 0;
}

void CTaskListDlg::SortByColumn(int column) {
    const int focusedKey = model_.RowKey(static_cast<size_t>(list_.NextItem(-1, LVNI_FOCUSED)));
    const int markKey = model_.RowKey(static_cast<size_t>(list_.SelectionMark()));
    const std::vector<int> selectedKeys = SelectedKeys();
    model_.SortBy(column);
    ShowSortArrow();

    winkit::ScopedFlag rebuilding(rebuildingRows_);
    winkit::RedrawOffGuard redrawOff(list_);
    list_.SetItemState(-1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    std::vector<int> rows;
    rows.reserve(selectedKeys.size());
    for (int key : selectedKeys) rows.push_back(model_.RowOfKey(key));
    // In row order the list extends its last run of selected rows instead of inserting.
    std::sort(rows.begin(), rows.end());
    for (int row : rows)
        if (row >= 0) list_.SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
    if (focusedKey != -1) list_.SetItemState(model_.RowOfKey(focusedKey), LVIS_FOCUSED, LVIS_FOCUSED);
    if (markKey != -1) list_.SetSelectionMark(model_.RowOfKey(markKey));
}

void CTaskListDlg::ShowSortArrow() {
    winkit::HeaderCtrl header = list_.Header();
    for (int column = 0, count = header.ItemCount(); column < count; ++column) {
        winkit::HdItem item;
        item.mask = HDI_FORMAT;
        if (!header.GetItem(column, item)) continue;
        const int was = item.fmt;
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (column == model_.SortColumn()) item.fmt |= model_.SortAscending() ? HDF_SORTUP : HDF_SORTDOWN;
        if (item.fmt != was) header.SetItem(column, item);
    }
}
