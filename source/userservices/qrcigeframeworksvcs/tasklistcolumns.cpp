#include "tasklistcolumns.h"

namespace {

struct ColumnInfo {
    const wchar_t* name;
    SortKind sort;
};

// In the order of ColumnId.
const ColumnInfo kColumns[kColumnCount] = {
    {L"Task Name", SortKind::Text},
    {L"Task Description", SortKind::Text},
    {L"Item Name", SortKind::Text},
    {L"Created Date", SortKind::Date},
    {L"Created By", SortKind::Text},
    {L"Modified Date", SortKind::Date},
    {L"Modified By", SortKind::Text},
    {L"Run Date", SortKind::Date},
    {L"Run By", SortKind::Text},
    {L"Source Doc Name", SortKind::Text},
    {L"Source Doc Type", SortKind::Text},
    {L"Task Category", SortKind::Text},
    {L"Task Status", SortKind::Status},
    {L"Deleted Flag", SortKind::DeletedFlag},
};

const std::array<const wchar_t*, 12> kOffered = {
    L"Task Name", L"Task Description", L"Task Category", L"Item Name", L"Created Date", L"Created By",
    L"Modified Date", L"Modified By", L"Run Date", L"Run By", L"Source Doc Name", L"Source Doc Type",
};

} // namespace

ColumnId FindColumn(std::wstring_view name) {
    for (size_t i = 0; i < kColumnCount; ++i)
        if (name == kColumns[i].name) return static_cast<ColumnId>(i);
    return ColumnId::Unknown;
}

const wchar_t* ColumnName(ColumnId column) {
    size_t i = static_cast<size_t>(column);
    return i < kColumnCount ? kColumns[i].name : L"";
}

SortKind ColumnSortKind(ColumnId column) {
    size_t i = static_cast<size_t>(column);
    return i < kColumnCount ? kColumns[i].sort : SortKind::None;
}

const std::wstring& ColumnTextRef(const TaskItem& task, ColumnId column, std::wstring& scratch) {
    static const std::wstring kEmpty;
    switch (column) {
    case ColumnId::TaskName:
        scratch.assign(CategoryWord(task.ToDo_Category)).append(1, L' ').append(task.ToDo_Name);
        return scratch;
    case ColumnId::TaskDescription:
        if (task.ToDo_Category == kCategoryManual) return task.ToDo_Description;
        scratch.assign(L"This task will ").append(CategoryWord(task.ToDo_Category)).append(1, L' ').append(task.ToDo_Name);
        return scratch;
    case ColumnId::ItemName: return task.ToDo_ItemName;
    case ColumnId::CreatedDate: return task.ToDo_CreatedDate;
    case ColumnId::CreatedBy: return task.ToDo_CreatedBy;
    case ColumnId::ModifiedDate: return task.ToDo_ModifiedDate;
    case ColumnId::ModifiedBy: return task.ToDo_ModifiedBy;
    case ColumnId::RunDate: return task.ToDo_RunDate;
    case ColumnId::RunBy: return task.ToDo_RunBy;
    case ColumnId::SourceDocName: return task.ToDo_SrcDocName;
    case ColumnId::SourceDocType: return task.ToDo_SrcDocType;
    case ColumnId::TaskCategory: return scratch = CategoryWord(task.ToDo_Category);
    case ColumnId::TaskStatus: return scratch = StatusWord(task.ToDo_Status);
    case ColumnId::DeletedFlag: return task.ToDo_DeletedFlag == 1 ? scratch = L"Deleted" : kEmpty;
    case ColumnId::Unknown: break;
    }
    return kEmpty;
}

std::wstring ColumnText(const TaskItem& task, ColumnId column) {
    std::wstring scratch;
    return ColumnTextRef(task, column, scratch);
}

std::wstring ColumnText(const TaskItem& task, std::wstring_view columnName) {
    return ColumnText(task, FindColumn(columnName));
}

ColumnSet DefaultColumnSet() {
    ColumnSet set;
    set.reserve(kColumnCount);
    for (const ColumnInfo& info : kColumns) set.push_back({info.name, kDefaultColumnWidth});
    return set;
}

const std::array<const wchar_t*, 12>& OfferedColumnNames() { return kOffered; }

int RowImage(const TaskItem& task) {
    if (task.ToDo_DeletedFlag == 1) return kImageDeleted;
    return task.ToDo_Status >= 0 && task.ToDo_Status < kStatusCount ? task.ToDo_Status : kImageBlank;
}

bool ShownByViews(const TaskItem& task, const ViewFlags& views) {
    if (!views.ShowDeleted && task.ToDo_DeletedFlag == 1) return false;
    switch (task.ToDo_Status) {
    case kStatusOpen: return views.ShowOpen != 0;
    case kStatusDeferred: return views.ShowDeferred != 0;
    case kStatusCompleted: return views.ShowCompleted != 0;
    default: return true;
    }
}
