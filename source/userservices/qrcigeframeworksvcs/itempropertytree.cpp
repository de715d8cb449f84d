#include "itempropertytree.h"

#include <algorithm>

namespace {

std::unique_ptr<ItemPropertyRow> PropertyRow(AttRecord& property, int level, ItemPropertyRow* parent) {
    auto row = std::make_unique<ItemPropertyRow>();
    row->texts = {property.I, property.V, property.O, property.U};
    row->image = static_cast<int>(property.S);
    row->level = level;
    row->source = &property;
    row->parent = parent;
    return row;
}

std::unique_ptr<ItemPropertyRow> ObjectRow(ObjRecord& object, int level, ItemPropertyRow* parent) {
    auto row = std::make_unique<ItemPropertyRow>();
    row->texts[0] = object.N + L" (" + object.C + L")";
    row->image = ItemPropertyRow::kObjectImage;
    row->level = level;
    row->parent = parent;
    for (AttRecord& property : object.attributes) row->children.push_back(PropertyRow(property, level + 1, row.get()));
    for (ObjRecord& sub : object.objects) row->children.push_back(ObjectRow(sub, level + 1, row.get()));
    return row;
}

} // namespace

void ItemPropertyTree::Build(ObjRecord& top) {
    Clear();
    for (AttRecord& property : top.attributes) top_.push_back(PropertyRow(property, 0, nullptr));
    for (ObjRecord& sub : top.objects) top_.push_back(ObjectRow(sub, 0, nullptr));
    for (const auto& row : top_) shown_.push_back(row.get());
}

void ItemPropertyTree::Clear() noexcept {
    shown_.clear();
    top_.clear();
}

size_t ItemPropertyTree::PositionOf(const ItemPropertyRow* row) const noexcept {
    auto it = std::find(shown_.begin(), shown_.end(), row);
    return it == shown_.end() ? npos : static_cast<size_t>(it - shown_.begin());
}

size_t ItemPropertyTree::Expand(size_t position) {
    if (position >= shown_.size()) return 0;
    ItemPropertyRow* row = shown_[position];
    if (row->expanded || !row->HasChildren()) return 0;
    std::vector<ItemPropertyRow*> children;
    children.reserve(row->children.size());
    for (const auto& child : row->children) children.push_back(child.get());
    shown_.insert(shown_.begin() + static_cast<std::ptrdiff_t>(position + 1), children.begin(), children.end());
    row->expanded = true;
    return children.size();
}

size_t ItemPropertyTree::Collapse(size_t position) {
    if (position >= shown_.size()) return 0;
    ItemPropertyRow* row = shown_[position];
    if (!row->expanded) return 0;
    // The shown descendants are the rows right below it that lie deeper.
    size_t end = position + 1;
    while (end < shown_.size() && shown_[end]->level > row->level) {
        shown_[end]->expanded = false;
        ++end;
    }
    shown_.erase(shown_.begin() + static_cast<std::ptrdiff_t>(position + 1), shown_.begin() + static_cast<std::ptrdiff_t>(end));
    row->expanded = false;
    return end - position - 1;
}

bool ItemPropertyTree::Toggle(size_t position) {
    if (position >= shown_.size()) return false;
    return shown_[position]->expanded ? Collapse(position) > 0 : Expand(position) > 0;
}

bool ItemPropertyTree::ToggleFlag(size_t position) {
    if (position >= shown_.size()) return false;
    ItemPropertyRow* row = shown_[position];
    if (row->image != 0 && row->image != 1) return false;
    row->image = 1 - row->image;
    if (row->source) row->source->S = row->image;
    return true;
}

const std::vector<std::unique_ptr<ItemPropertyRow>>& ItemPropertyTree::SiblingsOf(const ItemPropertyRow& row) const noexcept {
    return row.parent ? row.parent->children : top_;
}

bool ItemPropertyTree::IsLastSibling(const ItemPropertyRow& row) const noexcept {
    const auto& siblings = SiblingsOf(row);
    return !siblings.empty() && siblings.back().get() == &row;
}

bool ItemPropertyTree::IsFirstSibling(const ItemPropertyRow& row) const noexcept {
    const auto& siblings = SiblingsOf(row);
    return !siblings.empty() && siblings.front().get() == &row;
}
