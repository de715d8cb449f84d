#pragma once
// The property dialog's owner as a mock: the row questions follow a list of row keys,
// the task operations are expectations.
#include <gmock/gmock.h>
#include <algorithm>
#include <ostream>
#include <vector>
#include "taskitemcollection.h"
#include "taskpropertyowner.h"

class MockTaskPropertyOwner : public TaskPropertyOwner {
public:
    MOCK_METHOD(TaskItemCollection&, Tasks, (), (override));
    MOCK_METHOD(bool, IsFirstRow, (int key), (const, override));
    MOCK_METHOD(bool, IsLastRow, (int key), (const, override));
    MOCK_METHOD(int, PreviousKey, (int key), (const, override));
    MOCK_METHOD(int, NextKey, (int key), (const, override));
    MOCK_METHOD(void, SaveTaskProperties, (const TaskPropertyValues& values), (override));
    MOCK_METHOD(RunOutcome, RunTaskItem, (int index), (override));
    MOCK_METHOD(bool, DeferTaskItem, (int index), (override));
    MOCK_METHOD(void, FetchTaskAssignments, (int index, winkit::UniqueBstr& document), (override));

    // The rows as listed, by key, and the tasks behind them.
    void UseRows(std::vector<int> keys, TaskItemCollection& tasks) {
        rows_ = std::move(keys);
        using testing::_;
        ON_CALL(*this, Tasks()).WillByDefault(testing::ReturnRef(tasks));
        ON_CALL(*this, IsFirstRow(_)).WillByDefault([this](int key) { return Position(key) == 0; });
        ON_CALL(*this, IsLastRow(_)).WillByDefault([this](int key) {
            return Position(key) + 1 == static_cast<long>(rows_.size());
        });
        ON_CALL(*this, PreviousKey(_)).WillByDefault([this](int key) {
            long at = Position(key);
            return at > 0 ? rows_[at - 1] : -1;
        });
        ON_CALL(*this, NextKey(_)).WillByDefault([this](int key) {
            long at = Position(key);
            return at >= 0 && at + 1 < static_cast<long>(rows_.size()) ? rows_[at + 1] : -1;
        });
    }

private:
    long Position(int key) const {
        auto it = std::find(rows_.begin(), rows_.end(), key);
        return it == rows_.end() ? -1 : static_cast<long>(it - rows_.begin());
    }
    std::vector<int> rows_;
};

inline bool operator==(const TaskPropertyValues& a, const TaskPropertyValues& b) {
    return a.index == b.index && a.name == b.name && a.description == b.description && a.status == b.status &&
           a.notes == b.notes && a.assignments == b.assignments;
}

inline void PrintTo(const TaskPropertyValues& v, std::ostream* os) {
    auto narrow = [](const std::wstring& w) { return std::string(w.begin(), w.end()); };
    *os << "{index " << v.index << ", name \"" << narrow(v.name) << "\", description \"" << narrow(v.description)
        << "\", status " << v.status << ", notes \"" << narrow(v.notes) << "\", assignments \""
        << narrow(v.assignments) << "\"}";
}
