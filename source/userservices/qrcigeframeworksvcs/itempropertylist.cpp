#include "itempropertylist.h"

#include "winkit/unique_handle.h"

namespace {

struct ColumnLayout {
    const wchar_t* title;
    int width;
};

void InsertColumn(const winkit::ListViewCtrl& list, int index, const wchar_t* title, int width) {
    winkit::LvColumn column;
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = const_cast<wchar_t*>(title);
    column.cx = width;
    column.iSubItem = index;
    list.InsertColumn(index, column);
}

int ColumnCount(const winkit::ListViewCtrl& list) {
    // Asked of the list itself: the header of a list that was never shown may not exist yet.
    int count = 0;
    for (;; ++count) {
        winkit::LvColumn column;
        column.mask = LVCF_WIDTH;
        if (!list.GetColumn(count, column)) break;
    }
    return count;
}

void Line(HDC dc, int x1, int y1, int x2, int y2) {
    ::MoveToEx(dc, x1, y1, nullptr);
    ::LineTo(dc, x2, y2);
}

} // namespace

void ItemPropertyList::Attach(HWND list, HIMAGELIST images) noexcept {
    list_.Attach(list);
    images_ = images;
}

void ItemPropertyList::PrepareColumns(ItemPropertyLayout layout) {
    layout_ = layout;
    while (list_.DeleteColumn(0)) {
    }
    if (layout == ItemPropertyLayout::Create) {
        RECT client = list_.ClientRect();
        const ColumnLayout columns[] = {{L"Name", 150}, {L"Value", 100}, {L"Units", client.right - 250}};
        for (int i = 0; i < 3; ++i) InsertColumn(list_, i, columns[i].title, columns[i].width);
    } else {
        const ColumnLayout columns[] = {{L"Name", 150}, {L"New Value", 100}, {L"Old Value", 100}, {L"Units", 50}};
        for (int i = 0; i < 4; ++i) InsertColumn(list_, i, columns[i].title, columns[i].width);
    }
}

int ItemPropertyList::TextIndexOfColumn(int column) const noexcept {
    if (layout_ == ItemPropertyLayout::Create && column == 2) return 3;
    return column >= 0 && column < 4 ? column : -1;
}

void ItemPropertyList::ShowObject(ObjRecord* top) {
    list_.DeleteAllItems();
    tree_.Clear();
    if (!top) return;
    tree_.Build(*top);
    InsertRows(0, tree_.Shown().size());
}

void ItemPropertyList::InsertRows(size_t from, size_t count) const {
    for (size_t i = from; i < from + count; ++i) {
        ItemPropertyRow* row = tree_.Shown()[i];
        winkit::LvItem item;
        item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
        item.iItem = static_cast<int>(i);
        item.pszText = const_cast<wchar_t*>(row->texts[0].c_str());
        item.iImage = row->image;
        item.lParam = reinterpret_cast<LPARAM>(row);
        list_.InsertItem(item);
    }
}

void ItemPropertyList::DeleteRows(size_t from, size_t count) const {
    for (size_t i = 0; i < count; ++i) list_.DeleteItem(static_cast<int>(from));
}

void ItemPropertyList::RedrawRow(size_t position) const noexcept {
    list_.RedrawItems(static_cast<int>(position), static_cast<int>(position));
}

bool ItemPropertyList::ExpandAt(int position) {
    if (position < 0) return false;
    size_t inserted = tree_.Expand(static_cast<size_t>(position));
    if (inserted == 0) return false;
    InsertRows(static_cast<size_t>(position) + 1, inserted);
    RedrawRow(static_cast<size_t>(position));
    return true;
}

bool ItemPropertyList::CollapseAt(int position) {
    if (position < 0) return false;
    const bool wasExpanded = static_cast<size_t>(position) < tree_.Shown().size() && tree_.Shown()[position]->expanded;
    size_t removed = tree_.Collapse(static_cast<size_t>(position));
    if (!wasExpanded) return false;
    DeleteRows(static_cast<size_t>(position) + 1, removed);
    RedrawRow(static_cast<size_t>(position));
    return true;
}

int ItemPropertyList::RowAt(POINT point, int* column) const noexcept {
    LVHITTESTINFO hit = {};
    hit.pt = point;
    int row = list_.SubItemHitTest(hit);
    if (column) *column = hit.iSubItem;
    if (row < 0 || static_cast<size_t>(row) >= tree_.Shown().size()) return -1;
    return row;
}

int ItemPropertyList::RowLeft(int position) const noexcept {
    RECT bounds;
    list_.ItemRect(position, bounds, LVIR_BOUNDS);
    return bounds.left;  // moves left with horizontal scrolling
}

