// The To Do list's model without a window.
#include <gtest/gtest.h>
#include <windows.h>
#include <oleauto.h>
#include <cmath>
#include <functional>
#include "tasklistmodel.h"
#include "tasklistsortkeys.h"

namespace {

TaskItem Task(int key, int status = kStatusOpen, const wchar_t* name = L"", int deleted = 0, int category = kCategoryManual) {
    TaskItem t;
    t.ToDo_Index = key, t.ToDo_Status = status, t.ToDo_Name = name, t.ToDo_DeletedFlag = deleted, t.ToDo_Category = category;
    return t;
}

// Keys 1, 2, ... in collection order, the default columns, every view on.
TaskListModel Model(std::vector<TaskItem> tasks, ColumnSet columns = DefaultColumnSet()) {
    TaskListModel model;
    for (size_t i = 0; i < tasks.size(); ++i)
        if (!tasks[i].ToDo_Index) tasks[i].ToDo_Index = static_cast<int>(i + 1);
    model.Tasks().Items() = std::move(tasks);
    model.SetColumns(std::move(columns));
    model.Fill();
    return model;
}

std::vector<int> Keys(const TaskListModel& model) {
    std::vector<int> keys;
    for (size_t row = 0; row < model.RowCount(); ++row) keys.push_back(model.RowKey(row));
    return keys;
}

TaskItem Dated(const wchar_t* created, std::wstring TaskItem::*field = &TaskItem::ToDo_CreatedDate) {
    TaskItem t = Task(0);
    t.*field = created;
    return t;
}

int Column(const wchar_t* name) { return static_cast<int>(FindColumn(name)); }

std::wstring Text(int value) { return std::to_wstring(value); }

} // namespace

// The views themselves are TaskListColumns' cases.
TEST(TaskListModel, RowsFollowTheViewsTheRulesAndTheKeysThatFindTheirRecord) {
    const std::vector<TaskItem> tasks = {Task(1, kStatusOpen, L"pump"), Task(2, kStatusCompleted, L"valve"),
                                         Task(3, kStatusDeferred, L"Pump seal"), Task(4, kStatusCompleted, L"PUMP", 1)};
    const struct {
        ViewFlags views;
        FilterRules rules;
        std::vector<int> keys;
    } cases[] = {
        {{}, {{L"Task Name", kContains, L"pump"}}, {1, 3, 4}},
        {{0, 1, 1, 1}, {{L"Task Name", kContains, L"pump"}, {L"Task Status", kIsEqual, L"open"}}, {1}},
    };
    for (const auto& c : cases) {
        TaskListModel model = Model(tasks);
        model.Views() = c.views;
        model.Rules() = c.rules;
        model.Fill();
        EXPECT_EQ(c.keys, Keys(model)) << testing::PrintToString(c.keys);
    }
    // A key that finds an earlier record is not listed; one away from its position is.
    EXPECT_EQ((std::vector<int>{3, 1, 2}), Keys(Model({Task(3), Task(1), Task(1), Task(2)})));
    EXPECT_EQ(0u, Model(tasks, {}).RowCount());  // without a column, no row
}

