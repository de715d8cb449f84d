#include "taskgeneralpage.h"

CTaskGeneralPage::CTaskGeneralPage(const TaskPageHost& host) noexcept
    : CPropertyPage(static_cast<winkit::Window&>(*this)), host_(host) {}

BOOL CTaskGeneralPage::OnInitDialog(HWND, LPARAM) {
    LoadFromTask();
    return TRUE;
}

std::wstring CTaskGeneralPage::GeneratedDescription(const TaskItem& task) {
    return L"This task will " + CategoryWord(task.ToDo_Category) + L" " + task.ToDo_Name;
}

void CTaskGeneralPage::FillStatusList() const {
    winkit::Window status(Item(IDC_TASKGENERAL_STATUS));
    if (status.Send(CB_GETCOUNT) > 0) return;  // the names are added once, not at every reload
    for (int code = 0; code < kStatusCount; ++code) {
        std::wstring word = StatusWord(code);
        status.Send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(word.c_str()));
    }
}

void CTaskGeneralPage::LoadFromTask() {
    FillStatusList();
    if (host_.CreationMode()) ShowOwnValues();
    else ShowTask(host_.CurrentTask());
}

void CTaskGeneralPage::ShowOwnValues() const {
    winkit::Window(Item(IDC_TASKGENERAL_NAME)).SetText(name_);
    winkit::Window(Item(IDC_TASKGENERAL_DESCRIPTION)).SetText(description_);
    winkit::Window(Item(IDC_TASKGENERAL_NOTES)).SetText(notes_);
    ::SendDlgItemMessageW(hwnd_, IDC_TASKGENERAL_STATUS, CB_SETCURSEL, 0, 0);
    for (int id : {IDC_TASKGENERAL_NAME, IDC_TASKGENERAL_DESCRIPTION, IDC_TASKGENERAL_STATUS, IDC_TASKGENERAL_NOTES})
        winkit::Window(Item(id)).Enable(true);
}

void CTaskGeneralPage::ShowTask(const TaskItem* task) const {
    winkit::Window name(Item(IDC_TASKGENERAL_NAME));
    winkit::Window description(Item(IDC_TASKGENERAL_DESCRIPTION));
    winkit::Window status(Item(IDC_TASKGENERAL_STATUS));
    winkit::Window notes(Item(IDC_TASKGENERAL_NOTES));
    if (!task) {
        // A row key without a record: nothing to show and nothing that could be saved.
        for (winkit::Window* control : {&name, &description, &notes}) {
            control->SetText(std::wstring());
            control->Enable(false);
        }
        status.Send(CB_SETCURSEL, static_cast<WPARAM>(-1));
        status.Enable(false);
        return;
    }
    const bool manual = task->ToDo_Category == kCategoryManual;
    name.SetText(task->ToDo_Name);
    description.SetText(manual ? task->ToDo_Description : GeneratedDescription(*task));
    notes.SetText(task->ToDo_Notes);
    status.Send(CB_SETCURSEL, static_cast<WPARAM>(task->ToDo_Status));
    name.Enable(manual);
    description.Enable(manual);
    status.Enable(manual && task->ToDo_Status != kStatusCompleted);
    notes.Enable(true);
}

void CTaskGeneralPage::OnControlChanged(UINT, int, HWND) {
    if (HWND host = Owner()) ::SendMessageW(host, WM_TASKPAGE_CHANGED, 0, 0);
}

bool CTaskGeneralPage::OnApply() {
    name_ = winkit::Window(Item(IDC_TASKGENERAL_NAME)).Text();
    description_ = winkit::Window(Item(IDC_TASKGENERAL_DESCRIPTION)).Text();
    notes_ = winkit::Window(Item(IDC_TASKGENERAL_NOTES)).Text();
    // A status outside the list's codes selects no entry: the task keeps its own.
    const int selected = static_cast<int>(::SendDlgItemMessageW(hwnd_, IDC_TASKGENERAL_STATUS, CB_GETCURSEL, 0, 0));
    if (selected >= 0) status_ = selected;
    else if (const TaskItem* task = host_.CreationMode() ? nullptr : host_.CurrentTask()) status_ = task->ToDo_Status;
    return true;
}
