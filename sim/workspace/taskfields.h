#pragma once
// The fields of a task as the TaskItemList document and the request records name them.
#include <array>
#include <string>
#include <string_view>

namespace sim {

enum class TaskText {
    Name, Description, Notes, Class, ItemName, CreatedDate, CreatedBy, ModifiedDate, ModifiedBy,
    RunDate, RunBy, DeletedDate, DeletedBy, EngineeringTool, SrcDocName, SrcDocType,
};
inline constexpr size_t kTaskTextCount = 16;

enum class TaskInteger { Category, Status, DeletedFlag };
inline constexpr size_t kTaskIntegerCount = 3;

enum class FieldKind {
    Text,     // any text (VT_BSTR in requests)
    Date,     // a date kept as text; requests send it as an OLE Automation date (VT_R8)
    Integer,  // a code within [minimum, maximum] (VT_I4 in requests)
};

struct TaskFieldInfo {
    const wchar_t* name;
    FieldKind kind;
    size_t slot;  // TaskText or TaskInteger value
    long minimum;
    long maximum;
};

// The nineteen fields after ToDo_Index, in the order of the TaskItemList document.
const std::array<TaskFieldInfo, kTaskTextCount + kTaskIntegerCount>& TaskFields();
// The field of that name, or null (ToDo_Index is not in the table: it is the position).
const TaskFieldInfo* FindTaskField(std::wstring_view name);

inline constexpr const wchar_t* kIndexField = L"ToDo_Index";

// Status and category codes.
inline constexpr long kStatusOpen = 0;
inline constexpr long kStatusCompleted = 2;
inline constexpr long kStatusError = 3;
inline constexpr long kStatusDeferred = 4;
inline constexpr long kCategoryManual = 5;

} // namespace sim