TEST(TaskListModel, HeaderClicksSortStablyAscendingThenDescendingByEveryKind) {
    const std::vector<TaskItem> names = {Task(0, 0, L"alpha"), Task(0, 0, L"Zeta"), Task(0, 0, L"beta"), Task(0, 0, L"Zeta")};
    const std::vector<TaskItem> categories = {Task(0, 0, L"", 0, kCategoryDelete), Task(0, 0, L"", 0, kCategoryCreate),
                                              Task(0, 0, L"", 0, kCategoryClaim), Task(0, 0, L"", 0, kCategoryCreate)};
    const std::vector<TaskItem> statuses = {Task(0, 4), Task(0, 2), Task(0, 0), Task(0, 2), Task(0, 3), Task(0, 1)};
    const std::vector<TaskItem> flags = {Task(0, 0, L"", 1), Task(0, 2, L"", 0), Task(0, 1, L"", 1)};
    // Texts that are not dates go after every date ascending, before them descending, in
    // list order both ways; so do equal dates, whichever way they are written.
    const std::vector<TaskItem> created = {Dated(L"2026-12-05 12:00:00"), Dated(L""), Dated(L"2026-01-31 08:00:00"),
                                           Dated(L"garbage"), Dated(L"12/5/2026 12:00:00 PM"), Dated(L"2025-12-31 23:59:59")};
    // Before 1899-12-30 the days count backwards but the time of day forwards.
    const std::vector<TaskItem> early = {Dated(L"1899-12-30 00:00:00"), Dated(L"1899-12-29 18:00:00"),
                                         Dated(L"1899-12-29 06:00:00")};
    // Every date column sorts as dates: as texts the empty one would come first.
    const std::vector<TaskItem> modified = {Dated(L"", &TaskItem::ToDo_ModifiedDate), Dated(L"2026-01-01 00:00:00", &TaskItem::ToDo_ModifiedDate)};
    const std::vector<TaskItem> run = {Dated(L"", &TaskItem::ToDo_RunDate), Dated(L"2026-01-01 00:00:00", &TaskItem::ToDo_RunDate)};
    const struct {
        const std::vector<TaskItem>& tasks;
        const wchar_t* column;
        std::vector<int> ascending, descending;
    } cases[] = {
        {names, L"Task Name", {2, 4, 1, 3}, {3, 1, 2, 4}},  // by code unit: "Manual Zeta" first
        {categories, L"Task Category", {3, 2, 4, 1}, {1, 2, 4, 3}},  // by their words
        {statuses, L"Task Status", {3, 6, 2, 4, 5, 1}, {1, 5, 2, 4, 6, 3}},
        {flags, L"Deleted Flag", {2, 1, 3}, {1, 3, 2}},
        {created, L"Created Date", {6, 3, 1, 5, 2, 4}, {2, 4, 1, 5, 3, 6}},
        {early, L"Created Date", {3, 2, 1}, {1, 2, 3}},
        {modified, L"Modified Date", {2, 1}, {1, 2}},
        {run, L"Run Date", {2, 1}, {1, 2}},
    };
    for (const auto& c : cases) {
        TaskListModel model = Model(c.tasks);
        model.SortBy(Column(c.column));
        EXPECT_EQ(c.ascending, Keys(model)) << c.column;
        model.SortBy(Column(c.column));
        EXPECT_EQ(c.descending, Keys(model)) << c.column;
        model.Fill();  // a fill sorts again
        EXPECT_EQ(c.descending, Keys(model)) << c.column;
    }
}

// The sort column is an index: a name outside the table, or no column at that index
// after the columns changed, leaves collection order; another column starts ascending;
// Refresh forgets the sort but not the direction.
TEST(TaskListModel, ASortColumnWithoutASortKeepsTheOrder) {
    TaskListModel model = Model({Task(0, 0, L"b"), Task(0, 0, L"a")}, {{L"Task Name"}, {L"Not A Column"}});
    auto refill = [&model](ColumnSet columns) { model.SetColumns(std::move(columns)), model.Fill(); };
    std::wstring orders;
    for (auto step : std::vector<std::function<void()>>{
             [&] { model.SortBy(1); }, [&] { model.SortBy(0); }, [&] { refill({{L"Not A Column"}}); },
             [&] { refill({{L"Task Name"}, {L"Item Name"}}); }, [&] { model.ForgetSort(), model.Fill(); }}) {
        step();
        orders += Text(model.RowKey(0)) + Text(model.RowKey(1)) + L" ";
    }
    EXPECT_EQ(L"12 21 12 21 12 ", orders);
    EXPECT_TRUE(model.SortAscending());
}

TEST(TaskListModel, KeysAndRowsBothWaysWithPreviousAndNextAtBothEnds) {
    TaskListModel model = Model({Task(5, 0, L"c"), Task(9, 0, L"a"), Task(3, 0, L"b")});
    model.SortBy(0);  // 9, 3, 5
    std::wstring answers;  // per key: row, first, last, previous, next
    for (int key : {9, 3, 5, 42})
        answers += Text(model.RowOfKey(key)) + L" " + Text(model.IsFirstRow(key)) + Text(model.IsLastRow(key)) + L" " +
                   Text(model.PreviousKey(key)) + L" " + Text(model.NextKey(key)) + L"|";
    EXPECT_EQ(L"0 10 -1 3|1 00 9 5|2 01 3 -1|-1 00 -1 -1|", answers);
    EXPECT_EQ(-1, model.RowKey(3));
    // Fetched again before the next fill: the rows still find their keys.
    model.Tasks().Items() = {Task(3), Task(5), Task(9)};
    EXPECT_EQ(L"012", Text(model.RowOfKey(9)) + Text(model.RowOfKey(3)) + Text(model.RowOfKey(5)));
    EXPECT_FALSE(Model({}).IsFirstRow(0) || Model({}).IsLastRow(0));
}

