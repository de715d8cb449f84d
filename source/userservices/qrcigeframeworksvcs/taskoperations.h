#pragma once
// Everything the To Do list does to tasks held by the framework: each change is one
// service request carrying one "TaskItem" record, stamped with the acting user and time.
#include <string>
#include <vector>
#include "comidentifiers.h"
#include "frameworkgateway.h"
#include "taskpropertyowner.h"

class TaskItemCollection;

// One "DeleteTask" request: the first index (adjusted for the tasks the framework has
// already removed and renumbered) and the number of consecutive tasks.
struct DeletionRun {
    int index;
    int count;
    bool operator==(const DeletionRun& other) const { return index == other.index && count == other.count; }
};

// Runs of consecutive indices over the ascending, duplicate-free indices, each shifted
// down by the tasks deleted before it: 3, 4, 5, 9, 10 give (3, 3) and (6, 2).
std::vector<DeletionRun> DeletionRuns(std::vector<int> indices);

class TaskOperations {
public:
    // Borrows both; the workspace may be null (every operation then does nothing).
    TaskOperations(IWorkspace* workspace, TaskItemCollection& tasks) : workspace_(workspace), tasks_(tasks) {}

    // "SetTaskItemData" with the edited texts (and the status for a Manual task; any other
    // task keeps its own description), then "SetTaskAssignments" on the same request, then
    // the local record is patched.
    void SaveTaskProperties(const TaskPropertyValues& values);
    // "DeferTask"; the framework decides what deferring means. True when the request was
    // made and executed.
    bool DeferTaskItem(int index);
    // "ActionTask", then the claims synchronization when the framework answers with a
    // claims document. Throws QRComException when the client services cannot be created,
    // initialized or cannot synchronize the claims.
    RunOutcome RunTaskItem(int index);
    // "SetTaskItemData" setting status Error with the message as notes.
    void MarkTaskError(int index, const std::wstring& message);
    // "GetTaskAssignments"; the document is left untouched when the request fails.
    void FetchTaskAssignments(int index, winkit::UniqueBstr& document);
    // Sets the local deleted flag and sends it with "SetTaskItemData". False when the
    // request could not be made: the command ends there.
    bool MarkTaskDeleted(int index);
    // "DeleteTask" per run of consecutive indices, up to the first run that fails (the
    // following runs' indices assume it deleted its tasks). False when a request could
    // not be made.
    bool DeleteTasks(const std::vector<int>& indices);
    // "CreateTask" of a Manual task; true when the framework took it.
    bool CreateTask(const TaskPropertyValues& values);

private:
    // CreateServiceRequest, SetFlags, SetComponent, SetMethod; false when no request.
    bool OpenRequest(const wchar_t* method, FrameworkRequest& request);
    // BeginInput, the user and time stamp, BeginElement("TaskItem"); returns the stamp.
    struct Stamp;
    Stamp BeginStampedRecord(FrameworkRequest& request);

    IWorkspace* workspace_;
    TaskItemCollection& tasks_;
};
