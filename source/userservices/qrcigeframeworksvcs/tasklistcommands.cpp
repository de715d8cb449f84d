// The task commands of the To Do list: each works on the selected rows through their
// keys, sends its requests through TaskOperations, then fetches the list again and
// refills the rows, so the framework stays the owner of the task data.
#include "tasklistdlg.h"

#include "taskpropertydlg.h"
#include "tasklistreport.h"
#include "taskoperations.h"
#include "winkit/wait_cursor.h"

namespace {

constexpr const wchar_t* kTitle = L"To Do List";

} // namespace

void CTaskListDlg::OnManualTask() {
    if (!workspace_) return;
    CTaskPropertyDlg dialog(*this, nullptr, 0);
    if (dialog.DoModal(::GetActiveWindow()) != IDOK) return;
    if (TaskOperations(workspace_, model_.Tasks()).CreateTask(dialog.Values())) {
        FetchTaskList();
        FillRows();
    }
}

void CTaskListDlg::OnProperties() {
    int row = list_.NextItem(-1, LVNI_SELECTED);
    if (row < 0) return;
    CTaskPropertyDlg dialog(*this, &model_.Tasks(), model_.RowKey(static_cast<size_t>(row)));
    INT_PTR result = dialog.DoModal(::GetActiveWindow());
    bool changed = dialog.ChangedFlag();
    if (result == IDOK && changed) SaveTaskProperties(dialog.Values());
    if (changed) FetchTaskList();
    // Without changes the fill still shows what Action and Defer patched into the records.
    model_.TasksChanged();
    FillRows();
    if (changed && static_cast<size_t>(row) < model_.RowCount()) {
        list_.SetSelectionMark(row);
        list_.SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
        list_.EnsureVisible(row);
    }
}

void CTaskListDlg::SetRowImage(int row, int image) {
    model_.ShowImage(static_cast<size_t>(row), image);
    list_.RedrawItems(row, row);
    ::UpdateWindow(list_);
}

void CTaskListDlg::OnAction() {
    winkit::WaitCursor wait;
    struct Selected {
        int key;
        bool run;
        bool failed = false;
    };
    std::vector<Selected> selected;
    for (int row : list_.SelectedRows()) {
        int key = model_.RowKey(static_cast<size_t>(row));
        const TaskItem* task = model_.RowTask(static_cast<size_t>(row));
        bool run = task && RunCommandRuns(*task);
        selected.push_back({key, run});
        if (!run) continue;
        SetRowImage(row, kImageBlank);  // the picture of an open task while it runs
        bool completed = RunTaskItem(key).completed();
        selected.back().failed = !completed;
        SetRowImage(row, completed ? kImageCompleted : kImageError);
    }
    FetchTaskList();
    // A task not run counts as not completed by this run, whatever its status; so does a
    // run that failed although the framework lists the task as completed (its claims were
    // refused and marking it in error failed too): the user must hear of it.
    int notCompleted = 0;
    for (const Selected& row : selected) {
        const TaskItem* task = model_.Tasks().FindByKey(row.key);
        if (!row.run || row.failed || !task || task->ToDo_Status != kStatusCompleted) ++notCompleted;
    }
    if (notCompleted != 0) {
        wchar_t message[128];
        swprintf(message, 128, L"%d task(s) have not completed - Check the To Do list.", notCompleted);
        ::MessageBoxW(hwnd_, message, kTitle, MB_OK);
    }
    FillRows();
}

void CTaskListDlg::OnDefer() {
    winkit::WaitCursor wait;
    TaskOperations operations(workspace_, model_.Tasks());
    for (int key : SelectedKeys()) operations.DeferTaskItem(key);
    FetchTaskList();
    FillRows();
}

void CTaskListDlg::OnDelete() {
    TaskOperations operations(workspace_, model_.Tasks());
    for (int key : SelectedKeys()) {
        // Without a workspace or a request the command ends here, unrefreshed; the
        // records it already marked deleted change what the selection allows.
        if (!operations.MarkTaskDeleted(key)) {
            UpdateButtonStates();
            return;
        }
    }
    FetchTaskList();
    FillRows();
}

void CTaskListDlg::OnDeleteFromServer() {
    std::vector<int> keys = SelectedKeys();
    if (keys.empty()) return;
    if (::MessageBoxW(hwnd_,
                      L"This action will permanently delete the selected tasks from the workspace\n"
                      L"Do you want to continue?",
                      kTitle, MB_YESNO | MB_ICONWARNING) != IDYES)
        return;
    winkit::WaitCursor wait;
    if (!TaskOperations(workspace_, model_.Tasks()).DeleteTasks(keys)) return;
    FetchTaskList();
    FillRows();
}

void CTaskListDlg::OnReport() { ReportTaskList(hwnd_, model_, workspace_); }

void CTaskListDlg::SaveTaskProperties(const TaskPropertyValues& values) {
    TaskOperations(workspace_, model_.Tasks()).SaveTaskProperties(values);
    model_.TasksChanged();
}

RunOutcome CTaskListDlg::RunTaskItem(int index) { return TaskOperations(workspace_, model_.Tasks()).RunTaskItem(index); }

bool CTaskListDlg::DeferTaskItem(int index) { return TaskOperations(workspace_, model_.Tasks()).DeferTaskItem(index); }

void CTaskListDlg::FetchTaskAssignments(int index, winkit::UniqueBstr& document) {
    TaskOperations(workspace_, model_.Tasks()).FetchTaskAssignments(index, document);
}
