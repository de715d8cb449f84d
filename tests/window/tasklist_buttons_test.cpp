// The buttons follow the selection and the collection's privileges.
#include "tasklist_window_fixture.h"

namespace {

struct ButtonStates {
    bool properties, run, defer, remove, removeFromServer;
    bool operator==(const ButtonStates& o) const {
        return properties == o.properties && run == o.run && defer == o.defer && remove == o.remove &&
               removeFromServer == o.removeFromServer;
    }
};

std::ostream& operator<<(std::ostream& out, const ButtonStates& s) {
    return out << "properties=" << s.properties << " run=" << s.run << " defer=" << s.defer
               << " delete=" << s.remove << " deleteFromServer=" << s.removeFromServer;
}

ButtonStates States(const CTaskListDlg& dialog) {
    auto enabled = [&](int id) { return ::IsWindowEnabled(dialog.Item(id)) != FALSE; };
    return {enabled(IDC_TASKLIST_PROPERTIES), enabled(IDC_TASKLIST_ACTION), enabled(IDC_TASKLIST_DEFER),
            enabled(IDC_TASKLIST_DELETE), enabled(IDC_TASKLIST_DELETEFROMSERVER)};
}

// The three buttons with a disabled picture show it exactly while disabled.
void ExpectPicturesFollowStates(const CTaskListDlg& dialog) {
    for (int id : {IDC_TASKLIST_PROPERTIES, IDC_TASKLIST_DELETE, IDC_TASKLIST_DELETEFROMSERVER}) {
        HWND button = dialog.Item(id);
        bool disabled = !::IsWindowEnabled(button);
        EXPECT_EQ(dialog.ButtonPicture(id, disabled), winkit::ButtonCtrl(button).Bitmap()) << id;
    }
    for (int id : {IDC_TASKLIST_MANUALTASK, IDC_TASKLIST_REFRESH, IDC_TASKLIST_REPORT}) {
        EXPECT_TRUE(::IsWindowEnabled(dialog.Item(id))) << id;
        EXPECT_EQ(dialog.ButtonPicture(id, false), winkit::ButtonCtrl(dialog.Item(id)).Bitmap()) << id;
    }
}

} // namespace

TEST_F(TaskListWindow, EnablingRulesWithEveryPrivilege) {
    // Rows: 0 Open, 1 InProgress, 2 Completed, 3 Deferred, 4 Error, 5 Completed + deleted.
    struct Case {
        std::initializer_list<int> rows;
        ButtonStates expected;
    } cases[] = {
        {{}, {false, false, false, false, false}},
        {{0}, {true, true, true, true, true}},
        {{1}, {true, true, true, true, true}},
        {{4}, {true, true, true, true, true}},
        {{0, 2}, {true, false, false, true, true}},  // an Open and a Completed task
        {{3}, {true, false, true, true, true}},      // a deferred task may be deferred again
        {{5}, {true, false, false, false, true}},    // deleted: only the permanent delete
        {{0, 5}, {true, false, false, false, true}},
    };
    Open([&](CTaskListDlg& dialog) {
        ExpectPicturesFollowStates(dialog);
        for (const Case& c : cases) {
            Select(dialog, c.rows);
            EXPECT_EQ(c.expected, States(dialog)) << "rows " << testing::PrintToString(std::vector<int>(c.rows));
            ExpectPicturesFollowStates(dialog);
        }
    });
}

TEST_F(TaskListWindow, EnablingRulesFollowEachPrivilege) {
    struct Case {
        bool run, defer, remove;
        ButtonStates expected;  // with the Open task selected
    } cases[] = {
        {false, false, false, {true, false, false, false, false}},
        {true, false, false, {true, true, false, false, false}},
        {false, true, false, {true, false, true, false, false}},
        {false, false, true, {true, false, false, true, true}},
    };
    for (const Case& c : cases) {
        runPrivilege = c.run;
        deferPrivilege = c.defer;
        deletePrivilege = c.remove;
        Open([&](CTaskListDlg& dialog) {
            Select(dialog, {0});
            EXPECT_EQ(c.expected, States(dialog));
            ExpectPicturesFollowStates(dialog);
        });
    }
}

TEST_F(TaskListWindow, WithoutTheRunPrivilegeRunStaysDisabled) {
    runPrivilege = false;
    Open([&](CTaskListDlg& dialog) {
        for (int row = 0; row < dialog.RowCount(); ++row) {
            Select(dialog, {row});
            EXPECT_FALSE(::IsWindowEnabled(dialog.Item(IDC_TASKLIST_ACTION))) << row;
        }
    });
}

