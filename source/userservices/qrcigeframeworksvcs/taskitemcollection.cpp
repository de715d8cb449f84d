#include "taskitemcollection.h"

#include <new>

const TaskItem* TaskItemCollection::FindByKey(int key) const {
    if (key >= 1 && static_cast<size_t>(key) <= items_.size() && items_[key - 1].ToDo_Index == key)
        return &items_[key - 1];
    try {
        if (!indexed_) {
            firstPositions_.clear();
            for (size_t position = 0; position < items_.size(); ++position)
                firstPositions_.emplace(items_[position].ToDo_Index, position);  // the first one stays
            indexed_ = true;
        }
        auto found = firstPositions_.find(key);
        return found == firstPositions_.end() ? nullptr : &items_[found->second];
    } catch (const std::bad_alloc&) {
        // Without room for the index, a search finds the same record.
        firstPositions_.clear();
        indexed_ = false;
        for (const TaskItem& item : items_)
            if (item.ToDo_Index == key) return &item;
        return nullptr;
    }
}

TaskItem* TaskItemCollection::FindByKey(int key) {
    return const_cast<TaskItem*>(static_cast<const TaskItemCollection*>(this)->FindByKey(key));
}
