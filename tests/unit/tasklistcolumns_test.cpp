// Column texts, the default set, row icons, status views and the header-click order.
#include <gtest/gtest.h>
#include "tasklistcolumns.h"
#include "tasklistsortkeys.h"

namespace {

TaskItem Task(int index, int category, const wchar_t* name, int status = 0, int deleted = 0) {
    TaskItem t;
    t.ToDo_Index = index;
    t.ToDo_Category = category;
    t.ToDo_Name = name;
    t.ToDo_Status = status;
    t.ToDo_DeletedFlag = deleted;
    return t;
}

// The indices of the tasks in the order SortedOrder gives.
std::vector<int> SortedIndices(const std::vector<TaskItem>& tasks, const wchar_t* column, bool ascending) {
    std::vector<const TaskItem*> pointers;
    for (const TaskItem& t : tasks) pointers.push_back(&t);
    std::vector<int> indices;
    for (size_t i : SortedOrder(pointers, FindColumn(column), ascending)) indices.push_back(tasks[i].ToDo_Index);
    return indices;
}

std::vector<TaskItem> WithCreatedDates(const std::vector<const wchar_t*>& dates) {
    std::vector<TaskItem> tasks;
    int index = 1;
    for (const wchar_t* date : dates) {
        TaskItem t = Task(index++, 0, L"T");
        t.ToDo_CreatedDate = date;
        tasks.push_back(t);
    }
    return tasks;
}

} // namespace

TEST(TaskListColumns, TextsOfManualAndOtherTasks) {
    TaskItem manual = Task(1, kCategoryManual, L"Pump");
    manual.ToDo_Description = L"Check seals";
    EXPECT_EQ(L"Manual Pump", ColumnText(manual, L"Task Name"));
    EXPECT_EQ(L"Check seals", ColumnText(manual, L"Task Description"));
    EXPECT_EQ(L"Manual", ColumnText(manual, L"Task Category"));

    TaskItem update = Task(2, kCategoryUpdate, L"P-101");
    update.ToDo_Description = L"ignored for this category";
    EXPECT_EQ(L"Update P-101", ColumnText(update, L"Task Name"));
    EXPECT_EQ(L"This task will Update P-101", ColumnText(update, L"Task Description"));
    // Category 6 is the second "Delete".
    EXPECT_EQ(L"Delete X", ColumnText(Task(3, 6, L"X"), L"Task Name"));
}

TEST(TaskListColumns, FieldColumnsShowTheirFieldAsStored) {
    TaskItem t = Task(1, 0, L"N", kStatusDeferred, 1);
    t.ToDo_ItemName = L"P-101";
    t.ToDo_CreatedDate = L"not a date";
    t.ToDo_CreatedBy = L"cb";
    t.ToDo_ModifiedDate = L"2026-12-05 12:00:00";
    t.ToDo_ModifiedBy = L"mb";
    t.ToDo_RunDate = L"rd";
    t.ToDo_RunBy = L"rb";
    t.ToDo_SrcDocName = L"doc";
    t.ToDo_SrcDocType = L"type";
    EXPECT_EQ(L"P-101", ColumnText(t, L"Item Name"));
    EXPECT_EQ(L"not a date", ColumnText(t, L"Created Date"));
    EXPECT_EQ(L"cb", ColumnText(t, L"Created By"));
    EXPECT_EQ(L"2026-12-05 12:00:00", ColumnText(t, L"Modified Date"));
    EXPECT_EQ(L"mb", ColumnText(t, L"Modified By"));
    EXPECT_EQ(L"rd", ColumnText(t, L"Run Date"));
    EXPECT_EQ(L"rb", ColumnText(t, L"Run By"));
    EXPECT_EQ(L"doc", ColumnText(t, L"Source Doc Name"));
    EXPECT_EQ(L"type", ColumnText(t, L"Source Doc Type"));
    EXPECT_EQ(L"Deferred", ColumnText(t, L"Task Status"));
    EXPECT_EQ(L"Deleted", ColumnText(t, L"Deleted Flag"));
    t.ToDo_DeletedFlag = 0;
    EXPECT_EQ(L"", ColumnText(t, L"Deleted Flag"));
    t.ToDo_DeletedFlag = 2;  // only 1 means deleted
    EXPECT_EQ(L"", ColumnText(t, L"Deleted Flag"));
}

TEST(TaskListColumns, CodesOutsideTheTablesShowAsNumbers) {
    TaskItem t = Task(1, 9, L"Pump", -2);
    EXPECT_EQ(L"9 Pump", ColumnText(t, L"Task Name"));
    EXPECT_EQ(L"This task will 9 Pump", ColumnText(t, L"Task Description"));
    EXPECT_EQ(L"9", ColumnText(t, L"Task Category"));
    EXPECT_EQ(L"-2", ColumnText(t, L"Task Status"));
}

