#include "taskoperations.h"

#include <algorithm>
#include "diagnostics/qrcomexception.h"
#include "taskitemcollection.h"
#include "userstamp.h"
#include "winkit/com_ptr.h"
#include "winkit/wait_cursor.h"

struct TaskOperations::Stamp {
    UserAndTime user;
    double date;
};

std::vector<DeletionRun> DeletionRuns(std::vector<int> indices) {
    std::sort(indices.begin(), indices.end());
    indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
    std::vector<DeletionRun> runs;
    int deleted = 0;
    for (size_t i = 0; i < indices.size();) {
        int first = indices[i];
        int length = 1;
        while (i + length < indices.size() && indices[i + length] == first + length) ++length;
        runs.push_back({first - deleted, length});
        deleted += length;
        i += length;
    }
    return runs;
}

bool TaskOperations::OpenRequest(const wchar_t* method, FrameworkRequest& request) {
    if (!workspace_) return false;
    winkit::ComPtr<IWorkspace> held(workspace_);  // kept alive for the operation
    return SUCCEEDED(FrameworkRequest::Open(held.get(), method, request));
}

TaskOperations::Stamp TaskOperations::BeginStampedRecord(FrameworkRequest& request) {
    request.BeginInput();
    Stamp stamp{StampUserAndTime(workspace_), AutomationDateNow()};
    request.BeginRecord();
    return stamp;
}

void TaskOperations::SaveTaskProperties(const TaskPropertyValues& values) {
    TaskItem* task = tasks_.FindByKey(values.index);
    if (!task) return;  // an index that names no task is never sent
    // Only a Manual task's description is the user's: any other task's page shows a
    // sentence made from its category and name, which must not replace the framework's
    // own description of the task.
    const bool manual = task->ToDo_Category == kCategoryManual;
    const std::wstring description = manual ? values.description : task->ToDo_Description;
    FrameworkRequest request;
    if (!OpenRequest(L"SetTaskItemData", request)) return;
    winkit::WaitCursor wait;
    Stamp stamp = BeginStampedRecord(request);
    request.AddLong(L"ToDo_Index", values.index);
    request.AddText(L"ToDo_Name", values.name);
    request.AddText(L"ToDo_Description", description);
    if (manual) request.AddLong(L"ToDo_Status", values.status);
    request.AddText(L"ToDo_Notes", values.notes);
    request.AddText(L"ToDo_ModifiedBy", stamp.user.userName);
    request.AddDate(L"ToDo_ModifiedDate", stamp.date);
    request.EndRecord();
    request.Execute();

    // Without its new method the request still names SetTaskItemData: executing it again
    // would send the assignments document as task data.
    if (SUCCEEDED(request.SetMethod(L"SetTaskAssignments"))) {
        request.SetInput(values.assignments);
        request.Execute();
    }

    task->ToDo_Name = values.name;
    task->ToDo_Description = description;
    task->ToDo_Notes = values.notes;
    task->ToDo_Status = values.status;
    task->ToDo_ModifiedBy = stamp.user.userName;
    task->ToDo_ModifiedDate = stamp.user.timeText;
}

bool TaskOperations::DeferTaskItem(int index) {
    FrameworkRequest request;
    if (!OpenRequest(L"DeferTask", request)) return false;
    Stamp stamp = BeginStampedRecord(request);
    request.AddLong(L"ToDo_Index", index);
    request.AddText(L"ToDo_ModifiedBy", stamp.user.userName);
    request.AddDate(L"ToDo_ModifiedDate", stamp.date);
    request.EndRecord();
    if (FAILED(request.Execute())) return false;
    winkit::UniqueBstr discarded;
    request.GetOutput(discarded);
    return true;
}

namespace {

// Gives a failing HRESULT, with the thread's error information, the message and throws.
[[noreturn]] void Raise(HRESULT hr, const wchar_t* message) {
    QRComException xhr;
    xhr.SetResult(hr);
    xhr.Rethrow(L"%ls", message);
}

// The framework's answer "Error", compared exactly in the user's locale.
bool IsErrorAnswer(const winkit::UniqueBstr& output) {
    return CompareStringW(LOCALE_USER_DEFAULT, 0, output.c_str(), static_cast<int>(output.size()), L"Error", 5) == CSTR_EQUAL;
}

} // namespace

