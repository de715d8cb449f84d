#include "taskitemcollection.h"

const TaskItem* TaskItemCollection::FindByKey(int key) const {
    if (key >= 1 && static_cast<size_t>(key) <= items_.size() && items_[key - 1].ToDo_Index == key)
        return &items_[key - 1];
    for (const TaskItem& item : items_)
        if (item.ToDo_Index == key) return &item;
    return nullptr;
}

TaskItem* TaskItemCollection::FindByKey(int key) {
    return const_cast<TaskItem*>(static_cast<const TaskItemCollection*>(this)->FindByKey(key));
}
