// The task property dialog driven as a user would: buttons, edits, the Status list,
// stepping through rows, the save question, Action and Defer, the fourth tab.
#include "diagnostics/qrcomexception.h"
#include "taskpropertydlg_fixture.h"

using testing::_;
using testing::Return;

TEST_F(TaskPropertyDlgTest, TitlesStepButtonsAndTipsFollowTheTaskAndItsRow) {
    SetTasks({MakeTask(1, kCategoryUnClaim, kStatusOpen, L"A"), MakeTask(2, kCategoryDeleteOther, kStatusOpen, L"B"),
              MakeTask(3, kCategoryClaim, kStatusOpen, L"C")});
    const struct {
        int key;
        const wchar_t* title;
        bool previous, next;
    } cases[] = {{1, L"Task Properties - UnClaim Task", false, true},
                 {2, L"Task Properties - Delete Task", true, true},
                 {3, L"Task Properties - Claim Task", true, false},
                 {0, L"Task Properties - Manual Task", false, false}};
    for (const auto& c : cases) {
        Run(c.key, c.title, [&](HWND window) {
            EXPECT_EQ(c.previous, Enabled(window, IDC_TASKPROPERTIES_PREVIOUS)) << c.key;
            EXPECT_EQ(c.next, Enabled(window, IDC_TASKPROPERTIES_NEXT)) << c.key;
            EXPECT_FALSE(Enabled(window, IDC_TASKPROPERTIES_APPLY)) << c.key;
            Click(window, IDCANCEL);
        });
    }
    Run(1, L"Task Properties - UnClaim Task", [](HWND window) {
        const std::pair<int, const wchar_t*> tips[] = {{IDC_TASKPROPERTIES_PREVIOUS, L"Previous Task"},
                                                       {IDC_TASKPROPERTIES_NEXT, L"Next Task"},
                                                       {IDC_TASKPROPERTIES_ACTION, L"Run Task"},
                                                       {IDC_TASKPROPERTIES_DEFER, L"Defer Task"}};
        for (auto [id, tip] : tips) EXPECT_EQ(tip, ToolTipText(::GetDlgItem(window, id))) << id;
        Click(window, IDCANCEL);
    });
}

TEST_F(TaskPropertyDlgTest, ClaimTaskShowsItsFieldsAndOnlyNotesCanChangeIt) {
    SetTasks({MakeTask(1, kCategoryClaim, kStatusInProgress, L"P-101")});
    EXPECT_CALL(owner, SaveTaskProperties(_)).Times(0);
    INT_PTR result = Run(1, L"Task Properties - Claim Task", [&](HWND window) {
        HWND general = General(window), details = Details(window);
        HWND history = PageWith(window, IDC_TASKHISTORY_CREATEDBY);
        const struct {
            HWND page;
            int id;
            const wchar_t* text;
            bool enabled;
        } fields[] = {
            {general, IDC_TASKGENERAL_NAME, L"P-101", false},
            {general, IDC_TASKGENERAL_DESCRIPTION, L"This task will Claim P-101", false},
            {general, IDC_TASKGENERAL_NOTES, L"notes of P-101", true},
            {general, IDC_TASKGENERAL_STATUS, L"InProgress", false},
            {details, IDC_TASKDETAILS_TOOL, L"type of P-101", true},
            {details, IDC_TASKDETAILS_DOCUMENT, L"document of P-101", true},
            {details, IDC_TASKDETAILS_DESTINATIONTAG, L"P-101", true},
            {details, IDC_TASKDETAILS_SOURCETAG, L"", true},
            {history, IDC_TASKHISTORY_CREATEDBY, L"creator", true},
            {history, IDC_TASKHISTORY_CREATEDDATE, L"12/1/2026 9:00:00 AM", true},
            {history, IDC_TASKHISTORY_RUNBY, L"runner", true},
            {history, IDC_TASKHISTORY_DELETEDBY, L"", true},
        };
        for (const auto& f : fields) {
            EXPECT_EQ(f.text, Text(f.page, f.id)) << f.id;
            if (f.page == general) EXPECT_EQ(f.enabled, Enabled(f.page, f.id)) << f.id;
        }
        Type(general, IDC_TASKGENERAL_NOTES, L"checked on site");
        EXPECT_TRUE(Enabled(window, IDC_TASKPROPERTIES_APPLY));
        Click(window, IDCANCEL);
    });
    // Cancel asks nothing and saves nothing, but the owner learns of the change.
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_TRUE(dialog->ChangedFlag());
}

