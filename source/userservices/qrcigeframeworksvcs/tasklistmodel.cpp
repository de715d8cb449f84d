#include "tasklistmodel.h"

#include "tasklistsortkeys.h"

namespace {

// The header shows at most 250 characters of a column's name: the sort reads it there.
constexpr size_t kHeaderTextLimit = 250;

const TaskItem kNoTask;

} // namespace

void SelectionSummary::Count(const TaskItem* task, int step) noexcept {
    rows += step;
    if (!task) return;  // commands skip rows without a task
    tasks += step;
    if (task->ToDo_Status == kStatusCompleted) completed += step;
    if (!StatusOffersRun(*task)) completedOrDeferred += step;
    if (IsMarkedDeleted(*task)) deleted += step;
}

SelectionButtons TaskListModel::Buttons(const SelectionSummary& selection) const noexcept {
    const bool any = selection.tasks > 0;
    const bool noneDeleted = selection.deleted == 0;
    return SelectionButtons{
        any,
        tasks_.Run && any && selection.completedOrDeferred == 0 && noneDeleted,
        tasks_.Defer && any && selection.completed == 0 && noneDeleted,
        tasks_.Delete && any && noneDeleted,
        tasks_.Delete && any,
    };
}

void TaskListModel::SetColumns(ColumnSet columns) {
    columns_ = std::move(columns);
    columnIds_.clear();
    for (const ColumnEntry& column : columns_) columnIds_.push_back(FindColumn(column.name));
}

void TaskListModel::Fill() {
    rows_.clear();
    shownImages_.clear();
    if (!columns_.empty()) {
        const TaskItemCollection& tasks = tasks_;
        rows_.reserve(tasks.Count());
        for (const TaskItem& task : tasks.Items()) {
            if (tasks.FindByKey(task.ToDo_Index) != &task) continue;
            if (ShownByViews(task, views_) && FilterMatch(task, rules_)) rows_.push_back(task.ToDo_Index);
        }
    }
    if (sortColumn_ != -1) SortRows();
    IndexRows();
}

void TaskListModel::IndexRows() {
    const TaskItemCollection& tasks = tasks_;
    rowOfPosition_.assign(tasks.Count(), -1);
    if (tasks.Count() == 0) return;
    const TaskItem* first = &tasks.Item(0);
    for (size_t row = 0; row < rows_.size(); ++row)
        if (const TaskItem* task = tasks.FindByKey(rows_[row])) rowOfPosition_[task - first] = static_cast<int>(row);
}

int TaskListModel::RowOfKey(int key) const {
    const TaskItem* task = tasks_.FindByKey(key);
    if (task) {
        size_t position = static_cast<size_t>(task - &tasks_.Item(0));
        if (position < rowOfPosition_.size()) {
            int row = rowOfPosition_[position];
            if (row >= 0 && static_cast<size_t>(row) < rows_.size() && rows_[row] == key) return row;
        }
    }
    // The tasks were fetched again since the fill: their positions may have moved.
    for (size_t row = 0; row < rows_.size(); ++row)
        if (rows_[row] == key) return static_cast<int>(row);
    return -1;
}

const std::wstring& TaskListModel::Text(size_t row, size_t column, std::wstring& scratch) const {
    static const std::wstring kEmpty;
    const TaskItem* task = RowTask(row);
    if (!task || column >= columnIds_.size()) return kEmpty;
    return ColumnTextRef(*task, columnIds_[column], scratch);
}

int TaskListModel::Image(size_t row) const {
    if (row >= rows_.size()) return kImageBlank;
    auto shown = shownImages_.find(rows_[row]);
    if (shown != shownImages_.end()) return shown->second;
    const TaskItem* task = RowTask(row);
    return task ? RowImage(*task) : kImageBlank;
}

void TaskListModel::ShowImage(size_t row, int image) {
    if (row < rows_.size()) shownImages_[rows_[row]] = image;
}

int TaskListModel::PreviousKey(int key) const {
    int row = RowOfKey(key);
    return row <= 0 ? -1 : rows_[row - 1];
}

int TaskListModel::NextKey(int key) const {
    int row = RowOfKey(key);
    return row < 0 || static_cast<size_t>(row) + 1 >= rows_.size() ? -1 : rows_[row + 1];
}

void TaskListModel::SortBy(int column) {
    sortAscending_ = column == sortColumn_ ? !sortAscending_ : true;
    sortColumn_ = column;
    SortRows();
    IndexRows();
}

ColumnId TaskListModel::SortColumnId() const {
    if (sortColumn_ < 0 || static_cast<size_t>(sortColumn_) >= columns_.size()) return ColumnId::Unknown;
    const std::wstring& name = columns_[sortColumn_].name;
    return FindColumn(std::wstring_view(name).substr(0, kHeaderTextLimit));
}

const std::vector<int64_t>& TaskListModel::ParsedDates(ColumnId column) {
    std::vector<int64_t>& dates = parsedDates_[static_cast<size_t>(column)];
    const TaskItemCollection& tasks = tasks_;
    if (dates.size() != tasks.Count()) {
        dates.clear();
        dates.reserve(tasks.Count());
        for (const TaskItem& task : tasks.Items()) dates.push_back(DateSeconds(ColumnText(task, column)));
    }
    return dates;
}

void TaskListModel::SortRows() {
    const ColumnId column = SortColumnId();
    const SortKind kind = ColumnSortKind(column);
    if (kind == SortKind::None || rows_.size() < 2) return;
    const TaskItemCollection& tasks = tasks_;
    auto taskOf = [&tasks](int key) {
        const TaskItem* task = tasks.FindByKey(key);
        return task ? task : &kNoTask;
    };
    std::vector<size_t> order;
    if (kind == SortKind::Text) {
        std::vector<std::wstring> texts;
        texts.reserve(rows_.size());
        for (int key : rows_) texts.push_back(ColumnText(*taskOf(key), column));
        order = StableOrder(texts, sortAscending_);
    } else {
        const std::vector<int64_t>* dates = kind == SortKind::Date ? &ParsedDates(column) : nullptr;
        std::vector<int64_t> values;
        values.reserve(rows_.size());
        for (int key : rows_) {
            const TaskItem* task = taskOf(key);
            if (dates) values.push_back(task == &kNoTask ? DateSeconds(std::wstring()) : (*dates)[task - &tasks.Item(0)]);
            else values.push_back(kind == SortKind::Status ? task->ToDo_Status : task->ToDo_DeletedFlag);
        }
        order = StableOrder(values, sortAscending_);
    }
    std::vector<int> sorted;
    sorted.reserve(rows_.size());
    for (size_t from : order) sorted.push_back(rows_[from]);
    rows_.swap(sorted);
}