RunOutcome TaskOperations::RunTaskItem(int index) {
    FrameworkRequest request;
    if (!workspace_) return RunOutcome::Completed();  // nothing to run it against
    winkit::ComPtr<IWorkspace> held(workspace_);
    HRESULT hr = FrameworkRequest::Open(held.get(), L"ActionTask", request);
    if (FAILED(hr)) return RunOutcome::Failed(hr);
    Stamp stamp = BeginStampedRecord(request);
    request.AddLong(L"ToDo_Index", index);
    request.AddText(L"ToDo_RunBy", stamp.user.userName);
    request.AddDate(L"ToDo_RunDate", stamp.date);
    request.EndRecord();
    HRESULT executed = request.Execute();
    if (FAILED(executed)) return RunOutcome::Failed(executed);

    // The framework ran the task; an answer that cannot be read may be a claims document
    // that would then never be synchronized: the run failed, it did not complete.
    winkit::UniqueBstr claims;
    HRESULT read = request.GetOutput(claims);
    if (FAILED(read)) return RunOutcome::Failed(read);
    if (claims.empty()) return RunOutcome::Executed(executed);
    if (IsErrorAnswer(claims)) return RunOutcome::EndedInError();

    winkit::ComPtr<IQRCIGEFClientServices> services;
    hr = CoCreateInstance(CLSID_QRCIGEFClientServices, nullptr, CLSCTX_ALL, IID_IQRCIGEFClientServices, services.put_void());
    if (FAILED(hr)) Raise(hr, L"Unable to instance Zev Odovidedava Zedevodiv component");
    winkit::ComPtr<IDispatch> workspaceDispatch;
    held.QueryTo(IID_IDispatch, workspaceDispatch.put_void());
    hr = services->Initialize(workspaceDispatch.get());
    if (FAILED(hr)) Raise(hr, L"Unable to initialize Zev Odovidedava Zedevodiv component");
    winkit::UniqueBstr errorMessage;
    hr = services->SynchronizeClaims(claims.get(), errorMessage.put());
    if (FAILED(hr)) Raise(hr, L"Claim in ZAR failed");
    if (!errorMessage.empty()) {
        MarkTaskError(index, errorMessage.str());
        return RunOutcome::EndedInError();
    }
    return RunOutcome::Executed(executed);
}

void TaskOperations::MarkTaskError(int index, const std::wstring& message) {
    FrameworkRequest request;
    if (!OpenRequest(L"SetTaskItemData", request)) return;
    BeginStampedRecord(request);
    request.AddLong(L"ToDo_Index", index);
    request.AddLong(L"ToDo_Status", kStatusError);
    request.AddText(L"ToDo_Notes", message);
    request.EndRecord();
    request.Execute();
}

void TaskOperations::FetchTaskAssignments(int index, winkit::UniqueBstr& document) {
    FrameworkRequest request;
    if (!OpenRequest(L"GetTaskAssignments", request)) return;
    request.SetInput(std::to_wstring(index));
    if (FAILED(request.Execute())) return;
    winkit::UniqueBstr output;
    if (SUCCEEDED(request.GetOutput(output))) document = std::move(output);
}

bool TaskOperations::MarkTaskDeleted(int index) {
    TaskItem* task = tasks_.FindByKey(index);
    if (!task) return true;  // a row without a task is skipped
    if (task->ToDo_DeletedFlag == 0) task->ToDo_DeletedFlag = 1;
    FrameworkRequest request;
    if (!OpenRequest(L"SetTaskItemData", request)) return false;
    winkit::WaitCursor wait;
    Stamp stamp = BeginStampedRecord(request);
    request.AddLong(L"ToDo_Index", index);
    request.AddLong(L"ToDo_DeletedFlag", task->ToDo_DeletedFlag);
    request.AddText(L"ToDo_DeletedBy", stamp.user.userName);
    request.AddDate(L"ToDo_DeletedDate", stamp.date);
    request.EndRecord();
    request.Execute();
    return true;
}

bool TaskOperations::DeleteTasks(const std::vector<int>& indices) {
    for (const DeletionRun& run : DeletionRuns(indices)) {
        FrameworkRequest request;
        if (!OpenRequest(L"DeleteTask", request)) return false;
        BeginStampedRecord(request);
        request.AddLong(L"ToDo_Index", run.index);
        request.AddLong(L"Count", run.count);
        request.EndRecord();
        // The runs after this one are numbered as if it had deleted its tasks: after a
        // failure they would name tasks nobody selected, and deleting is for good.
        if (FAILED(request.Execute())) break;
    }
    return true;
}

bool TaskOperations::CreateTask(const TaskPropertyValues& values) {
    FrameworkRequest request;
    if (!OpenRequest(L"CreateTask", request)) return false;
    winkit::WaitCursor wait;
    Stamp stamp = BeginStampedRecord(request);
    request.AddText(L"ToDo_Name", values.name);
    request.AddText(L"ToDo_Description", values.description);
    request.AddLong(L"ToDo_Status", values.status);
    request.AddText(L"ToDo_Notes", values.notes);
    request.AddText(L"ToDo_CreatedBy", stamp.user.userName);
    request.AddDate(L"ToDo_CreatedDate", stamp.date);
    request.AddLong(L"ToDo_Category", kCategoryManual);
    request.EndRecord();
    return SUCCEEDED(request.Execute());
}
