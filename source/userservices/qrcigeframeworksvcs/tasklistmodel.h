#pragma once
// What the To Do list shows, without a window: the tasks of the last fetch, the column
// set, the status views, the filter rules, the rows (the keys of the listed tasks, in
// their order) and the sort. The dialog's list view asks it for every text and picture
// by row index and keeps only the selection and focus.
#include <array>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>
#include "filterrules.h"
#include "taskitemcollection.h"
#include "tasklistcolumns.h"

// What the buttons depend on, counted over the selected rows, so that one row's change of
// selection is one step rather than a pass over the whole selection.
struct SelectionSummary {
    int rows = 0;  // selected rows, with or without a task
    int tasks = 0;
    int completed = 0;
    int completedOrDeferred = 0;
    int deleted = 0;
    void Count(const TaskItem* task, int step) noexcept;
};

// The enabled states of the buttons that follow the selection.
struct SelectionButtons {
    bool properties, run, defer, remove, removeFromServer;
    bool operator==(const SelectionButtons& o) const {
        return properties == o.properties && run == o.run && defer == o.defer && remove == o.remove &&
               removeFromServer == o.removeFromServer;
    }
};

class TaskListModel {
public:
    TaskItemCollection& Tasks() noexcept { return tasks_; }
    const TaskItemCollection& Tasks() const noexcept { return tasks_; }
    // The tasks' records were replaced or changed in place: the dates a sort parsed are
    // parsed again at the next sort.
    void TasksChanged() noexcept { parsedDates_ = {}; }

    const ColumnSet& Columns() const noexcept { return columns_; }
    void SetColumns(ColumnSet columns);
    ViewFlags& Views() noexcept { return views_; }
    FilterRules& Rules() noexcept { return rules_; }

    // The rows again from the tasks, in collection order, through the views and the
    // rules, sorted again when a sort column is set. A task whose key finds an earlier
    // record is not listed: commands find a row's task by its key, so its row would show
    // one task while they acted on another. With no column no row is made.
    void Fill();

    size_t RowCount() const noexcept { return rows_.size(); }
    // -1 outside the rows.
    int RowKey(size_t row) const noexcept { return row < rows_.size() ? rows_[row] : -1; }
    // The row listing the key; -1 when none does. Constant time.
    int RowOfKey(int key) const;
    // Null when the collection no longer holds a task with the row's key.
    const TaskItem* RowTask(size_t row) const { return row < rows_.size() ? tasks_.FindByKey(rows_[row]) : nullptr; }
    // The text of a row in column set entry `column`; built in `scratch` when it has to
    // be made. Empty for a column outside the set or a row without a task.
    const std::wstring& Text(size_t row, size_t column, std::wstring& scratch) const;
    // The row's picture: the one a running command shows over it, or its task's.
    int Image(size_t row) const;
    // Shows `image` on the row's task until the next fill.
    void ShowImage(size_t row, int image);

    // The property dialog's Previous and Next, on the rows as listed, by key.
    bool IsFirstRow(int key) const noexcept { return !rows_.empty() && rows_.front() == key; }
    bool IsLastRow(int key) const noexcept { return !rows_.empty() && rows_.back() == key; }
    // -1 at the first / last row and for a key no row lists.
    int PreviousKey(int key) const;
    int NextKey(int key) const;

    // The header click: ascending on the first click of a column, reversed on each
    // further click of the same one. The rows are reordered at once.
    void SortBy(int column);
    // Refresh: the next fills keep collection order; the direction keeps its value.
    void ForgetSort() noexcept { sortColumn_ = -1; }
    int SortColumn() const noexcept { return sortColumn_; }
    bool SortAscending() const noexcept { return sortAscending_; }

    void CountRow(SelectionSummary& summary, size_t row, int step) const noexcept { summary.Count(RowTask(row), step); }
    SelectionButtons Buttons(const SelectionSummary& selection) const noexcept;

private:
    // The sort column is an index into the column set: the column that has it now, as
    // its name reads in the header (up to 250 characters); Unknown when none has it.
    ColumnId SortColumnId() const;
    void SortRows();
    void IndexRows();
    // A date column's points in time in seconds, by collection position; kNoDate where the
    // text does not parse. Parsed once per load of the tasks.
    const std::vector<int64_t>& ParsedDates(ColumnId column);

    TaskItemCollection tasks_;
    ColumnSet columns_;
    std::vector<ColumnId> columnIds_;
    ViewFlags views_;
    FilterRules rules_;
    std::vector<int> rows_;
    // By collection position: the row listing it, -1 when none.
    std::vector<int> rowOfPosition_;
    std::unordered_map<int, int> shownImages_;  // by key
    int sortColumn_ = -1;
    bool sortAscending_ = false;
    std::array<std::vector<int64_t>, kColumnCount> parsedDates_;
};
