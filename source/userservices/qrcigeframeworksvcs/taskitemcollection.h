#pragma once
// The tasks of the last loaded TaskItemList document, in document order, and the
// user's privileges.
#include <windows.h>
#include <oleauto.h>
#include <unordered_map>
#include <vector>
#include "taskitem.h"

class TaskItemCollection {
public:
    // Replaces the items by the tasks of the document; the privileges keep their values
    // unless the document's Privilege elements set them. Tasks read before a parse
    // failure stay; the failure's HRESULT is returned with its QRError document.
    HRESULT Load(BSTR document);
    // Removes all items; the privileges stay.
    void Clear() {
        items_.clear();
        indexed_ = false;
    }

    size_t Count() const { return items_.size(); }
    // The records handed out for changing may change their keys: the look-up index of
    // FindByKey is made again at its next use.
    TaskItem& Item(size_t position) {
        indexed_ = false;
        return items_[position];
    }
    const TaskItem& Item(size_t position) const { return items_[position]; }
    std::vector<TaskItem>& Items() {
        indexed_ = false;
        return items_;
    }
    const std::vector<TaskItem>& Items() const { return items_; }

    // The task a list row stands for, by its ToDo_Index: the record at position
    // key - 1 when it carries that key, otherwise the first record that does; null when
    // none does. Nothing ever indexes outside the collection. Keys away from their
    // positions are found through an index of first positions, made once per change of
    // the items, so that rows of a document numbered otherwise are not each a search.
    TaskItem* FindByKey(int key);
    const TaskItem* FindByKey(int key) const;

    bool Delete = false;
    bool Run = false;
    bool Defer = false;

private:
    std::vector<TaskItem> items_;
    mutable std::unordered_map<int, size_t> firstPositions_;
    mutable bool indexed_ = false;
};