TEST(TaskListColumns, NamesAreExactAndCaseSensitive) {
    TaskItem t = Task(1, 0, L"Pump");
    EXPECT_EQ(ColumnId::Unknown, FindColumn(L"task name"));
    EXPECT_EQ(ColumnId::Unknown, FindColumn(L"Task Name "));
    EXPECT_EQ(L"", ColumnText(t, L"task name"));
    EXPECT_EQ(L"", ColumnText(t, L"Anything"));
    EXPECT_EQ(SortKind::None, ColumnSortKind(FindColumn(L"Anything")));
}

TEST(TaskListColumns, DefaultSetAndOfferedNames) {
    const wchar_t* expected[] = {L"Task Name", L"Task Description", L"Item Name", L"Created Date", L"Created By",
                                 L"Modified Date", L"Modified By", L"Run Date", L"Run By", L"Source Doc Name",
                                 L"Source Doc Type", L"Task Category", L"Task Status", L"Deleted Flag"};
    ColumnSet set = DefaultColumnSet();
    ASSERT_EQ(14u, set.size());
    for (size_t i = 0; i < set.size(); ++i) {
        EXPECT_EQ(expected[i], set[i].name);
        EXPECT_EQ(100, set[i].width);
        EXPECT_EQ(static_cast<ColumnId>(i), FindColumn(set[i].name));
    }
    const wchar_t* offered[] = {L"Task Name", L"Task Description", L"Task Category", L"Item Name",
                                L"Created Date", L"Created By", L"Modified Date", L"Modified By",
                                L"Run Date", L"Run By", L"Source Doc Name", L"Source Doc Type"};
    for (size_t i = 0; i < 12; ++i) EXPECT_STREQ(offered[i], OfferedColumnNames()[i]);
}

TEST(TaskListColumns, RowImages) {
    for (int status = 0; status < 5; ++status) EXPECT_EQ(status, RowImage(Task(1, 0, L"", status)));
    EXPECT_EQ(6, RowImage(Task(1, 0, L"", kStatusCompleted, 1)));
    EXPECT_EQ(6, RowImage(Task(1, 0, L"", kStatusOpen, 1)));
    EXPECT_EQ(0, RowImage(Task(1, 0, L"", 7)));   // not one of the unused pictures
    EXPECT_EQ(0, RowImage(Task(1, 0, L"", -1)));
}

TEST(TaskListColumns, StatusViews) {
    ViewFlags none;
    none.ShowDeleted = none.ShowOpen = none.ShowDeferred = none.ShowCompleted = 0;
    // InProgress and Error are never hidden by the views.
    EXPECT_TRUE(ShownByViews(Task(1, 0, L"", kStatusInProgress), none));
    EXPECT_TRUE(ShownByViews(Task(1, 0, L"", kStatusError), none));
    EXPECT_FALSE(ShownByViews(Task(1, 0, L"", kStatusOpen), none));
    EXPECT_FALSE(ShownByViews(Task(1, 0, L"", kStatusDeferred), none));
    EXPECT_FALSE(ShownByViews(Task(1, 0, L"", kStatusCompleted), none));
    EXPECT_FALSE(ShownByViews(Task(1, 0, L"", kStatusError, 1), none));

    // A deleted completed task needs both views.
    TaskItem deletedCompleted = Task(1, 0, L"", kStatusCompleted, 1);
    ViewFlags views;
    EXPECT_TRUE(ShownByViews(deletedCompleted, views));
    views.ShowCompleted = 0;
    EXPECT_FALSE(ShownByViews(deletedCompleted, views));
    views.ShowCompleted = 1;
    views.ShowDeleted = 0;
    EXPECT_FALSE(ShownByViews(deletedCompleted, views));
    views.ShowDeleted = 7;  // any value but 0 is on
    EXPECT_TRUE(ShownByViews(deletedCompleted, views));
}

TEST(TaskListSort, TextsByCodeUnitCaseSensitive) {
    std::vector<TaskItem> tasks = {Task(1, kCategoryManual, L"alpha"), Task(2, kCategoryManual, L"Zeta"),
                                   Task(3, kCategoryManual, L"beta")};
    // "Manual Zeta" < "Manual alpha" < "Manual beta" by code unit.
    EXPECT_EQ((std::vector<int>{2, 1, 3}), SortedIndices(tasks, L"Task Name", true));
    EXPECT_EQ((std::vector<int>{3, 1, 2}), SortedIndices(tasks, L"Task Name", false));
    EXPECT_LT(CompareTasks(tasks[1], tasks[0], FindColumn(L"Task Name"), true), 0);
    EXPECT_GT(CompareTasks(tasks[1], tasks[0], FindColumn(L"Task Name"), false), 0);
}