TEST_F(TaskListWindow, AFillLeavesNoSelectionAndTheButtonsFollow) {
    Open([&](CTaskListDlg& dialog) {
        Select(dialog, {0});
        ASSERT_TRUE(::IsWindowEnabled(dialog.Item(IDC_TASKLIST_PROPERTIES)));
        Click(dialog.hwnd(), IDC_TASKLIST_REFRESH);
        EXPECT_EQ(0, dialog.List().SelectedCount());
        EXPECT_EQ((ButtonStates{false, false, false, false, false}), States(dialog));
        ExpectPicturesFollowStates(dialog);
    });
}

TEST_F(TaskListWindow, RowsWhoseKeyNamesNoTaskCountForNothing) {
    Open([&](CTaskListDlg& dialog) {
        // The collection changes under the rows: task 1 is gone, task 3 moves to position 0.
        std::vector<TaskItem>& items = dialog.Tasks().Items();
        items.erase(items.begin(), items.begin() + 2);
        EXPECT_EQ(nullptr, dialog.RowTask(0));
        ASSERT_NE(nullptr, dialog.RowTask(2));
        EXPECT_EQ(3, dialog.RowTask(2)->ToDo_Index);  // found by its key, not by position
        EXPECT_EQ(nullptr, dialog.RowTask(-1));
        EXPECT_EQ(nullptr, dialog.RowTask(99));
        Select(dialog, {0});
        EXPECT_EQ((ButtonStates{false, false, false, false, false}), States(dialog));
        Select(dialog, {0, 3});  // the row without a task does not spoil the deferred one
        EXPECT_EQ((ButtonStates{true, false, true, true, true}), States(dialog));
    });
}

TEST_F(TaskListWindow, CommandsWithoutServiceRequestsSendNothingAndKeepTheRows) {
    RequestScript script;
    workspace->UseScript(script);
    script.createResult = E_FAIL;  // no request can be made: the fetches fail too
    driver.Answer(IDYES);
    Open([&](CTaskListDlg& dialog) {
        Select(dialog, {0, 1});
        // Marking deleted and deleting for good end at the first request: no refill.
        for (int id : {IDC_TASKLIST_DELETE, IDC_TASKLIST_DELETEFROMSERVER}) Command(dialog, id);
        EXPECT_EQ(2, dialog.List().SelectedCount());
        // Defer always fetches and refills; the failed fetch keeps the rows.
        Command(dialog, IDC_TASKLIST_DEFER);
        EXPECT_EQ(0, script.requestsMade);
        EXPECT_EQ((std::vector<int>{1, 2, 3, 4, 5, 6}), RowKeys(dialog));
    });
    ASSERT_EQ(1u, driver.boxes().size());  // only the permanent delete's question
}

// A command whose requests cannot be made: Delete has marked the first task deleted when
// it stops without a refill, Defer and Run refill the rows they could not change. Either
// way the buttons follow the records through the selection changes that come after.
TEST_F(TaskListWindow, ButtonsFollowTheRecordsAfterACommandWhoseRequestsCannotBeMade) {
    RequestScript script;
    workspace->UseScript(script);
    script.createResult = E_FAIL;
    driver.Answer(IDOK);  // Run reports the two tasks it could not run
    const ButtonStates none{false, false, false, false, false}, all{true, true, true, true, true},
        deleted{true, false, false, false, true};
    struct Case {
        int command;
        ButtonStates afterCommand, firstRowAlone;
    } cases[] = {
        {IDC_TASKLIST_DELETE, deleted, deleted},
        {IDC_TASKLIST_DEFER, none, all},
        {IDC_TASKLIST_ACTION, none, all},
    };
    for (const Case& c : cases) {
        Open([&](CTaskListDlg& dialog) {
            Select(dialog, {0, 1});
            Command(dialog, c.command);
            EXPECT_EQ(c.afterCommand, States(dialog)) << c.command;
            dialog.List().SetItemState(1, 0, LVIS_SELECTED);
            dialog.List().SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
            EXPECT_EQ(c.firstRowAlone, States(dialog)) << c.command;
        });
    }
    ASSERT_EQ(1u, driver.boxes().size());
    EXPECT_EQ(L"2 task(s) have not completed - Check the To Do list.", driver.boxes()[0].text);
}