TEST_F(TaskPropertyDlgTest, ManualTaskStatusesAreChangesAndOneOutsideTheListIsKept) {
    SetTasks({MakeTask(1, kCategoryManual, kStatusOpen, L"M"), MakeTask(2, kCategoryManual, 7, L"N"),
              MakeTask(3, kCategoryManual, kStatusCompleted, L"Done")});
    Run(1, L"Task Properties - Manual Task", [&](HWND window) {
        HWND general = General(window), status = ::GetDlgItem(general, IDC_TASKGENERAL_STATUS);
        EXPECT_EQ(L"described M", Text(general, IDC_TASKGENERAL_DESCRIPTION));
        EXPECT_EQ(5, ::SendMessageW(status, CB_GETCOUNT, 0, 0));
        ::SendMessageW(status, CB_SETCURSEL, kStatusError, 0);
        ::SendMessageW(general, WM_COMMAND, MAKEWPARAM(IDC_TASKGENERAL_STATUS, CBN_SELCHANGE),
                       reinterpret_cast<LPARAM>(status));
        EXPECT_TRUE(Enabled(window, IDC_TASKPROPERTIES_APPLY));
        Click(window, IDOK);
    });
    EXPECT_EQ(kStatusError, dialog->Values().status);
    EXPECT_TRUE(dialog->ChangedFlag());
    // A status outside the five codes selects no entry: OK sends the task's own status.
    Run(2, L"Task Properties - Manual Task", [&](HWND window) {
        EXPECT_EQ(CB_ERR, ::SendDlgItemMessageW(General(window), IDC_TASKGENERAL_STATUS, CB_GETCURSEL, 0, 0));
        Type(General(window), IDC_TASKGENERAL_NOTES, L"edited");
        Click(window, IDOK);
    });
    EXPECT_EQ(7, dialog->Values().status);
    EXPECT_EQ(L"edited", dialog->Values().notes);
    // A completed manual task keeps its status; it can be neither run nor deferred.
    Run(3, L"Task Properties - Manual Task", [&](HWND window) {
        EXPECT_FALSE(Enabled(General(window), IDC_TASKGENERAL_STATUS));
        EXPECT_TRUE(Enabled(General(window), IDC_TASKGENERAL_NAME));
        EXPECT_FALSE(Enabled(window, IDC_TASKPROPERTIES_ACTION));
        EXPECT_FALSE(Enabled(window, IDC_TASKPROPERTIES_DEFER));
        Click(window, IDCANCEL);
    });
}

TEST_F(TaskPropertyDlgTest, CreationModeCollectsANewTaskWithoutSaving) {
    EXPECT_CALL(owner, SaveTaskProperties(_)).Times(0);
    EXPECT_CALL(owner, FetchTaskAssignments(_, _)).Times(0);
    INT_PTR result = Run(0, L"Task Properties - Manual Task", [&](HWND window) {
        for (int id : {IDC_TASKPROPERTIES_ACTION, IDC_TASKPROPERTIES_DEFER}) EXPECT_FALSE(Enabled(window, id)) << id;
        HWND general = General(window);
        EXPECT_EQ(L"Open", Text(general, IDC_TASKGENERAL_STATUS));
        EXPECT_EQ((std::vector<std::wstring>{L"General", L"Details", L"History"}),
                  TabTitles(window, IDC_TASKPROPERTIES_TABS));
        Type(general, IDC_TASKGENERAL_NAME, L"Check the pump");
        Type(general, IDC_TASKGENERAL_DESCRIPTION, L"before start-up");
        Type(general, IDC_TASKGENERAL_NOTES, L"line 1\r\nline 2");
        EXPECT_FALSE(Enabled(window, IDC_TASKPROPERTIES_APPLY));
        // Apply cannot save a task that does not exist yet, even when clicked.
        ::SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_TASKPROPERTIES_APPLY, BN_CLICKED), 0);
        Click(window, IDOK);
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ((TaskPropertyValues{0, L"Check the pump", L"before start-up", kStatusOpen, L"line 1\r\nline 2", L""}),
              dialog->Values());
}

