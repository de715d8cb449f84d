#include "taskhistorypage.h"

#include <string>

CTaskHistoryPage::CTaskHistoryPage(const TaskPageHost& host) noexcept
    : CPropertyPage(static_cast<winkit::Window&>(*this)), host_(host) {}

BOOL CTaskHistoryPage::OnInitDialog(HWND, LPARAM) {
    LoadFromTask();
    return TRUE;
}

void CTaskHistoryPage::LoadFromTask() {
    if (host_.CreationMode()) return;
    static const TaskItem kNothing;
    const TaskItem* found = host_.CurrentTask();
    const TaskItem& task = found ? *found : kNothing;
    const struct {
        int id;
        const std::wstring& text;
    } fields[] = {
        {IDC_TASKHISTORY_CREATEDBY, task.ToDo_CreatedBy},   {IDC_TASKHISTORY_CREATEDDATE, task.ToDo_CreatedDate},
        {IDC_TASKHISTORY_MODIFIEDBY, task.ToDo_ModifiedBy}, {IDC_TASKHISTORY_MODIFIEDDATE, task.ToDo_ModifiedDate},
        {IDC_TASKHISTORY_RUNBY, task.ToDo_RunBy},           {IDC_TASKHISTORY_RUNDATE, task.ToDo_RunDate},
        {IDC_TASKHISTORY_DELETEDBY, task.ToDo_DeletedBy},   {IDC_TASKHISTORY_DELETEDDATE, task.ToDo_DeletedDate},
    };
    for (const auto& field : fields) winkit::Window(Item(field.id)).SetText(field.text);
}