// Texts by row and column set entry; a picture shown over a row stays with its task
// through a sort and goes at the next fill.
TEST(TaskListModel, TextsAndPicturesByRow) {
    TaskListModel model = Model({Task(0, kStatusOpen, L"b"), Task(0, kStatusCompleted, L"a", 1)},
                                {{L"Task Status"}, {L"Task Name"}, {L"Nothing"}});
    std::wstring scratch, texts;
    for (size_t row : {0, 1, 2})
        for (size_t column : {0, 1, 2, 3}) texts += model.Text(row, column, scratch) + L"|";
    EXPECT_EQ(L"Open|Manual b|||Completed|Manual a|||||||", texts);
    model.ShowImage(0, kImageError);
    model.SortBy(1);
    EXPECT_EQ(L"63", Text(model.Image(0)) + Text(model.Image(1)));
    model.Fill();
    EXPECT_EQ(L"60", Text(model.Image(0)) + Text(model.Image(1)));
}

TEST(TaskListModel, SelectionSummaryDrivesTheButtons) {
    // 1 Open, 2 InProgress, 3 Completed, 4 Deferred, 5 Error, 6 Completed + deleted, 7 status 9.
    const std::vector<TaskItem> tasks = {Task(1, 0), Task(2, 1), Task(3, 2), Task(4, 4),
                                         Task(5, 3), Task(6, 2, L"", 1), Task(7, 9)};
    const struct {
        std::vector<size_t> rows;
        const char *privileges, *expected;  // Run, Defer, Delete; Properties, Run, Defer, Delete, Permanently delete
    } cases[] = {
        {{}, "111", "00000"},      {{0}, "111", "11111"},    {{6}, "111", "11111"},
        {{0, 2}, "111", "10011"},  // an open and a completed task
        {{3}, "111", "10111"},     // a deferred task may be deferred again
        {{5}, "111", "10001"},     // deleted: only the permanent delete
        {{0, 5}, "111", "10001"},  {{0}, "000", "10000"},    {{0}, "100", "11000"},
        {{0}, "010", "10100"},     {{0}, "001", "10011"},    {{1, 4}, "011", "10111"},
        {{9}, "111", "00000"},  // a row without a task counts as a row only
    };
    for (const auto& c : cases) {
        TaskListModel model = Model(tasks);
        model.Tasks().Run = c.privileges[0] == '1', model.Tasks().Defer = c.privileges[1] == '1';
        model.Tasks().Delete = c.privileges[2] == '1';
        SelectionSummary summary;
        for (size_t row : c.rows) model.CountRow(summary, row, +1);
        SelectionButtons b = model.Buttons(summary);
        std::string states = {"01"[b.properties], "01"[b.run], "01"[b.defer], "01"[b.remove], "01"[b.removeFromServer]};
        EXPECT_EQ(c.expected, states) << testing::PrintToString(c.rows);
        for (size_t row : c.rows) model.CountRow(summary, row, -1);
        EXPECT_EQ(0, summary.rows + summary.tasks + summary.completed + summary.completedOrDeferred + summary.deleted);
    }
}

// The framework's own form is read directly: it must come to the platform parser's point
// in time, and leave every other text to it.
TEST(TaskListSortKeys, DatesReadDirectlyAgreeWithThePlatformParser) {
    auto platform = [](const wchar_t* text) {
        DATE date = 0;
        if (FAILED(VarDateFromStr(const_cast<OLECHAR*>(text), LOCALE_USER_DEFAULT, 0, &date))) return kNoDate;
        double days = date >= 0 ? date : std::trunc(date) + (std::trunc(date) - date);
        return static_cast<int64_t>(std::llround(days * 86400));
    };
    for (const wchar_t* text : {L"2026-12-05 12:00:00", L"2024-02-29 23:59:59", L"1899-12-30 00:00:00",
                                L"1899-12-29 06:00:00", L"1000-01-01 00:00:01", L"9999-12-31 23:59:59",
                                L"2023-02-29 10:00:00", L"2026-13-01 10:00:00", L"2026-12-05 24:00:00",
                                L"2026-12-05T12:00:00", L"12/5/2026 12:00:00 PM", L"2026-12-05", L"", L"garbage"})
        EXPECT_EQ(platform(text), DateSeconds(text)) << testing::PrintToString(std::wstring(text));
}
