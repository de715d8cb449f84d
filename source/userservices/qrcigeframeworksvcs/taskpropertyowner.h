#pragma once
// What the task property dialog needs from the To Do list that opened it: the rows as
// listed and the task operations. The task list dialog implements it.
#include <string>
#include "comidentifiers.h"
#include "winkit/unique_bstr.h"

// The values a save sends, as the property dialog holds them after Apply or OK.
struct TaskPropertyValues {
    int index = 0;               // ToDo_Index of the task shown
    std::wstring name;
    std::wstring description;
    int status = 0;              // the index selected in the Status list
    std::wstring notes;
    std::wstring assignments;    // the assignments document of this task (empty when none)
};

// What running one task came to: it completed; it ran and ended in error (the framework
// answered "Error", its claims were refused, or its request answered a success other
// than S_OK); or the run failed: its request could not be made or executed, or its
// answer could not be read (`failure` says why).
struct RunOutcome {
    enum Kind { kCompleted, kEndedInError, kFailed };
    Kind kind = kCompleted;
    HRESULT failure = S_OK;

    static RunOutcome Completed() { return {kCompleted, S_OK}; }
    static RunOutcome EndedInError() { return {kEndedInError, S_OK}; }
    static RunOutcome Failed(HRESULT failure) { return {kFailed, failure}; }
    // An executed request's own result: S_OK completes the task.
    static RunOutcome Executed(HRESULT executed) { return executed == S_OK ? Completed() : EndedInError(); }

    bool completed() const { return kind == kCompleted; }
    bool operator==(const RunOutcome& other) const { return kind == other.kind && failure == other.failure; }
};

class TaskPropertyOwner {
public:
    virtual ~TaskPropertyOwner() = default;

    // Questions on the rows as currently listed, by row key (ToDo_Index).
    virtual bool IsFirstRow(int key) const = 0;
    virtual bool IsLastRow(int key) const = 0;
    // The key of the row before / after the row with this key, or -1.
    virtual int PreviousKey(int key) const = 0;
    virtual int NextKey(int key) const = 0;

    // Task operations.
    virtual void SaveTaskProperties(const TaskPropertyValues& values) = 0;
    // Throws QRComException when the claims cannot be synchronized.
    virtual RunOutcome RunTaskItem(int index) = 0;
    // True when the framework took the request (made and executed).
    virtual bool DeferTaskItem(int index) = 0;
    // The task's assignments document; left untouched when the request fails.
    virtual void FetchTaskAssignments(int index, winkit::UniqueBstr& document) = 0;
};
