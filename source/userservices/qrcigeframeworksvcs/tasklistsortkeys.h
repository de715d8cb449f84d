#pragma once
// The header-click sort order of the task list as plain functions.
//
// The comparison of two tasks on a column (first, second) is: texts by UTF-16 code
// unit (wcscmp); dates as points in time, a text that does not parse counting as later
// than every date; status codes and deleted flags by difference. A row goes after
// another only when the comparison is positive; equal rows keep their order.
#include <vector>
#include "tasklistcolumns.h"

// What one task's comparison on one column needs, computed once per sort.
struct SortKey {
    std::wstring text;   // text columns
    double date = 0;     // date columns, when dateValid
    bool dateValid = false;
    int number = 0;      // status code or deleted flag
};

SortKey MakeSortKey(const TaskItem& task, ColumnId column);

// Positive when `first` goes after `second`.
int CompareSortKeys(const SortKey& first, const SortKey& second, SortKind kind);

// The comparison of two tasks on a column, with (first, second) = (a, b) ascending and
// (b, a) descending.
int CompareTasks(const TaskItem& a, const TaskItem& b, ColumnId column, bool ascending);

// A date text as a point in time (VarDateFromStr, user locale, no flags).
bool ParseDateText(const std::wstring& text, double& date);

// The order of a stable sort of `tasks` by the column: element i is the position in
// `tasks` of the task that goes to place i. Tasks that compare equal keep their
// relative order. Each task's key is computed once.
std::vector<size_t> SortedOrder(const std::vector<const TaskItem*>& tasks, ColumnId column, bool ascending);
