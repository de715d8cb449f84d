#pragma once
// The rows of the Item Properties list as a tree: the top object's properties and
// sub-objects are the top rows; an object row holds its properties, then its
// sub-objects. Only the rows of expanded objects are shown; the shown rows are kept in
// list order, so the list view mirrors Shown() position for position.
#include <array>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>
#include "objrecords.h"

struct ItemPropertyRow {
    // A property: I, V, O, U of its record. An object: "N (C)" and three empty texts.
    std::array<std::wstring, 4> texts;
    int image = 0;  // a property's flag S (0 or 1); kObjectImage for an object
    int level = 0;  // 0 for top rows
    AttRecord* source = nullptr;  // the property record a flag change is written to
    ItemPropertyRow* parent = nullptr;
    std::vector<std::unique_ptr<ItemPropertyRow>> children;
    bool expanded = false;

    static constexpr int kObjectImage = 2;
    bool HasChildren() const noexcept { return !children.empty(); }
};

class ItemPropertyTree {
public:
    static constexpr size_t npos = static_cast<size_t>(-1);

    // Rows for the top object's properties and sub-objects; the records must outlive
    // the rows (flag changes are written into them).
    void Build(ObjRecord& top);
    void Clear() noexcept;

    const std::vector<ItemPropertyRow*>& Shown() const noexcept { return shown_; }
    const std::vector<std::unique_ptr<ItemPropertyRow>>& TopRows() const noexcept { return top_; }
    size_t PositionOf(const ItemPropertyRow* row) const noexcept;

    // Shows the children of a collapsed object row directly below it; answers how many
    // rows were inserted (0 when the row is a property, already expanded or empty).
    size_t Expand(size_t position);
    // Hides every shown descendant of an expanded row, collapsing expanded sub-objects
    // on the way; answers how many rows were removed below it.
    size_t Collapse(size_t position);
    // Expands a collapsed row, collapses an expanded one.
    bool Toggle(size_t position);
    // Switches a property's flag between 0 and 1 and writes it to its record; objects
    // and other values stay. Answers whether the flag changed.
    bool ToggleFlag(size_t position);

    // The siblings of a row (its parent's children, or the top rows).
    const std::vector<std::unique_ptr<ItemPropertyRow>>& SiblingsOf(const ItemPropertyRow& row) const noexcept;
    bool IsLastSibling(const ItemPropertyRow& row) const noexcept;
    bool IsFirstSibling(const ItemPropertyRow& row) const noexcept;

private:
    std::vector<std::unique_ptr<ItemPropertyRow>> top_;
    std::vector<ItemPropertyRow*> shown_;
};