TEST_F(TaskPropertyDlgTest, SteppingFollowsTheListedRowsNotTheIndices) {
    SetTasks({MakeTask(1, kCategoryClaim, kStatusOpen, L"A"), MakeTask(2, kCategoryManual, kStatusOpen, L"B"),
              MakeTask(3, kCategoryUnClaim, kStatusOpen, L"C")});
    owner.UseRows({3, 1, 2}, tasks);  // sorted differently in the list
    Run(3, L"Task Properties - UnClaim Task", [&](HWND window) {
        Click(window, IDC_TASKPROPERTIES_NEXT);
        EXPECT_EQ(L"Task Properties - Claim Task", WindowText(window));
        EXPECT_EQ(L"A", Text(General(window), IDC_TASKGENERAL_NAME));
        Click(window, IDC_TASKPROPERTIES_NEXT);
        EXPECT_EQ(L"Task Properties - Manual Task", WindowText(window));
        EXPECT_EQ(L"B", Text(General(window), IDC_TASKGENERAL_NAME));
        EXPECT_TRUE(Enabled(window, IDC_TASKPROPERTIES_PREVIOUS));
        EXPECT_FALSE(Enabled(window, IDC_TASKPROPERTIES_NEXT));
        ::SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_TASKPROPERTIES_NEXT, BN_CLICKED), 0);  // at the end
        EXPECT_EQ(L"B", Text(General(window), IDC_TASKGENERAL_NAME));
        Click(window, IDC_TASKPROPERTIES_PREVIOUS);
        EXPECT_EQ(L"A", Text(General(window), IDC_TASKGENERAL_NAME));
        EXPECT_TRUE(Enabled(window, IDC_TASKPROPERTIES_NEXT));
        Click(window, IDCANCEL);
    });
}

TEST_F(TaskPropertyDlgTest, NextAfterAChangeAsksAndNoDropsItYesSavesThatTaskFirst) {
    SetTasks({MakeTask(1, kCategoryClaim, kStatusError, L"P-7"), MakeTask(2, kCategoryManual, kStatusOpen, L"B")});
    std::wstring shownWhenSaved, question;
    HWND shown = nullptr;
    EXPECT_CALL(owner, SaveTaskProperties((TaskPropertyValues{1, L"P-7", L"This task will Claim P-7", kStatusError,
                                                              L"retry tomorrow", L""})))
        .WillOnce([&](const TaskPropertyValues&) { shownWhenSaved = Text(General(shown), IDC_TASKGENERAL_NAME); });
    Run(1, L"Task Properties - Claim Task", [&](HWND window) {
        shown = window;
        Type(General(window), IDC_TASKGENERAL_NOTES, L"dropped");
        AnswerMessageBox(IDNO, &question);
        Click(window, IDC_TASKPROPERTIES_NEXT);
        EXPECT_EQ(L"B", Text(General(window), IDC_TASKGENERAL_NAME));
        EXPECT_FALSE(Enabled(window, IDC_TASKPROPERTIES_APPLY));
        Click(window, IDC_TASKPROPERTIES_PREVIOUS);  // unchanged: no question
        EXPECT_EQ(L"notes of P-7", Text(General(window), IDC_TASKGENERAL_NOTES));
        Type(General(window), IDC_TASKGENERAL_NOTES, L"retry tomorrow");
        AnswerMessageBox(IDYES, nullptr);
        Click(window, IDC_TASKPROPERTIES_NEXT);
        EXPECT_FALSE(dialog->ChangedFlag());
        Click(window, IDCANCEL);
    });
    EXPECT_EQ(L"You have made changes to this task.\nDo you wish to save these changes?", question);
    EXPECT_EQ(L"P-7", shownWhenSaved);  // saved before the step
    EXPECT_EQ(L"P-7", tasks.Item(0).ToDo_Name);
}

TEST_F(TaskPropertyDlgTest, ApplyThenCancelSavesOnceApplyThenOkLeavesTheSecondSaveToTheOwner) {
    SetTasks({MakeTask(1, kCategoryManual, kStatusOpen, L"A")});
    TaskPropertyValues expected{1, L"A", L"described A", kStatusOpen, L"first", L""};
    EXPECT_CALL(owner, SaveTaskProperties(expected)).Times(1);
    EXPECT_EQ(IDCANCEL, Run(1, L"Task Properties - Manual Task", [&](HWND window) {
        Click(window, IDC_TASKPROPERTIES_APPLY);  // without a change: nothing
        Type(General(window), IDC_TASKGENERAL_NOTES, L"first");
        Click(window, IDC_TASKPROPERTIES_APPLY);
        EXPECT_TRUE(Enabled(window, IDC_TASKPROPERTIES_APPLY));
        Click(window, IDCANCEL);
    }));
    EXPECT_TRUE(dialog->ChangedFlag());
    testing::Mock::VerifyAndClearExpectations(&owner);

    expected.notes = L"second";
    EXPECT_CALL(owner, SaveTaskProperties(expected)).Times(1);
    EXPECT_EQ(IDOK, Run(1, L"Task Properties - Manual Task", [&](HWND window) {
        Type(General(window), IDC_TASKGENERAL_NOTES, L"second");
        Click(window, IDC_TASKPROPERTIES_APPLY);
        Click(window, IDOK);
    }));
    EXPECT_TRUE(dialog->ChangedFlag());
    EXPECT_EQ(expected, dialog->Values());
}

