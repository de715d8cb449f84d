#include "taskdetailspage.h"

CTaskDetailsPage::CTaskDetailsPage(const TaskPageHost& host) noexcept
    : CPropertyPage(static_cast<winkit::Window&>(*this)), host_(host) {}

BOOL CTaskDetailsPage::OnInitDialog(HWND, LPARAM) {
    LoadFromTask();
    return TRUE;
}

void CTaskDetailsPage::LoadFromTask() {
    if (host_.CreationMode()) return;
    const TaskItem* task = host_.CurrentTask();
    // The engineering tool box shows the source document's type; ToDo_EngineeringTool
    // is not shown anywhere.
    winkit::Window(Item(IDC_TASKDETAILS_TOOL)).SetText(task ? task->ToDo_SrcDocType : L"");
    winkit::Window(Item(IDC_TASKDETAILS_DOCUMENT)).SetText(task ? task->ToDo_SrcDocName : L"");
    winkit::Window(Item(IDC_TASKDETAILS_DESTINATIONTAG)).SetText(task ? task->ToDo_Name : L"");
}

void CTaskDetailsPage::SetSourceItemTag(const std::wstring& tag) const {
    winkit::Window(Item(IDC_TASKDETAILS_SOURCETAG)).SetText(tag);
}
