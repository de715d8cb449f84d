#pragma once
// What the pages of the task property dialog ask of the dialog that hosts them.
#include <windows.h>
#include "taskitem.h"

// Sent by a page to its host when the user changed one of its controls (no parameters).
inline constexpr UINT WM_TASKPAGE_CHANGED = WM_USER + 1200;

class TaskPageHost {
public:
    virtual ~TaskPageHost() = default;
    // A new manual task is being described: there is no task record.
    virtual bool CreationMode() const = 0;
    // The record of the task shown; null in creation mode and when the shown key
    // addresses no record (the pages then show nothing).
    virtual const TaskItem* CurrentTask() const = 0;
};