bool ItemPropertyList::OnClick(POINT point) {
    int column = -1;
    int position = RowAt(point, &column);
    if (position < 0 || column != 0) return false;
    const int offset = point.x - RowLeft(position);
    const int x0 = BoxLeft(tree_.Shown()[position]->level);
    if (offset < x0 || offset >= x0 + kClickWidth) return false;
    return tree_.Shown()[position]->expanded ? CollapseAt(position) : ExpandAt(position);
}

bool ItemPropertyList::OnKeyDown(WORD key) {
    if (key != VK_ADD && key != VK_SUBTRACT) return false;
    int position = list_.NextItem(-1, LVNI_SELECTED);
    if (position < 0) return false;
    return key == VK_ADD ? ExpandAt(position) : CollapseAt(position);
}

bool ItemPropertyList::OnDoubleClick(POINT point) {
    int position = RowAt(point, nullptr);
    if (position < 0 || !tree_.ToggleFlag(static_cast<size_t>(position))) return false;
    list_.SetItemImage(position, tree_.Shown()[position]->image);
    RedrawRow(static_cast<size_t>(position));
    return true;
}

void ItemPropertyList::Draw(const DRAWITEMSTRUCT& item) const {
    if (item.itemID >= tree_.Shown().size()) return;
    const ItemPropertyRow& row = *tree_.Shown()[item.itemID];
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    const COLORREF background = ::GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW);
    const COLORREF foreground = ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
    HDC dc = item.hDC;
    winkit::UniqueHBrush brush(::CreateSolidBrush(background));
    const int oldMode = ::SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColor = ::SetTextColor(dc, foreground);

    int left = item.rcItem.left;
    const int columns = ColumnCount(list_);
    for (int column = 0; column < columns; ++column) {
        const int width = list_.ColumnWidth(column);
        RECT cell = {left, item.rcItem.top, left + width, item.rcItem.bottom};
        left += width;
        ::FillRect(dc, &cell, brush.get());
        RECT text = cell;
        if (column == 0) {
            DrawTreeCell(dc, cell, row, background);
            text.left += row.level * kIndent + kTextOffset;
        } else {
            text.left += 6;
        }
        text.right -= 2;
        const int index = TextIndexOfColumn(column);
        if (index < 0 || text.right <= text.left) continue;
        const std::wstring& words = row.texts[index];
        ::DrawTextW(dc, words.c_str(), static_cast<int>(words.size()), &text,
                    DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    ::SetTextColor(dc, oldColor);
    ::SetBkMode(dc, oldMode);
}

void ItemPropertyList::DrawTreeCell(HDC dc, const RECT& cell, const ItemPropertyRow& row, COLORREF background) const {
    const int L = cell.left + row.level * kIndent;
    const int top = cell.top;
    const int bottom = cell.bottom;
    const int middle = (top + bottom) / 2;
    // Siblings are joined on the parent's box centre; top rows on their own.
    auto joinX = [&](int level) { return cell.left + (level > 0 ? level - 1 : 0) * kIndent + kBoxOffset + kBoxSize / 2; };
    const int centre = L + kBoxOffset + kBoxSize / 2;

    winkit::UniqueHPen pen(::CreatePen(PS_SOLID, 1, kLineColor));
    winkit::SelectObjectGuard selectPen(dc, pen.get());

    // Lines of the ancestors that still have siblings below.
    for (const ItemPropertyRow* ancestor = row.parent; ancestor; ancestor = ancestor->parent) {
        if (!tree_.IsLastSibling(*ancestor)) {
            int x = joinX(ancestor->level);
            Line(dc, x, top, x, bottom);
        }
    }
    // The row's own joint.
    const int x = joinX(row.level);
    const bool first = row.level == 0 && tree_.IsFirstSibling(row);
    Line(dc, x, first ? middle : top, x, middle);
    if (!tree_.IsLastSibling(row)) Line(dc, x, middle, x, bottom);
    Line(dc, x, middle, L + kImageOffset, middle);
    // The line down to the children of an expanded row.
    if (row.expanded) Line(dc, centre, middle, centre, bottom);

    if (row.HasChildren()) {
        RECT box = {L + kBoxOffset, middle - kBoxSize / 2, L + kBoxOffset + kBoxSize, middle - kBoxSize / 2 + kBoxSize};
        winkit::UniqueHBrush fill(::CreateSolidBrush(background));
        winkit::SelectObjectGuard selectBrush(dc, fill.get());
        ::Rectangle(dc, box.left, box.top, box.right, box.bottom);
        Line(dc, box.left + 2, middle, box.right - 2, middle);
        if (!row.expanded) Line(dc, centre, box.top + 2, centre, box.bottom - 2);
    }
    if (images_) ::ImageList_Draw(images_, row.image, dc, L + kImageOffset, middle - 8, ILD_TRANSPARENT);
}
