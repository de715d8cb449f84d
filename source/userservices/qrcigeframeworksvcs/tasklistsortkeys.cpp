#include "tasklistsortkeys.h"

#include <windows.h>
#include <oleauto.h>
#include <algorithm>
#include <cmath>
#include <cwchar>

namespace {

// OLE Automation dates before 1899-12-30 count days backwards but the time of day
// forwards (-1.25 is 29 December, 06:00): turn them into a continuous scale.
double PointInTime(DATE date) {
    if (date >= 0) return date;
    double days = std::trunc(date);
    return days + (days - date);
}

} // namespace

bool ParseDateText(const std::wstring& text, double& date) {
    DATE parsed = 0;
    if (FAILED(::VarDateFromStr(const_cast<OLECHAR*>(text.c_str()), LOCALE_USER_DEFAULT, 0, &parsed))) return false;
    date = PointInTime(parsed);
    return true;
}

SortKey MakeSortKey(const TaskItem& task, ColumnId column) {
    SortKey key;
    switch (ColumnSortKind(column)) {
    case SortKind::Text: key.text = ColumnText(task, column); break;
    case SortKind::Date: key.dateValid = ParseDateText(ColumnText(task, column), key.date); break;
    case SortKind::Status: key.number = task.ToDo_Status; break;
    case SortKind::DeletedFlag: key.number = task.ToDo_DeletedFlag; break;
    case SortKind::None: break;
    }
    return key;
}

int CompareSortKeys(const SortKey& first, const SortKey& second, SortKind kind) {
    switch (kind) {
    case SortKind::Text: return std::wcscmp(first.text.c_str(), second.text.c_str());
    case SortKind::Date:
        if (first.dateValid && second.dateValid) return first.date > second.date ? 1 : 0;
        // A text that is not a date goes after every date; two of them are equal, so
        // that they keep their order.
        return !first.dateValid && second.dateValid ? 1 : 0;
    case SortKind::Status:
    case SortKind::DeletedFlag:
        return first.number < second.number ? -1 : (first.number > second.number ? 1 : 0);
    case SortKind::None: break;
    }
    return 0;
}

int CompareTasks(const TaskItem& a, const TaskItem& b, ColumnId column, bool ascending) {
    SortKey ka = MakeSortKey(a, column);
    SortKey kb = MakeSortKey(b, column);
    SortKind kind = ColumnSortKind(column);
    return ascending ? CompareSortKeys(ka, kb, kind) : CompareSortKeys(kb, ka, kind);
}

std::vector<size_t> SortedOrder(const std::vector<const TaskItem*>& tasks, ColumnId column, bool ascending) {
    std::vector<size_t> order(tasks.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    SortKind kind = ColumnSortKind(column);
    if (kind == SortKind::None || tasks.size() < 2) return order;
    std::vector<SortKey> keys;
    keys.reserve(tasks.size());
    for (const TaskItem* task : tasks) keys.push_back(MakeSortKey(*task, column));
    // x goes before y exactly when y would go after x.
    std::stable_sort(order.begin(), order.end(), [&keys, kind, ascending](size_t x, size_t y) {
        return (ascending ? CompareSortKeys(keys[y], keys[x], kind) : CompareSortKeys(keys[x], keys[y], kind)) > 0;
    });
    return order;
}
