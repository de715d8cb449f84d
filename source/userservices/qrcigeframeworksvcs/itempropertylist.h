#pragma once
// The Item Properties list: a report list view used as a tree over ItemPropertyTree.
// Every cell is drawn here (tree lines, plus/minus boxes, the flag and object images);
// clicks on a box and the keypad's + and - expand and collapse, a double-click switches
// a property's flag. The list's rows mirror the tree's shown rows position for position.
#include <windows.h>
#include <commctrl.h>
#include "itempropertytree.h"
#include "winkit/list_view.h"

enum class ItemPropertyLayout { Create, Update };

class ItemPropertyList {
public:
    static constexpr int kIndent = 16;       // per level
    static constexpr int kBoxOffset = 4;     // the plus/minus box, from the level's indent
    static constexpr int kBoxSize = 9;
    static constexpr int kClickWidth = 20;   // the box's click area
    static constexpr int kImageOffset = 18;
    static constexpr int kTextOffset = 37;
    static constexpr COLORREF kLineColor = RGB(0xC0, 0xC0, 0xC0);

    // The list control and the images (not owned).
    void Attach(HWND list, HIMAGELIST images) noexcept;
    HWND Handle() const noexcept { return list_.hwnd(); }

    // Clears all columns and sets those of the layout.
    void PrepareColumns(ItemPropertyLayout layout);
    ItemPropertyLayout Layout() const noexcept { return layout_; }

    // Removes every row; with a top object, shows its properties and sub-objects.
    void ShowObject(ObjRecord* top);

    // Expands or collapses the row at a list position; false when nothing changed.
    bool ExpandAt(int position);
    bool CollapseAt(int position);

    // A click: a click in the first column on the row's box area toggles the row.
    bool OnClick(POINT point);
    // The keypad's + expands and - collapses the first selected row.
    bool OnKeyDown(WORD key);
    // A double-click on any cell of a row switches its flag; true when it changed.
    bool OnDoubleClick(POINT point);
    void Draw(const DRAWITEMSTRUCT& item) const;

    const ItemPropertyTree& Tree() const noexcept { return tree_; }
    // The tree text a column shows (the Create layout leaves the old value out).
    int TextIndexOfColumn(int column) const noexcept;
    // Where a row's box area starts, from the first column's left edge.
    static int BoxLeft(int level) noexcept { return level * kIndent + kBoxOffset; }

private:
    int RowAt(POINT point, int* column) const noexcept;
    int RowLeft(int position) const noexcept;
    void InsertRows(size_t from, size_t count) const;
    void DeleteRows(size_t from, size_t count) const;
    void RedrawRow(size_t position) const noexcept;
    void DrawTreeCell(HDC dc, const RECT& cell, const ItemPropertyRow& row, COLORREF background) const;

    winkit::ListViewCtrl list_;
    HIMAGELIST images_ = nullptr;
    ItemPropertyLayout layout_ = ItemPropertyLayout::Create;
    ItemPropertyTree tree_;
};
