// What the task list shows and how it orders it: (task, column) → text, row pictures,
// status views, and the header-click order of each kind of column.
#include <gtest/gtest.h>
#include "tasklistcolumns.h"
#include "tasklistsortkeys.h"

namespace {

TaskItem Task(int category, const wchar_t* name, int status = kStatusOpen, int deleted = 0) {
    TaskItem t;
    t.ToDo_Category = category;
    t.ToDo_Name = name;
    t.ToDo_Status = status;
    t.ToDo_DeletedFlag = deleted;
    return t;
}

// The positions (from 0) of the tasks in the order a header click gives.
std::vector<size_t> Order(const std::vector<TaskItem>& tasks, const wchar_t* column, bool ascending) {
    std::vector<const TaskItem*> pointers;
    for (const TaskItem& t : tasks) pointers.push_back(&t);
    return SortedOrder(pointers, FindColumn(column), ascending);
}

std::vector<TaskItem> Dated(std::wstring TaskItem::*field, std::initializer_list<const wchar_t*> dates) {
    std::vector<TaskItem> tasks;
    for (const wchar_t* date : dates) (tasks.emplace_back().*field) = date;
    return tasks;
}

} // namespace

// Each task's texts in the default columns, joined by "|".
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

TEST(TaskListSort, HeaderClickOrders) {
    const std::vector<TaskItem> names = {Task(kCategoryManual, L"alpha"), Task(kCategoryManual, L"Zeta"),
                                         Task(kCategoryManual, L"beta")};
    const std::vector<TaskItem> equal = {Task(0, L"b"), Task(0, L"a"), Task(0, L"b"), Task(0, L"a"), Task(0, L"b")};
    const std::vector<TaskItem> categories = {Task(kCategoryDelete, L""), Task(kCategoryCreate, L""), Task(kCategoryClaim, L"")};
    const std::vector<TaskItem> statuses = {Task(0, L"", 4), Task(0, L"", 2), Task(0, L"", 0), Task(0, L"", 3), Task(0, L"", 1)};
    const std::vector<TaskItem> flags = {Task(0, L"", 0, 1), Task(0, L"", 2, 0), Task(0, L"", 1, 1)};
    // Equal statuses and equal flags, by pairs: (2, 1), (0, 0), (2, 1), (0, 0).
    const std::vector<TaskItem> tied = {Task(0, L"a", 2, 1), Task(0, L"b", 0, 0), Task(0, L"c", 2, 1), Task(0, L"d", 0, 0)};
    const std::vector<TaskItem> created = Dated(&TaskItem::ToDo_CreatedDate,
                                                {L"2026-12-05 12:00:00", L"", L"2026-01-31 08:00:00", L"garbage",
                                                 L"2025-12-31 23:59:59", L"2026-12-05 09:30:00"});
    const std::vector<TaskItem> sameDates = Dated(&TaskItem::ToDo_CreatedDate,
        {L"2026-12-05 12:00:00", L"2025-01-01 00:00:00", L"2026-12-05 12:00:00", L"2025-01-01 00:00:00"});
    // Before 1899-12-30 the days count backwards but the time of day forwards.
    const std::vector<TaskItem> early =
        Dated(&TaskItem::ToDo_CreatedDate, {L"1899-12-30 00:00:00", L"1899-12-29 18:00:00", L"1899-12-29 06:00:00"});
    const struct {
        const std::vector<TaskItem>& tasks;
        const wchar_t* column;
        bool ascending;
        std::vector<size_t> order;
    } cases[] = {
        {names, L"Task Name", true, {1, 0, 2}},  // by code unit: "Manual Zeta" first
        {categories, L"Task Category", true, {2, 1, 0}},  // by their words
        {statuses, L"Task Status", true, {2, 4, 1, 3, 0}},
        {flags, L"Deleted Flag", true, {1, 0, 2}},
        // Rows that compare equal keep their order, every kind both ways.
        {equal, L"Task Name", true, {1, 3, 0, 2, 4}},
        {equal, L"Task Name", false, {0, 2, 4, 1, 3}},
        {tied, L"Task Status", true, {1, 3, 0, 2}},
        {tied, L"Task Status", false, {0, 2, 1, 3}},
        {tied, L"Deleted Flag", true, {1, 3, 0, 2}},
        {tied, L"Deleted Flag", false, {0, 2, 1, 3}},
        {sameDates, L"Created Date", true, {1, 3, 0, 2}},
        {sameDates, L"Created Date", false, {0, 2, 1, 3}},
        // Chronological, the texts that are not dates last in list order; reversed, first.
        {created, L"Created Date", true, {4, 2, 5, 0, 1, 3}},
        {created, L"Created Date", false, {1, 3, 0, 5, 2, 4}},
        {early, L"Created Date", true, {2, 1, 0}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.order, Order(c.tasks, c.column, c.ascending)) << c.column << (c.ascending ? " ascending" : " descending");
    // Every date column sorts as dates: as texts the empty one would come first.
    const std::pair<const wchar_t*, std::wstring TaskItem::*> dateColumns[] = {
        {L"Created Date", &TaskItem::ToDo_CreatedDate}, {L"Modified Date", &TaskItem::ToDo_ModifiedDate},
        {L"Run Date", &TaskItem::ToDo_RunDate}};
    for (const auto& [column, field] : dateColumns)
        EXPECT_EQ((std::vector<size_t>{1, 0}), Order(Dated(field, {L"", L"2026-01-01 00:00:00"}), column, true)) << column;
}