TEST_F(TaskPropertyDlgTest, DeferFlipsTheLocalStatusOnlyWhenTheFrameworkTookIt) {
    SetTasks({MakeTask(4, kCategoryClaim, kStatusDeferred, L"D"), MakeTask(5, kCategoryClaim, kStatusOpen, L"O")},
             /*run*/ false);
    EXPECT_CALL(owner, DeferTaskItem(4)).Times(2).WillRepeatedly(Return(true));
    EXPECT_CALL(owner, DeferTaskItem(5)).WillOnce(Return(false));
    EXPECT_CALL(owner, RunTaskItem(_)).Times(0);
    Run(4, L"Task Properties - Claim Task", [&](HWND window) {
        EXPECT_FALSE(Enabled(window, IDC_TASKPROPERTIES_ACTION));
        Click(window, IDC_TASKPROPERTIES_DEFER);
        EXPECT_EQ(kStatusOpen, tasks.Item(0).ToDo_Status);
        EXPECT_EQ(L"Open", Text(General(window), IDC_TASKGENERAL_STATUS));
        EXPECT_FALSE(Enabled(window, IDC_TASKPROPERTIES_ACTION));  // no Run privilege
        Click(window, IDC_TASKPROPERTIES_DEFER);
        EXPECT_EQ(kStatusDeferred, tasks.Item(0).ToDo_Status);
        Click(window, IDC_TASKPROPERTIES_NEXT);
        Click(window, IDC_TASKPROPERTIES_DEFER);  // not taken
        EXPECT_EQ(kStatusOpen, tasks.Item(1).ToDo_Status);
        EXPECT_EQ(L"Open", Text(General(window), IDC_TASKGENERAL_STATUS));
        Click(window, IDCANCEL);
    });
    EXPECT_FALSE(dialog->ChangedFlag());
    SetTasks({MakeTask(1, kCategoryClaim, kStatusOpen, L"O")}, /*run*/ true, /*defer*/ false);
    Run(1, L"Task Properties - Claim Task", [&](HWND window) {
        EXPECT_TRUE(Enabled(window, IDC_TASKPROPERTIES_ACTION));
        EXPECT_FALSE(Enabled(window, IDC_TASKPROPERTIES_DEFER));
        Click(window, IDCANCEL);
    });
}

TEST_F(TaskPropertyDlgTest, ActionPatchesTheLocalStatusFromTheResult) {
    SetTasks({MakeTask(1, kCategoryClaim, kStatusOpen, L"A"), MakeTask(2, kCategoryClaim, kStatusError, L"B")});
    EXPECT_CALL(owner, RunTaskItem(1)).WillOnce(Return(RunOutcome::Completed()));
    EXPECT_CALL(owner, RunTaskItem(2)).WillOnce(Return(RunOutcome::EndedInError()));
    Run(1, L"Task Properties - Claim Task", [&](HWND window) {
        Type(General(window), IDC_TASKGENERAL_NOTES, L"dropped by the reload");
        Click(window, IDC_TASKPROPERTIES_ACTION);
        EXPECT_EQ(kStatusCompleted, tasks.Item(0).ToDo_Status);
        EXPECT_FALSE(Enabled(window, IDC_TASKPROPERTIES_ACTION));
        EXPECT_FALSE(Enabled(window, IDC_TASKPROPERTIES_DEFER));
        EXPECT_FALSE(dialog->ChangedFlag());
        EXPECT_EQ(L"Completed", Text(General(window), IDC_TASKGENERAL_STATUS));
        Click(window, IDC_TASKPROPERTIES_NEXT);
        Click(window, IDC_TASKPROPERTIES_ACTION);
        EXPECT_EQ(kStatusError, tasks.Item(1).ToDo_Status);
        EXPECT_TRUE(Enabled(window, IDC_TASKPROPERTIES_ACTION));
        Click(window, IDCANCEL);
    });
}

TEST_F(TaskPropertyDlgTest, ActionFailureEndsTheDialogAndReachesTheCaller) {
    SetTasks({MakeTask(1, kCategoryClaim, kStatusOpen, L"A")});
    EXPECT_CALL(owner, RunTaskItem(1)).WillOnce([](int) -> RunOutcome {
        QRComException failure;
        failure.Throw(E_ACCESSDENIED, L"Claim in ZAR failed");
    });
    HRESULT caught = S_OK;
    try {
        Run(1, L"Task Properties - Claim Task", [](HWND window) { Click(window, IDC_TASKPROPERTIES_ACTION); });
    } catch (QRComException& e) {
        caught = e.result;
    }
    EXPECT_EQ(E_ACCESSDENIED, caught);
    EXPECT_EQ(kStatusOpen, tasks.Item(0).ToDo_Status);
}

