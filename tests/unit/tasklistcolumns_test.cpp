// What the task list shows: (task, column) → text, row pictures and status views.
#include <gtest/gtest.h>
#include "tasklistcolumns.h"

namespace {

TaskItem Task(int category, const wchar_t* name, int status = kStatusOpen, int deleted = 0) {
    TaskItem t;
    t.ToDo_Category = category;
    t.ToDo_Name = name;
    t.ToDo_Status = status;
    t.ToDo_DeletedFlag = deleted;
    return t;
}

} // namespace

// Each task's texts in the default columns (the window test reads their names), joined by "|".
TEST(TaskListColumns, TextOfEachTaskInEachColumn) {
    auto row = [](const TaskItem& task) {
        std::wstring texts;
        for (const ColumnEntry& column : DefaultColumnSet())
            texts += (texts.empty() ? L"" : L"|") + ColumnText(task, column.name);
        return texts;
    };
    TaskItem manual = Task(kCategoryManual, L"Pump", kStatusInProgress);
    manual.ToDo_Description = L"Check seals";
    manual.ToDo_ItemName = L"P-101";
    manual.ToDo_CreatedDate = L"not a date";
    manual.ToDo_CreatedBy = L"cb";
    manual.ToDo_ModifiedDate = L"2026-12-05 12:00:00";
    manual.ToDo_ModifiedBy = L"mb";
    manual.ToDo_RunDate = L"rd";
    manual.ToDo_RunBy = L"rb";
    manual.ToDo_SrcDocName = L"doc";
    manual.ToDo_SrcDocType = L"type";
    TaskItem update = Task(kCategoryUpdate, L"P-101", kStatusDeferred, 1);
    update.ToDo_Description = L"not shown for this category";
    EXPECT_EQ(L"Manual Pump|Check seals|P-101|not a date|cb|2026-12-05 12:00:00|mb|rd|rb|doc|type|Manual|InProgress|",
              row(manual));
    EXPECT_EQ(L"Update P-101|This task will Update P-101||||||||||Update|Deferred|Deleted", row(update));
    EXPECT_EQ(L"Delete X|This task will Delete X||||||||||Delete|Completed|",  // only flag 1 is deleted
              row(Task(kCategoryDeleteOther, L"X", kStatusCompleted, 2)));
    EXPECT_EQ(L"Claim X|This task will Claim X||||||||||Claim|Open|", row(Task(kCategoryClaim, L"X", kStatusOpen)));
    EXPECT_EQ(L"Create X|This task will Create X||||||||||Create|Error|", row(Task(kCategoryCreate, L"X", kStatusError)));
    EXPECT_EQ(L"9 Pump|This task will 9 Pump||||||||||9|-2|", row(Task(9, L"Pump", -2)));
}

TEST(TaskListColumns, RowPicturesAndStatusViews) {
    // Per task as (status, deleted flag): its picture, and which views show it, as x or -
    // for deleted, open, deferred, completed each on alone (any value but 0 is on), then all off.
    auto row = [](int status, int deleted) {
        TaskItem task = Task(0, L"", status, deleted);
        std::wstring by = std::to_wstring(RowImage(task)) + L":";
        for (int view = 0; view < 5; ++view) {
            ViewFlags flags;
            flags.ShowDeleted = view == 0 ? 7 : 0;
            flags.ShowOpen = view == 1;
            flags.ShowDeferred = view == 2;
            flags.ShowCompleted = view == 3;
            by += ShownByViews(task, flags) ? L'x' : L'-';
        }
        return by;
    };
    // Open, in progress, completed, error, deferred, three others, then deleted: error, completed, open.
    // Only the four statuses with a view of their own are ever hidden.
    std::wstring all;
    for (auto [status, deleted] : {std::pair{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}, {7, 0}, {-1, 0}, {3, 1}, {2, 1}, {0, 1}})
        all += row(status, deleted) + L" ";
    EXPECT_EQ(L"0:-x--- 1:xxxxx 2:---x- 3:xxxxx 4:--x-- 0:xxxxx 0:xxxxx 0:xxxxx 6:x---- 6:----- 6:----- ", all);
}
