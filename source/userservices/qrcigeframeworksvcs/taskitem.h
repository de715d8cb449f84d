#pragma once
// One task of the workspace, as the TaskItemList document describes it, and the
// words shown for its codes.
#include <string>

struct TaskItem {
    int ToDo_Index = 0;  // 1-based position in the TaskItemList document
    std::wstring ToDo_Name;
    std::wstring ToDo_Description;
    std::wstring ToDo_Notes;
    std::wstring ToDo_Class;
    std::wstring ToDo_ItemName;
    std::wstring ToDo_CreatedDate;  // dates stay in the framework's text form
    std::wstring ToDo_CreatedBy;
    std::wstring ToDo_ModifiedDate;
    std::wstring ToDo_ModifiedBy;
    std::wstring ToDo_RunDate;
    std::wstring ToDo_RunBy;
    std::wstring ToDo_DeletedDate;
    std::wstring ToDo_DeletedBy;
    std::wstring ToDo_EngineeringTool;
    std::wstring ToDo_SrcDocName;
    std::wstring ToDo_SrcDocType;
    int ToDo_Category = 0;
    int ToDo_Status = 0;
    int ToDo_DeletedFlag = 0;  // 0: not marked deleted
};

enum TaskStatus { kStatusOpen = 0, kStatusInProgress = 1, kStatusCompleted = 2, kStatusError = 3, kStatusDeferred = 4 };
enum TaskCategory {
    kCategoryCreate = 0, kCategoryDelete = 1, kCategoryUpdate = 2, kCategoryClaim = 3,
    kCategoryUnClaim = 4, kCategoryManual = 5, kCategoryDeleteOther = 6
};

inline constexpr int kStatusCount = 5;
inline constexpr int kCategoryCount = 7;

// What a task's status and flags allow. The list's buttons, its Run command and the
// property dialog ask these; where their rules differ, the difference is named here.
inline bool IsMarkedDeleted(const TaskItem& task) { return task.ToDo_DeletedFlag == 1; }
// The Run buttons: neither a completed nor a deferred task is offered for a run (the
// list's button also refuses a task marked deleted, the property dialog's does not).
inline bool StatusOffersRun(const TaskItem& task) {
    return task.ToDo_Status != kStatusCompleted && task.ToDo_Status != kStatusDeferred;
}
// The Defer buttons: a completed task is not deferred; a deferred one may be deferred
// again (the list's button also refuses a task marked deleted).
inline bool StatusOffersDefer(const TaskItem& task) { return task.ToDo_Status != kStatusCompleted; }
// The list's Run command runs only open, in-progress and failed tasks: a status outside
// the table, which the buttons let through, is not run.
inline bool RunCommandRuns(const TaskItem& task) {
    return task.ToDo_Status == kStatusOpen || task.ToDo_Status == kStatusInProgress || task.ToDo_Status == kStatusError;
}

// "Open", "InProgress", "Completed", "Error", "Deferred"; a code outside the table
// is shown as its number.
std::wstring StatusWord(int status);
// "Create", "Delete", "Update", "Claim", "UnClaim", "Manual", "Delete"; a code outside
// the table is shown as its number.
std::wstring CategoryWord(int category);
