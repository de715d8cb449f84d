#include "simframework.h"

#include <algorithm>
#include "claimsdocument.h"
#include "decimal.h"
#include "domreader.h"
#include "simerror.h"
#include "taskrecord.h"
#include "tasklistdocument.h"
#include "simxmltext.h"

namespace sim {

const SimFramework::MethodEntry SimFramework::kMethods[] = {
    {L"GetTaskList", &SimFramework::GetTaskList},
    {L"SetTaskItemData", &SimFramework::SetTaskItemData},
    {L"CreateTask", &SimFramework::CreateTask},
    {L"DeleteTask", &SimFramework::DeleteTask},
    {L"DeferTask", &SimFramework::DeferTask},
    {L"ActionTask", &SimFramework::ActionTask},
    {L"GetTaskAssignments", &SimFramework::GetTaskAssignments},
    {L"SetTaskAssignments", &SimFramework::SetTaskAssignments},
    {L"GetEFData", &SimFramework::GetEFData},
    {L"SynchronizeObjectClaim", &SimFramework::SynchronizeObjectClaim},
};

namespace {

// The position of the task that ToDo_Index `index` names (1 to n).
size_t TaskPosition(const WorkspaceData& data, long index, const wchar_t* method) {
    if (data.tasks.empty()) Fail(E_INVALIDARG, L"%ls: the workspace has no tasks; ToDo_Index %ld names none", method, index);
    if (index < 1 || static_cast<size_t>(index) > data.tasks.size())
        Fail(E_INVALIDARG, L"%ls: ToDo_Index %ld lies outside the tasks 1 to %zu", method, index, data.tasks.size());
    return static_cast<size_t>(index) - 1;
}

SimTask& TaskAt(WorkspaceData& data, long index, const wchar_t* method) {
    return data.tasks[TaskPosition(data, index, method)];
}

void RequirePrivilege(const WorkspaceData& data, bool granted, const wchar_t* action, const wchar_t* method) {
    if (!granted)
        Fail(E_ACCESSDENIED, L"%ls: the user '%ls' may not %ls tasks in this workspace", method, data.userName.c_str(), action);
}

void RequireNoText(std::wstring_view text, const wchar_t* method) {
    if (!text.empty()) Fail(E_INVALIDARG, L"%ls takes no input text", method);
}

// A ToDo_Index written as a decimal number ("7"; a minus sign is read, so that the range
// check, not the reading, refuses it).
long ParseIndexText(std::wstring_view text, const wchar_t* method) {
    if (text.empty()) Fail(E_INVALIDARG, L"%ls: the input text with the task's ToDo_Index is missing", method);
    std::optional<long> value = ParseDecimal(text);
    if (!value) Fail(E_INVALIDARG, L"%ls: the input text '%ls' is not a ToDo_Index", method, std::wstring(text).c_str());
    return *value;
}

// The assignments document a task may keep: empty, or one O element. When the top object
// carries an X, it must be the task's own index, so that a document built for one task is
// never kept for another.
void CheckAssignments(std::wstring_view document, long index, const wchar_t* method) {
    if (document.empty()) return;
    size_t bad = FindInvalidXmlCharacter(document);
    if (bad != std::wstring_view::npos)
        Fail(E_INVALIDARG, L"%ls: the document holds the character U+%04X, which a workspace cannot keep", method,
             static_cast<unsigned>(document[bad]));
    DomReader reader(document, L"The assignments document");
    DomElement root = reader.Root();
    std::wstring rootName = DomReader::Name(root.get());
    if (rootName != L"O")
        Fail(E_INVALIDARG, L"%ls: the assignments document has the root element '%ls' instead of 'O'", method, rootName.c_str());
    bool hasX = false;
    std::wstring x = DomReader::Attribute(root.get(), L"X", &hasX);
    if (hasX && x != std::to_wstring(index))
        Fail(E_INVALIDARG, L"%ls: the assignments document is for the task with X='%ls', not for ToDo_Index %ld", method,
             x.c_str(), index);
}

// What DeferTask and ActionTask share: a privileged change of the one task their record
// names, made after the record's stamp fields (who and when) are applied.
struct StampedChange {
    const wchar_t* method;
    bool Privileges::*right;
    const wchar_t* action;  // as in "may not <action> tasks"
    const wchar_t* byField;
    const wchar_t* dateField;
};

// Applies the change to the task and saves the workspace; returns what the change returns.
template <class Change>
std::wstring ChangeStampedTask(WorkspaceStore& store, const RequestInput& input, const StampedChange& kind, Change&& change) {
    TaskRecord record(input, kind.method);
    record.AllowFields(false, {kIndexField, kind.byField, kind.dateField});
    WorkspaceData next = store.Current();
    RequirePrivilege(next, next.privileges.*kind.right, kind.action, kind.method);
    SimTask& task = TaskAt(next, record.RequireLong(kIndexField), kind.method);
    record.ApplyTaskFields(task);
    std::wstring output = change(task);
    store.Commit(std::move(next));
    return output;
}

} // namespace

std::wstring SimFramework::Execute(std::wstring_view method, std::wstring_view text, const RequestInput& input) {
    for (const MethodEntry& entry : kMethods)
        if (method == entry.name) return (this->*entry.method)(Call{text, input});
    std::wstring name(method);
    Fail(DISP_E_MEMBERNOTFOUND, L"%ls has no method '%ls'", kFrameworkProgId, name.c_str());
}

std::wstring SimFramework::GetTaskList(const Call& call) {
    RequireNoText(call.text, L"GetTaskList");
    return WriteTaskItemList(store_.Current());
}

std::wstring SimFramework::SetTaskItemData(const Call& call) {
    TaskRecord record(call.input, L"SetTaskItemData");
    record.AllowFields(true, {kIndexField});
    WorkspaceData next = store_.Current();
    SimTask& task = TaskAt(next, record.RequireLong(kIndexField), L"SetTaskItemData");
    record.ApplyTaskFields(task);
    store_.Commit(std::move(next));
    return {};
}

std::wstring SimFramework::CreateTask(const Call& call) {
    TaskRecord record(call.input, L"CreateTask");
    record.AllowFields(true, {});
    if (!record.Has(L"ToDo_Name")) Fail(E_INVALIDARG, L"CreateTask: the field 'ToDo_Name' is missing");
    WorkspaceData next = store_.Current();
    SimTask task;
    task.Integer(TaskInteger::Category) = kCategoryManual;
    record.ApplyTaskFields(task);
    if (task.Integer(TaskInteger::Category) != kCategoryManual)
        Fail(E_INVALIDARG, L"CreateTask makes Manual tasks (ToDo_Category 5) only, not category %ld",
             task.Integer(TaskInteger::Category));
    next.tasks.push_back(std::move(task));
    store_.Commit(std::move(next));
    return {};
}

std::wstring SimFramework::DeleteTask(const Call& call) {
    TaskRecord record(call.input, L"DeleteTask");
    record.AllowFields(false, {kIndexField, L"Count"});
    long index = record.RequireLong(kIndexField);
    long count = record.RequireLong(L"Count");
    WorkspaceData next = store_.Current();
    RequirePrivilege(next, next.privileges.deleteTasks, L"delete", L"DeleteTask");
    TaskPosition(next, index, L"DeleteTask");
    if (count < 1) Fail(E_INVALIDARG, L"DeleteTask: Count is %ld; at least 1 task is deleted", count);
    long long last = static_cast<long long>(index) + count - 1;
    if (last > static_cast<long long>(next.tasks.size()))
        Fail(E_INVALIDARG, L"DeleteTask: %ld tasks from ToDo_Index %ld reach beyond the last task %zu", count, index,
             next.tasks.size());
    // The tasks after them move up: their position, and so their ToDo_Index, drops by count.
    auto first = next.tasks.begin() + (index - 1);
    next.tasks.erase(first, first + count);
    store_.Commit(std::move(next));
    return {};
}

std::wstring SimFramework::DeferTask(const Call& call) {
    StampedChange defer{L"DeferTask", &Privileges::deferTasks, L"defer", L"ToDo_ModifiedBy", L"ToDo_ModifiedDate"};
    return ChangeStampedTask(store_, call.input, defer, [](SimTask& task) {
        long& status = task.Integer(TaskInteger::Status);
        status = status == kStatusDeferred ? kStatusOpen : kStatusDeferred;
        return std::wstring();
    });
}

std::wstring SimFramework::ActionTask(const Call& call) {
    StampedChange run{L"ActionTask", &Privileges::runTasks, L"run", L"ToDo_RunBy", L"ToDo_RunDate"};
    return ChangeStampedTask(store_, call.input, run, [](SimTask& task) {
        // A task that fails ends in status Error, so that the list shows what happened.
        task.Integer(TaskInteger::Status) = task.failsOnAction ? kStatusError : kStatusCompleted;
        return task.failsOnAction ? std::wstring(L"Error") : task.actionClaims;
    });
}

std::wstring SimFramework::GetTaskAssignments(const Call& call) {
    long index = ParseIndexText(call.text, L"GetTaskAssignments");
    const WorkspaceData& current = store_.Current();
    return current.tasks[TaskPosition(current, index, L"GetTaskAssignments")].assignments;
}

std::wstring SimFramework::SetTaskAssignments(const Call& call) {
    // It follows SetTaskItemData on the same request and belongs to that record's task.
    TaskRecord record(call.input, L"SetTaskAssignments");
    long index = record.RequireLong(kIndexField);
    // Without a document (the task has none, or it could not be read) the task keeps its own.
    if (call.text.empty()) {
        TaskPosition(store_.Current(), index, L"SetTaskAssignments");
        return {};
    }
    WorkspaceData next = store_.Current();
    SimTask& task = TaskAt(next, index, L"SetTaskAssignments");
    CheckAssignments(call.text, index, L"SetTaskAssignments");
    task.assignments = std::wstring(call.text);
    store_.Commit(std::move(next));
    return {};
}

std::wstring SimFramework::GetEFData(const Call& call) {
    RequireNoText(call.text, L"GetEFData");
    const WorkspaceData& data = store_.Current();
    std::wstring document = L"<FrameworkData";
    for (size_t i = 0; i < kFrameworkDataNames.size(); ++i)
        AppendAttribute(document, kFrameworkDataNames[i], data.frameworkData[i]);
    document += L"/>";
    return document;
}

std::wstring SimFramework::SynchronizeObjectClaim(const Call& call) {
    if (call.text.empty()) Fail(E_INVALIDARG, L"SynchronizeObjectClaim: the object identifier is missing");
    const WorkspaceData& data = store_.Current();
    for (const SimObject& object : data.objects) {
        if (object.oid != call.text) continue;
        return WriteClaims({Claim{object.oid, object.name, object.locked, object.lockedBy}});
    }
    return {};
}

} // namespace sim