TEST_F(TaskPropertyDlgTest, TheFourthTabComesWithUpdateAndCreateTasksAndGoesWithOthers) {
    SetTasks({MakeTask(1, kCategoryUpdate, kStatusOpen, L"U"), MakeTask(2, kCategoryClaim, kStatusOpen, L"C"),
              MakeTask(3, kCategoryCreate, kStatusOpen, L"N")});
    EXPECT_CALL(owner, FetchTaskAssignments(1, _)).Times(1);
    EXPECT_CALL(owner, FetchTaskAssignments(3, _)).Times(1);
    EXPECT_CALL(owner, FetchTaskAssignments(2, _)).Times(0);
    Run(1, L"Task Properties - Update Task", [&](HWND window) {
        HWND tabs = ::GetDlgItem(window, IDC_TASKPROPERTIES_TABS);
        EXPECT_EQ((std::vector<std::wstring>{L"General", L"Details", L"History", L"Update"}),
                  TabTitles(window, IDC_TASKPROPERTIES_TABS));
        EXPECT_EQ(0, ::SendMessageW(tabs, TCM_GETCURSEL, 0, 0));
        HWND create = PageWith(window, IDC_TASKCREATE_CLASS);
        EXPECT_EQ(L"class of U", Text(create, IDC_TASKCREATE_CLASS));
        const int pick[] = {3, 1, 2, 0};
        HWND pages[] = {General(window), Details(window), PageWith(window, IDC_TASKHISTORY_CREATEDBY), create};
        for (int tab : pick) {
            PickTab(window, tab);
            for (int i = 0; i < 4; ++i) EXPECT_EQ(i == tab, ::IsWindowVisible(pages[i]) != FALSE) << tab << i;
        }
        PickTab(window, 3);
        Click(window, IDC_TASKPROPERTIES_NEXT);
        EXPECT_EQ(L"Task Properties - Claim Task", WindowText(window));
        EXPECT_EQ((std::vector<std::wstring>{L"General", L"Details", L"History"}),
                  TabTitles(window, IDC_TASKPROPERTIES_TABS));
        EXPECT_EQ(2, ::SendMessageW(tabs, TCM_GETCURSEL, 0, 0));
        EXPECT_TRUE(::IsWindowVisible(pages[2]));
        EXPECT_FALSE(::IsWindowVisible(create));
        Click(window, IDC_TASKPROPERTIES_NEXT);
        EXPECT_EQ(L"Create", TabTitles(window, IDC_TASKPROPERTIES_TABS).at(3));
        EXPECT_EQ(2, ::SendMessageW(tabs, TCM_GETCURSEL, 0, 0));
        // Enter inside a page ends nothing.
        ::SendMessageW(pages[0], WM_COMMAND, IDOK, 0);
        ::SendMessageW(pages[0], WM_COMMAND, IDCANCEL, 0);
        EXPECT_TRUE(::IsWindow(window));
        Click(window, IDCANCEL);
    });
}

TEST_F(TaskPropertyDlgTest, KeyWithoutARecordShowsNothingAndRunsNothing) {
    SetTasks({MakeTask(1, kCategoryClaim, kStatusOpen, L"A")});
    owner.UseRows({1, 9}, tasks);  // a stale row key
    EXPECT_CALL(owner, RunTaskItem(_)).Times(0);
    EXPECT_CALL(owner, DeferTaskItem(_)).Times(0);
    EXPECT_CALL(owner, FetchTaskAssignments(_, _)).Times(0);
    Run(9, L"Task Properties", [&](HWND window) {
        EXPECT_EQ(L"", Text(General(window), IDC_TASKGENERAL_NAME));
        EXPECT_FALSE(Enabled(General(window), IDC_TASKGENERAL_NOTES));
        EXPECT_FALSE(Enabled(window, IDC_TASKPROPERTIES_ACTION));
        EXPECT_FALSE(Enabled(window, IDC_TASKPROPERTIES_DEFER));
        ::SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_TASKPROPERTIES_ACTION, BN_CLICKED), 0);
        ::SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_TASKPROPERTIES_DEFER, BN_CLICKED), 0);
        Click(window, IDC_TASKPROPERTIES_PREVIOUS);
        EXPECT_EQ(L"A", Text(General(window), IDC_TASKGENERAL_NAME));
        Click(window, IDCANCEL);
    });
}
