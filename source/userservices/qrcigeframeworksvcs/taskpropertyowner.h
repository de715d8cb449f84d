#pragma once
// What the task property dialog needs from the To Do list that opened it: the tasks,
// the rows as listed, and the task operations. The task list dialog implements it.
#include <string>
#include "comidentifiers.h"
#include "winkit/unique_bstr.h"

class TaskItemCollection;

// The values a save sends, as the property dialog holds them after Apply or OK.
struct TaskPropertyValues {
    int index = 0;               // ToDo_Index of the task shown
    std::wstring name;
    std::wstring description;
    int status = 0;              // the index selected in the Status list
    std::wstring notes;
    std::wstring assignments;    // the assignments document of this task (empty when none)
};

class TaskPropertyOwner {
public:
    virtual ~TaskPropertyOwner() = default;

    // The tasks of the last fetch (their records are patched in place by Action and Defer).
    virtual TaskItemCollection& Tasks() = 0;

    // Questions on the rows as currently listed, by row key (ToDo_Index).
    virtual bool IsFirstRow(int key) const = 0;
    virtual bool IsLastRow(int key) const = 0;
    // The key of the row before / after the row with this key, or -1.
    virtual int PreviousKey(int key) const = 0;
    virtual int NextKey(int key) const = 0;

    // Task operations.
    virtual void SaveTaskProperties(const TaskPropertyValues& values) = 0;
    // 0 success, 1 the task ended in error, a negative HRESULT when a request failed;
    // throws QRComException when the claims cannot be synchronized.
    virtual int RunTaskItem(int index) = 0;
    // True when the framework took the request (made and executed).
    virtual bool DeferTaskItem(int index) = 0;
    // The task's assignments document; left untouched when the request fails.
    virtual void FetchTaskAssignments(int index, winkit::UniqueBstr& document) = 0;
};
