#include "tasklistdocument.h"

#include <cwchar>
#include "simxmltext.h"

namespace sim {

namespace {

// Room for the whole document up front, escapes aside: growing a text of tens of
// megabytes by doubling copies it again at each step.
size_t ExpectedLength(const WorkspaceData& data) {
    size_t markup = std::wcslen(L"<TaskItem ToDo_Index=\"\"/>\n") + 10;
    for (const TaskFieldInfo& field : TaskFields()) markup += std::wcslen(field.name) + 4 + (field.kind == FieldKind::Integer ? 11 : 0);
    size_t length = 128 + data.tasks.size() * markup;
    for (const SimTask& task : data.tasks)
        for (const std::wstring& text : task.texts) length += text.size();
    return length;
}

} // namespace

std::wstring WriteTaskItemList(const WorkspaceData& data) {
    std::wstring out;
    out.reserve(ExpectedLength(data));
    out += L"<TaskItemList>\n<Privilege";
    AppendAttribute(out, L"Delete", data.privileges.deleteTasks ? L"1" : L"0");
    AppendAttribute(out, L"Run", data.privileges.runTasks ? L"1" : L"0");
    AppendAttribute(out, L"Defer", data.privileges.deferTasks ? L"1" : L"0");
    out += L"/>\n";
    size_t index = 0;
    for (const SimTask& task : data.tasks) {
        out += L"<TaskItem";
        AppendAttribute(out, kIndexField, static_cast<long long>(++index));
        for (const TaskFieldInfo& field : TaskFields()) task.AppendFieldAttribute(out, field);
        out += L"/>\n";
    }
    out += L"</TaskItemList>";
    return out;
}

} // namespace sim
