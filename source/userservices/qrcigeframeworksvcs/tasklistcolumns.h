#pragma once
// The task list's columns: their names, the text each shows for a task, how each
// sorts, the default set and the status views. Plain functions over a TaskItem and a
// column name, shared by the list, the filter rules and the report.
#include <array>
#include <string>
#include <string_view>
#include <vector>
#include "taskitem.h"

struct ColumnEntry {
    std::wstring name;
    int width = 100;  // pixels
};

// Entry i is list column i (sub-item i).
using ColumnSet = std::vector<ColumnEntry>;

inline constexpr int kDefaultColumnWidth = 100;

// The columns of the table, in the default set's order. A name outside the table is
// allowed: it shows empty text and sorts every row as equal.
enum class ColumnId {
    TaskName, TaskDescription, ItemName, CreatedDate, CreatedBy, ModifiedDate, ModifiedBy,
    RunDate, RunBy, SourceDocName, SourceDocType, TaskCategory, TaskStatus, DeletedFlag,
    Unknown
};

enum class SortKind { Text, Date, Status, DeletedFlag, None };

inline constexpr size_t kColumnCount = 14;

// The column of a name: exact, case-sensitive comparison; Unknown when absent.
ColumnId FindColumn(std::wstring_view name);
const wchar_t* ColumnName(ColumnId column);  // "" for Unknown
SortKind ColumnSortKind(ColumnId column);

// The text shown for a task in a column.
std::wstring ColumnText(const TaskItem& task, ColumnId column);
// The same text without copying: a field shown as it is is returned itself, a text that
// has to be made is made in `scratch` (whose storage is reused from call to call).
const std::wstring& ColumnTextRef(const TaskItem& task, ColumnId column, std::wstring& scratch);
std::wstring ColumnText(const TaskItem& task, std::wstring_view columnName);

// All fourteen columns, in table order, each 100 pixels wide.
ColumnSet DefaultColumnSet();

// The twelve names that Configure View and the filter offer, in the order added there.
const std::array<const wchar_t*, 12>& OfferedColumnNames();

// The row icon: the status's image, image 6 for a task marked deleted, and the blank
// image 0 for a status outside the table.
int RowImage(const TaskItem& task);
inline constexpr int kImageBlank = 0;
inline constexpr int kImageCompleted = 2;
inline constexpr int kImageError = 3;
inline constexpr int kImageDeleted = 6;

// The four status views; each is on unless set to 0.
struct ViewFlags {
    int ShowDeleted = 1;
    int ShowOpen = 1;
    int ShowDeferred = 1;
    int ShowCompleted = 1;
};

// Whether the views let the task be listed (statuses 1 and 3 are never hidden).
bool ShownByViews(const TaskItem& task, const ViewFlags& views);
