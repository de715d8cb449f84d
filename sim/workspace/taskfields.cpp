#include "taskfields.h"

namespace sim {

namespace {

constexpr TaskFieldInfo Text(const wchar_t* name, TaskText slot) {
    return {name, FieldKind::Text, static_cast<size_t>(slot), 0, 0};
}
constexpr TaskFieldInfo Date(const wchar_t* name, TaskText slot) {
    return {name, FieldKind::Date, static_cast<size_t>(slot), 0, 0};
}
constexpr TaskFieldInfo Integer(const wchar_t* name, TaskInteger slot, long minimum, long maximum) {
    return {name, FieldKind::Integer, static_cast<size_t>(slot), minimum, maximum};
}

constexpr std::array<TaskFieldInfo, kTaskTextCount + kTaskIntegerCount> kFields = {{
    Text(L"ToDo_Name", TaskText::Name),
    Text(L"ToDo_Description", TaskText::Description),
    Text(L"ToDo_Notes", TaskText::Notes),
    Text(L"ToDo_Class", TaskText::Class),
    Text(L"ToDo_ItemName", TaskText::ItemName),
    Date(L"ToDo_CreatedDate", TaskText::CreatedDate),
    Text(L"ToDo_CreatedBy", TaskText::CreatedBy),
    Date(L"ToDo_ModifiedDate", TaskText::ModifiedDate),
    Text(L"ToDo_ModifiedBy", TaskText::ModifiedBy),
    Date(L"ToDo_RunDate", TaskText::RunDate),
    Text(L"ToDo_RunBy", TaskText::RunBy),
    Date(L"ToDo_DeletedDate", TaskText::DeletedDate),
    Text(L"ToDo_DeletedBy", TaskText::DeletedBy),
    Text(L"ToDo_EngineeringTool", TaskText::EngineeringTool),
    Text(L"ToDo_SrcDocName", TaskText::SrcDocName),
    Text(L"ToDo_SrcDocType", TaskText::SrcDocType),
    Integer(L"ToDo_Category", TaskInteger::Category, 0, 6),
    Integer(L"ToDo_Status", TaskInteger::Status, 0, 4),
    Integer(L"ToDo_DeletedFlag", TaskInteger::DeletedFlag, 0, 1),
}};

} // namespace

const std::array<TaskFieldInfo, kTaskTextCount + kTaskIntegerCount>& TaskFields() { return kFields; }

const TaskFieldInfo* FindTaskField(std::wstring_view name) {
    for (const TaskFieldInfo& field : kFields)
        if (name == field.name) return &field;
    return nullptr;
}

} // namespace sim