TEST(TaskListSort, CategoriesByTheirWords) {
    std::vector<TaskItem> tasks = {Task(1, kCategoryDelete, L""), Task(2, kCategoryCreate, L""),
                                   Task(3, kCategoryClaim, L"")};
    EXPECT_EQ((std::vector<int>{3, 2, 1}), SortedIndices(tasks, L"Task Category", true));
}

TEST(TaskListSort, StatusAndDeletedFlagByNumber) {
    std::vector<TaskItem> tasks = {Task(1, 0, L"", 4), Task(2, 0, L"", 2), Task(3, 0, L"", 0),
                                   Task(4, 0, L"", 3), Task(5, 0, L"", 1)};
    EXPECT_EQ((std::vector<int>{3, 5, 2, 4, 1}), SortedIndices(tasks, L"Task Status", true));
    EXPECT_EQ((std::vector<int>{1, 4, 2, 5, 3}), SortedIndices(tasks, L"Task Status", false));
    std::vector<TaskItem> flags = {Task(1, 0, L"", 0, 1), Task(2, 0, L"", 0, 0), Task(3, 0, L"", 0, 1)};
    EXPECT_EQ((std::vector<int>{2, 1, 3}), SortedIndices(flags, L"Deleted Flag", true));
}

TEST(TaskListSort, DatesAsPointsInTimeWithTextsThatAreNotDatesLast) {
    std::vector<TaskItem> tasks = WithCreatedDates({L"2026-12-05 12:00:00", L"", L"2026-01-31 08:00:00",
                                                    L"garbage", L"2025-12-31 23:59:59", L"2026-12-05 09:30:00"});
    // Chronological, then the two texts that are not dates in their list order.
    EXPECT_EQ((std::vector<int>{5, 3, 6, 1, 2, 4}), SortedIndices(tasks, L"Created Date", true));
    // Latest first; the texts that are not dates first, still in their order.
    EXPECT_EQ((std::vector<int>{2, 4, 1, 6, 3, 5}), SortedIndices(tasks, L"Created Date", false));
}

TEST(TaskListSort, DateComparisonIsOneOrZero) {
    std::vector<TaskItem> t = WithCreatedDates({L"2026-12-05 12:00:00", L"2026-01-01 00:00:00", L"", L"x"});
    ColumnId c = FindColumn(L"Created Date");
    EXPECT_EQ(1, CompareTasks(t[0], t[1], c, true));
    EXPECT_EQ(0, CompareTasks(t[1], t[0], c, true));
    EXPECT_EQ(0, CompareTasks(t[0], t[0], c, true));
    EXPECT_EQ(1, CompareTasks(t[2], t[0], c, true));   // the first is not a date
    EXPECT_EQ(0, CompareTasks(t[0], t[2], c, true));   // only the second is not a date
    EXPECT_EQ(1, CompareTasks(t[0], t[2], c, false));  // descending swaps them
    // Two texts that are not dates are equal, whichever comes first.
    EXPECT_EQ(0, CompareTasks(t[2], t[3], c, true));
    EXPECT_EQ(0, CompareTasks(t[3], t[2], c, true));
}

TEST(TaskListSort, DatesBefore1900OrderedAsTime) {
    double a = 0, b = 0, c = 0;
    ASSERT_TRUE(ParseDateText(L"1899-12-29 06:00:00", a));
    ASSERT_TRUE(ParseDateText(L"1899-12-29 18:00:00", b));
    ASSERT_TRUE(ParseDateText(L"1899-12-30 00:00:00", c));
    EXPECT_LT(a, b);
    EXPECT_LT(b, c);
    EXPECT_FALSE(ParseDateText(L"", a));
    EXPECT_FALSE(ParseDateText(L"2026-12-05T12:00", a));
}

TEST(TaskListSort, EqualRowsKeepTheirOrderBothWays) {
    std::vector<TaskItem> tasks = {Task(1, 0, L"b"), Task(2, 0, L"a"), Task(3, 0, L"b"), Task(4, 0, L"a"),
                                   Task(5, 0, L"b")};
    EXPECT_EQ((std::vector<int>{2, 4, 1, 3, 5}), SortedIndices(tasks, L"Task Name", true));
    EXPECT_EQ((std::vector<int>{1, 3, 5, 2, 4}), SortedIndices(tasks, L"Task Name", false));
}

TEST(TaskListSort, UnknownColumnKeepsTheOrder) {
    std::vector<TaskItem> tasks = {Task(3, 0, L"c"), Task(1, 0, L"a"), Task(2, 0, L"b")};
    EXPECT_EQ((std::vector<int>{3, 1, 2}), SortedIndices(tasks, L"Not A Column", true));
    EXPECT_EQ(0, CompareTasks(tasks[0], tasks[1], ColumnId::Unknown, true));
}
