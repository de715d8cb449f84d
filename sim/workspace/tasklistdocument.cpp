#include "tasklistdocument.h"

#include "simxmltext.h"

namespace sim {

std::wstring WriteTaskItemList(const WorkspaceData& data) {
    std::wstring out = L"<TaskItemList>\n<Privilege";
    AppendAttribute(out, L"Delete", data.privileges.deleteTasks ? L"1" : L"0");
    AppendAttribute(out, L"Run", data.privileges.runTasks ? L"1" : L"0");
    AppendAttribute(out, L"Defer", data.privileges.deferTasks ? L"1" : L"0");
    out += L"/>\n";
    size_t index = 0;
    for (const SimTask& task : data.tasks) {
        out += L"<TaskItem";
        AppendAttribute(out, kIndexField, std::to_wstring(++index));
        for (const TaskFieldInfo& field : TaskFields()) AppendAttribute(out, field.name, task.FieldText(field));
        out += L"/>\n";
    }
    out += L"</TaskItemList>";
    return out;
}

} // namespace sim
