#include "tasklistdlg.h"

#include "taskoperations.h"

// The task commands come with the task operations; until then each does nothing.

// Creating a manual task is not available yet.
void CTaskListDlg::OnManualTask() {}

// The property dialog is not available yet.
void CTaskListDlg::OnProperties() {}

// Running tasks is not available yet.
void CTaskListDlg::OnAction() {}

// Deferring tasks is not available yet.
void CTaskListDlg::OnDefer() {}

// Marking tasks deleted is not available yet.
void CTaskListDlg::OnDelete() {}

// Deleting tasks from the server is not available yet.
void CTaskListDlg::OnDeleteFromServer() {}

// The report is not available yet.
void CTaskListDlg::OnReport() {}

void CTaskListDlg::SaveTaskProperties(const TaskPropertyValues& values) {
    TaskOperations(workspace_, tasks_).SaveTaskProperties(values);
}

int CTaskListDlg::RunTaskItem(int index) { return TaskOperations(workspace_, tasks_).RunTaskItem(index); }

void CTaskListDlg::DeferTaskItem(int index) { TaskOperations(workspace_, tasks_).DeferTaskItem(index); }

void CTaskListDlg::FetchTaskAssignments(int index, winkit::UniqueBstr& document) {
    TaskOperations(workspace_, tasks_).FetchTaskAssignments(index, document);
}
