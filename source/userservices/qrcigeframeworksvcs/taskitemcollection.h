#pragma once
// The tasks of the last loaded TaskItemList document, in document order, and the
// user's privileges.
#include <windows.h>
#include <oleauto.h>
#include <vector>
#include "taskitem.h"

class TaskItemCollection {
public:
    // Replaces the items by the tasks of the document; the privileges keep their values
    // unless the document's Privilege elements set them. Tasks read before a parse
    // failure stay; the failure's HRESULT is returned with its QRError document.
    HRESULT Load(BSTR document);
    // Removes all items; the privileges stay.
    void Clear() { items_.clear(); }

    size_t Count() const { return items_.size(); }
    TaskItem& Item(size_t position) { return items_[position]; }
    const TaskItem& Item(size_t position) const { return items_[position]; }
    std::vector<TaskItem>& Items() { return items_; }
    const std::vector<TaskItem>& Items() const { return items_; }

    // The task a list row stands for, by its ToDo_Index: the record at position
    // key - 1 when it carries that key, otherwise the first record that does; null when
    // none does. Nothing ever indexes outside the collection.
    TaskItem* FindByKey(int key);
    const TaskItem* FindByKey(int key) const;

    bool Delete = false;
    bool Run = false;
    bool Defer = false;

private:
    std::vector<TaskItem> items_;
};
