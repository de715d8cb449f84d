// The task property dialog driven as a user would: buttons, edits, the Status list,
// stepping through rows, the save question, Action and Defer, the fourth tab.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include "diagnostics/qrcomexception.h"
#include "taskpropertydlg_fixture.h"

using testing::_;
using testing::Invoke;
using testing::NiceMock;
using testing::Return;

TEST(TaskPropertyDlgTitle, NamesTheCategoryOrManualWhenCreating) {
    TaskItem task = MakeTask(1, kCategoryUnClaim, kStatusOpen, L"P-1");
    EXPECT_EQ(L"Task Properties - UnClaim Task", CTaskPropertyDlg::TitleFor(&task, false));
    task.ToDo_Category = kCategoryDeleteOther;
    EXPECT_EQ(L"Task Properties - Delete Task", CTaskPropertyDlg::TitleFor(&task, false));
    EXPECT_EQ(L"Task Properties - Manual Task", CTaskPropertyDlg::TitleFor(nullptr, true));
}

TEST_F(TaskPropertyDlgTest, StepButtonsFollowTheRowPosition) {
    SetTasks({MakeTask(1, kCategoryClaim, kStatusOpen, L"A")});
    CTaskPropertyDlg single(owner, &tasks, 1);
    Run(single, L"Task Properties - Claim Task", [](HWND dialog) {
        EXPECT_FALSE(Enabled(dialog, IDC_TASKPROPERTIES_PREVIOUS));
        EXPECT_FALSE(Enabled(dialog, IDC_TASKPROPERTIES_NEXT));
        EXPECT_FALSE(Enabled(dialog, IDC_TASKPROPERTIES_APPLY));
        Click(dialog, IDCANCEL);
    });

    SetTasks({MakeTask(1, kCategoryClaim, kStatusOpen, L"A"), MakeTask(2, kCategoryClaim, kStatusOpen, L"B"),
              MakeTask(3, kCategoryClaim, kStatusOpen, L"C")});
    const struct {
        int key;
        bool previous;
        bool next;
    } cases[] = {{1, false, true}, {2, true, true}, {3, true, false}};
    for (const auto& c : cases) {
        CTaskPropertyDlg dialog(owner, &tasks, c.key);
        Run(dialog, L"Task Properties - Claim Task", [&](HWND window) {
            EXPECT_EQ(c.previous, Enabled(window, IDC_TASKPROPERTIES_PREVIOUS)) << "row " << c.key;
            EXPECT_EQ(c.next, Enabled(window, IDC_TASKPROPERTIES_NEXT)) << "row " << c.key;
            Click(window, IDCANCEL);
        });
    }
}

TEST_F(TaskPropertyDlgTest, SmallButtonsCarryTheirTipsAndPictures) {
    SetTasks({MakeTask(1, kCategoryClaim, kStatusOpen, L"A")});
    CTaskPropertyDlg dialog(owner, &tasks, 1);
    Run(dialog, L"Task Properties - Claim Task", [&](HWND window) {
        const struct {
            int id;
            const wchar_t* tip;
        } buttons[] = {{IDC_TASKPROPERTIES_PREVIOUS, L"Previous Task"},
                       {IDC_TASKPROPERTIES_NEXT, L"Next Task"},
                       {IDC_TASKPROPERTIES_ACTION, L"Run Task"},
                       {IDC_TASKPROPERTIES_DEFER, L"Defer Task"}};
        for (const auto& b : buttons) {
            const winkit::CToolTipButton* button = dialog.SmallButton(b.id);
            ASSERT_TRUE(button) << b.id;
            EXPECT_EQ(::GetDlgItem(window, b.id), button->hwnd());
            // The tip as the tooltip window holds it for the button.
            wchar_t text[64] = {};
            TTTOOLINFOW tool = {};
            tool.cbSize = TTTOOLINFOW_V1_SIZE;
            tool.hwnd = button->hwnd();
            tool.uId = reinterpret_cast<UINT_PTR>(button->hwnd());
            tool.lpszText = text;
            ::SendMessageW(button->ToolTip(), TTM_GETTEXTW, 64, reinterpret_cast<LPARAM>(&tool));
            EXPECT_STREQ(b.tip, text);
        }
        EXPECT_EQ(nullptr, dialog.SmallButton(IDOK));
        for (int id : {IDC_TASKPROPERTIES_ACTION, IDC_TASKPROPERTIES_DEFER})
            EXPECT_TRUE(::SendDlgItemMessageW(window, id, BM_GETIMAGE, IMAGE_BITMAP, 0)) << id;
        Click(window, IDCANCEL);
    });
}

TEST_F(TaskPropertyDlgTest, ClaimTaskShowsItsFieldsAndOnlyNotesCanChangeIt) {
    SetTasks({MakeTask(1, kCategoryClaim, kStatusInProgress, L"P-101")});
    CTaskPropertyDlg dialog(owner, &tasks, 1);
    EXPECT_CALL(owner, SaveTaskProperties(_)).Times(0);
    INT_PTR result = Run(dialog, L"Task Properties - Claim Task", [&](HWND window) {
        HWND general = dialog.GeneralPage().hwnd();
        EXPECT_EQ(L"P-101", Text(general, IDC_TASKGENERAL_NAME));
        EXPECT_EQ(L"This task will Claim P-101", Text(general, IDC_TASKGENERAL_DESCRIPTION));
        EXPECT_EQ(L"notes of P-101", Text(general, IDC_TASKGENERAL_NOTES));
        EXPECT_EQ(L"InProgress", Text(general, IDC_TASKGENERAL_STATUS));
        EXPECT_FALSE(Enabled(general, IDC_TASKGENERAL_NAME));
        EXPECT_FALSE(Enabled(general, IDC_TASKGENERAL_DESCRIPTION));
        EXPECT_FALSE(Enabled(general, IDC_TASKGENERAL_STATUS));
        EXPECT_TRUE(Enabled(general, IDC_TASKGENERAL_NOTES));
        EXPECT_FALSE(dialog.ChangedFlag());
        EXPECT_TRUE(dialog.ReadyFlag());

        // Details and History show the task as the list holds it.
        HWND details = dialog.DetailsPage().hwnd();
        EXPECT_EQ(L"type of P-101", Text(details, IDC_TASKDETAILS_TOOL));
        EXPECT_EQ(L"document of P-101", Text(details, IDC_TASKDETAILS_DOCUMENT));
        EXPECT_EQ(L"P-101", Text(details, IDC_TASKDETAILS_DESTINATIONTAG));
        EXPECT_EQ(L"", Text(details, IDC_TASKDETAILS_SOURCETAG));
        HWND history = dialog.HistoryPage().hwnd();
        EXPECT_EQ(L"creator", Text(history, IDC_TASKHISTORY_CREATEDBY));
        EXPECT_EQ(L"12/1/2026 9:00:00 AM", Text(history, IDC_TASKHISTORY_CREATEDDATE));
        EXPECT_EQ(L"runner", Text(history, IDC_TASKHISTORY_RUNBY));
        EXPECT_EQ(L"", Text(history, IDC_TASKHISTORY_DELETEDBY));

        Type(general, IDC_TASKGENERAL_NOTES, L"checked on site");
        EXPECT_TRUE(dialog.ChangedFlag());
        EXPECT_TRUE(Enabled(window, IDC_TASKPROPERTIES_APPLY));
        Click(window, IDCANCEL);
    });
    // Cancel asks nothing and saves nothing, but the owner learns of the change.
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_TRUE(dialog.ChangedFlag());
}

TEST_F(TaskPropertyDlgTest, ManualTaskChoosingAnotherStatusIsAChange) {
    SetTasks({MakeTask(1, kCategoryManual, kStatusOpen, L"M")});
    CTaskPropertyDlg dialog(owner, &tasks, 1);
    Run(dialog, L"Task Properties - Manual Task", [&](HWND window) {
        HWND general = dialog.GeneralPage().hwnd();
        EXPECT_EQ(L"described M", Text(general, IDC_TASKGENERAL_DESCRIPTION));
        EXPECT_TRUE(Enabled(general, IDC_TASKGENERAL_NAME));
        EXPECT_TRUE(Enabled(general, IDC_TASKGENERAL_STATUS));
        HWND status = ::GetDlgItem(general, IDC_TASKGENERAL_STATUS);
        ::SendMessageW(status, CB_SETCURSEL, kStatusError, 0);
        ::SendMessageW(general, WM_COMMAND, MAKEWPARAM(IDC_TASKGENERAL_STATUS, CBN_SELCHANGE),
                       reinterpret_cast<LPARAM>(status));
        EXPECT_TRUE(Enabled(window, IDC_TASKPROPERTIES_APPLY));
        Click(window, IDOK);
    });
    EXPECT_EQ(kStatusError, dialog.Values().status);
    EXPECT_TRUE(dialog.ChangedFlag());
}

// A status outside the five codes selects no entry: OK keeps the task's own status
// instead of sending "no selection".
TEST_F(TaskPropertyDlgTest, StatusOutsideTheListIsKept) {
    SetTasks({MakeTask(1, kCategoryManual, 7, L"M")});
    CTaskPropertyDlg dialog(owner, &tasks, 1);
    Run(dialog, L"Task Properties - Manual Task", [&](HWND window) {
        HWND general = dialog.GeneralPage().hwnd();
        EXPECT_EQ(CB_ERR, ::SendDlgItemMessageW(general, IDC_TASKGENERAL_STATUS, CB_GETCURSEL, 0, 0));
        Type(general, IDC_TASKGENERAL_NOTES, L"edited");
        Click(window, IDOK);
    });
    EXPECT_EQ(7, dialog.Values().status);
    EXPECT_EQ(L"edited", dialog.Values().notes);
}

TEST_F(TaskPropertyDlgTest, CreationModeCollectsANewTaskWithoutSaving) {
    EXPECT_CALL(owner, SaveTaskProperties(_)).Times(0);
    EXPECT_CALL(owner, FetchTaskAssignments(_, _)).Times(0);
    CTaskPropertyDlg dialog(owner, nullptr, 0);
    INT_PTR result = Run(dialog, L"Task Properties - Manual Task", [&](HWND window) {
        for (int id : {IDC_TASKPROPERTIES_PREVIOUS, IDC_TASKPROPERTIES_NEXT, IDC_TASKPROPERTIES_APPLY,
                       IDC_TASKPROPERTIES_ACTION, IDC_TASKPROPERTIES_DEFER})
            EXPECT_FALSE(Enabled(window, id)) << id;
        HWND general = dialog.GeneralPage().hwnd();
        EXPECT_EQ(L"Open", Text(general, IDC_TASKGENERAL_STATUS));
        for (int id : {IDC_TASKGENERAL_NAME, IDC_TASKGENERAL_DESCRIPTION, IDC_TASKGENERAL_STATUS, IDC_TASKGENERAL_NOTES})
            EXPECT_TRUE(Enabled(general, id)) << id;
        EXPECT_EQ(3, TabCount(::GetDlgItem(window, IDC_TASKPROPERTIES_TABS)));

        Type(general, IDC_TASKGENERAL_NAME, L"Check the pump");
        Type(general, IDC_TASKGENERAL_DESCRIPTION, L"before start-up");
        Type(general, IDC_TASKGENERAL_NOTES, L"line 1\r\nline 2");
        EXPECT_TRUE(dialog.ChangedFlag());
        EXPECT_FALSE(Enabled(window, IDC_TASKPROPERTIES_APPLY));
        // Apply cannot save a task that does not exist yet, even when clicked.
        ::SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_TASKPROPERTIES_APPLY, BN_CLICKED), 0);
        Click(window, IDOK);
    });
    EXPECT_EQ(IDOK, result);
    TaskPropertyValues values = dialog.Values();
    EXPECT_EQ(0, values.index);
    EXPECT_EQ(L"Check the pump", values.name);
    EXPECT_EQ(L"before start-up", values.description);
    EXPECT_EQ(kStatusOpen, values.status);
    EXPECT_EQ(L"line 1\r\nline 2", values.notes);
    EXPECT_EQ(L"", values.assignments);
}

TEST_F(TaskPropertyDlgTest, SteppingThroughFiveTasksKeepsFiveStatusNames) {
    std::vector<TaskItem> items;
    for (int i = 1; i <= 5; ++i) items.push_back(MakeTask(i, kCategoryManual, kStatusOpen, L"T" + std::to_wstring(i)));
    SetTasks(items);
    CTaskPropertyDlg dialog(owner, &tasks, 1);
    Run(dialog, L"Task Properties - Manual Task", [&](HWND window) {
        for (int step = 0; step < 4; ++step) Click(window, IDC_TASKPROPERTIES_NEXT);
        EXPECT_EQ(5, dialog.CurrentIndex());
        HWND general = dialog.GeneralPage().hwnd();
        EXPECT_EQ(L"T5", Text(general, IDC_TASKGENERAL_NAME));
        EXPECT_EQ(5, ::SendDlgItemMessageW(general, IDC_TASKGENERAL_STATUS, CB_GETCOUNT, 0, 0));
        EXPECT_TRUE(Enabled(window, IDC_TASKPROPERTIES_PREVIOUS));
        EXPECT_FALSE(Enabled(window, IDC_TASKPROPERTIES_NEXT));
        // At the last row "+" does nothing.
        ::SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_TASKPROPERTIES_NEXT, BN_CLICKED), 0);
        EXPECT_EQ(5, dialog.CurrentIndex());
        Click(window, IDC_TASKPROPERTIES_PREVIOUS);
        EXPECT_EQ(4, dialog.CurrentIndex());
        EXPECT_TRUE(Enabled(window, IDC_TASKPROPERTIES_NEXT));
        Click(window, IDCANCEL);
    });
}

TEST_F(TaskPropertyDlgTest, SteppingFollowsTheListedRowsNotTheIndices) {
    SetTasks({MakeTask(1, kCategoryClaim, kStatusOpen, L"A"), MakeTask(2, kCategoryManual, kStatusOpen, L"B"),
              MakeTask(3, kCategoryUnClaim, kStatusOpen, L"C")});
    owner.UseRows({3, 1, 2}, tasks);  // sorted differently in the list
    CTaskPropertyDlg dialog(owner, &tasks, 3);
    Run(dialog, L"Task Properties - UnClaim Task", [&](HWND window) {
        EXPECT_FALSE(Enabled(window, IDC_TASKPROPERTIES_PREVIOUS));
        Click(window, IDC_TASKPROPERTIES_NEXT);
        EXPECT_EQ(1, dialog.CurrentIndex());
        EXPECT_EQ(L"Task Properties - Claim Task", Text(window));
        Click(window, IDC_TASKPROPERTIES_NEXT);
        EXPECT_EQ(2, dialog.CurrentIndex());
        EXPECT_EQ(L"Task Properties - Manual Task", Text(window));
        EXPECT_FALSE(Enabled(window, IDC_TASKPROPERTIES_NEXT));
        Click(window, IDCANCEL);
    });
}

TEST_F(TaskPropertyDlgTest, NextAfterAChangeAnsweredNoSavesNothing) {
    SetTasks({MakeTask(1, kCategoryManual, kStatusOpen, L"A"), MakeTask(2, kCategoryManual, kStatusOpen, L"B")});
    EXPECT_CALL(owner, SaveTaskProperties(_)).Times(0);
    CTaskPropertyDlg dialog(owner, &tasks, 1);
    std::wstring question;
    Run(dialog, L"Task Properties - Manual Task", [&](HWND window) {
        Type(dialog.GeneralPage().hwnd(), IDC_TASKGENERAL_NAME, L"A renamed");
        AnswerMessageBox(IDNO, &question);
        Click(window, IDC_TASKPROPERTIES_NEXT);
        EXPECT_EQ(2, dialog.CurrentIndex());
        EXPECT_EQ(L"B", Text(dialog.GeneralPage().hwnd(), IDC_TASKGENERAL_NAME));
        EXPECT_FALSE(dialog.ChangedFlag());
        EXPECT_FALSE(Enabled(window, IDC_TASKPROPERTIES_APPLY));
        Click(window, IDCANCEL);
    });
    EXPECT_EQ(L"You have made changes to this task.\nDo you wish to save these changes?", question);
    EXPECT_FALSE(dialog.ChangedFlag());
    EXPECT_EQ(L"A", tasks.Item(0).ToDo_Name);
}

TEST_F(TaskPropertyDlgTest, NextAfterAChangeAnsweredYesSavesThatTaskFirst) {
    SetTasks({MakeTask(1, kCategoryClaim, kStatusError, L"P-7"), MakeTask(2, kCategoryManual, kStatusOpen, L"B")});
    CTaskPropertyDlg dialog(owner, &tasks, 1);
    TaskPropertyValues expected;
    expected.index = 1;
    expected.name = L"P-7";
    expected.description = L"This task will Claim P-7";
    expected.status = kStatusError;
    expected.notes = L"retry tomorrow";
    int indexWhenSaved = 0;
    EXPECT_CALL(owner, SaveTaskProperties(expected)).WillOnce([&](const TaskPropertyValues&) {
        indexWhenSaved = dialog.CurrentIndex();
    });
    Run(dialog, L"Task Properties - Claim Task", [&](HWND window) {
        Type(dialog.GeneralPage().hwnd(), IDC_TASKGENERAL_NOTES, L"retry tomorrow");
        AnswerMessageBox(IDYES, nullptr);
        Click(window, IDC_TASKPROPERTIES_NEXT);
        EXPECT_EQ(2, dialog.CurrentIndex());
        EXPECT_FALSE(dialog.ChangedFlag());
        Click(window, IDCANCEL);
    });
    EXPECT_EQ(1, indexWhenSaved);
}

TEST_F(TaskPropertyDlgTest, ApplyThenCancelSavesOnceApplyThenOkLeavesTheSecondSaveToTheOwner) {
    SetTasks({MakeTask(1, kCategoryManual, kStatusOpen, L"A")});
    TaskPropertyValues expected{1, L"A", L"described A", kStatusOpen, L"first", L""};
    EXPECT_CALL(owner, SaveTaskProperties(expected)).Times(1);
    CTaskPropertyDlg cancelled(owner, &tasks, 1);
    INT_PTR result = Run(cancelled, L"Task Properties - Manual Task", [&](HWND window) {
        // Apply without a change saves nothing.
        Click(window, IDC_TASKPROPERTIES_APPLY);
        Type(cancelled.GeneralPage().hwnd(), IDC_TASKGENERAL_NOTES, L"first");
        Click(window, IDC_TASKPROPERTIES_APPLY);
        EXPECT_TRUE(cancelled.ChangedFlag());
        EXPECT_TRUE(Enabled(window, IDC_TASKPROPERTIES_APPLY));
        Click(window, IDCANCEL);
    });
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_TRUE(cancelled.ChangedFlag());
    testing::Mock::VerifyAndClearExpectations(&owner);

    expected.notes = L"second";
    EXPECT_CALL(owner, SaveTaskProperties(expected)).Times(1);
    CTaskPropertyDlg confirmed(owner, &tasks, 1);
    result = Run(confirmed, L"Task Properties - Manual Task", [&](HWND window) {
        Type(confirmed.GeneralPage().hwnd(), IDC_TASKGENERAL_NOTES, L"second");
        Click(window, IDC_TASKPROPERTIES_APPLY);
        Click(window, IDOK);
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_TRUE(confirmed.ChangedFlag());
    EXPECT_EQ(expected, confirmed.Values());
}

TEST_F(TaskPropertyDlgTest, DeferredTaskCanOnlyBeUndeferred) {
    SetTasks({MakeTask(4, kCategoryClaim, kStatusDeferred, L"D")});
    EXPECT_CALL(owner, DeferTaskItem(4)).WillOnce(testing::Return(true));
    EXPECT_CALL(owner, RunTaskItem(_)).Times(0);
    CTaskPropertyDlg dialog(owner, &tasks, 4);
    Run(dialog, L"Task Properties - Claim Task", [&](HWND window) {
        EXPECT_FALSE(Enabled(window, IDC_TASKPROPERTIES_ACTION));
        EXPECT_TRUE(Enabled(window, IDC_TASKPROPERTIES_DEFER));
        Click(window, IDC_TASKPROPERTIES_DEFER);
        EXPECT_EQ(kStatusOpen, tasks.Item(0).ToDo_Status);
        EXPECT_TRUE(Enabled(window, IDC_TASKPROPERTIES_ACTION));
        EXPECT_EQ(L"Open", Text(dialog.GeneralPage().hwnd(), IDC_TASKGENERAL_STATUS));
        EXPECT_FALSE(dialog.ChangedFlag());
        Click(window, IDCANCEL);
    });
    EXPECT_FALSE(dialog.ChangedFlag());
}

TEST_F(TaskPropertyDlgTest, ADeferTheFrameworkDidNotTakeLeavesTheStatus) {
    SetTasks({MakeTask(4, kCategoryClaim, kStatusOpen, L"O")});
    EXPECT_CALL(owner, DeferTaskItem(4)).WillOnce(testing::Return(false));
    CTaskPropertyDlg dialog(owner, &tasks, 4);
    Run(dialog, L"Task Properties - Claim Task", [&](HWND window) {
        Click(window, IDC_TASKPROPERTIES_DEFER);
        EXPECT_EQ(kStatusOpen, tasks.Item(0).ToDo_Status);
        EXPECT_EQ(L"Open", Text(dialog.GeneralPage().hwnd(), IDC_TASKGENERAL_STATUS));
        EXPECT_TRUE(Enabled(window, IDC_TASKPROPERTIES_ACTION));
        Click(window, IDCANCEL);
    });
}

TEST_F(TaskPropertyDlgTest, PrivilegesGateActionAndDefer) {
    SetTasks({MakeTask(1, kCategoryClaim, kStatusDeferred, L"D")}, /*run*/ false, /*defer*/ true);
    EXPECT_CALL(owner, DeferTaskItem(1)).Times(2).WillRepeatedly(testing::Return(true));
    CTaskPropertyDlg dialog(owner, &tasks, 1);
    Run(dialog, L"Task Properties - Claim Task", [&](HWND window) {
        Click(window, IDC_TASKPROPERTIES_DEFER);
        EXPECT_EQ(kStatusOpen, tasks.Item(0).ToDo_Status);
        EXPECT_FALSE(Enabled(window, IDC_TASKPROPERTIES_ACTION));  // no Run privilege
        Click(window, IDC_TASKPROPERTIES_DEFER);
        EXPECT_EQ(kStatusDeferred, tasks.Item(0).ToDo_Status);
        Click(window, IDCANCEL);
    });

    SetTasks({MakeTask(1, kCategoryClaim, kStatusOpen, L"O")}, /*run*/ true, /*defer*/ false);
    CTaskPropertyDlg noDefer(owner, &tasks, 1);
    Run(noDefer, L"Task Properties - Claim Task", [&](HWND window) {
        EXPECT_TRUE(Enabled(window, IDC_TASKPROPERTIES_ACTION));
        EXPECT_FALSE(Enabled(window, IDC_TASKPROPERTIES_DEFER));
        Click(window, IDCANCEL);
    });
}

TEST_F(TaskPropertyDlgTest, CompletedManualTaskKeepsItsStatus) {
    SetTasks({MakeTask(1, kCategoryManual, kStatusCompleted, L"Done")});
    CTaskPropertyDlg dialog(owner, &tasks, 1);
    Run(dialog, L"Task Properties - Manual Task", [&](HWND window) {
        HWND general = dialog.GeneralPage().hwnd();
        EXPECT_FALSE(Enabled(general, IDC_TASKGENERAL_STATUS));
        EXPECT_TRUE(Enabled(general, IDC_TASKGENERAL_NAME));
        EXPECT_TRUE(Enabled(general, IDC_TASKGENERAL_DESCRIPTION));
        EXPECT_FALSE(Enabled(window, IDC_TASKPROPERTIES_ACTION));
        EXPECT_FALSE(Enabled(window, IDC_TASKPROPERTIES_DEFER));
        Click(window, IDCANCEL);
    });
}

TEST_F(TaskPropertyDlgTest, ActionPatchesTheLocalStatusFromTheResult) {
    SetTasks({MakeTask(1, kCategoryClaim, kStatusOpen, L"A"), MakeTask(2, kCategoryClaim, kStatusError, L"B")});
    EXPECT_CALL(owner, RunTaskItem(1)).WillOnce(Return(0));
    EXPECT_CALL(owner, RunTaskItem(2)).WillOnce(Return(1));
    CTaskPropertyDlg dialog(owner, &tasks, 1);
    Run(dialog, L"Task Properties - Claim Task", [&](HWND window) {
        Type(dialog.GeneralPage().hwnd(), IDC_TASKGENERAL_NOTES, L"dropped by the reload");
        Click(window, IDC_TASKPROPERTIES_ACTION);
        EXPECT_EQ(kStatusCompleted, tasks.Item(0).ToDo_Status);
        EXPECT_FALSE(Enabled(window, IDC_TASKPROPERTIES_ACTION));
        EXPECT_FALSE(Enabled(window, IDC_TASKPROPERTIES_DEFER));
        EXPECT_FALSE(dialog.ChangedFlag());
        EXPECT_EQ(L"Completed", Text(dialog.GeneralPage().hwnd(), IDC_TASKGENERAL_STATUS));
        Click(window, IDC_TASKPROPERTIES_NEXT);
        Click(window, IDC_TASKPROPERTIES_ACTION);
        EXPECT_EQ(kStatusError, tasks.Item(1).ToDo_Status);
        EXPECT_TRUE(Enabled(window, IDC_TASKPROPERTIES_ACTION));
        Click(window, IDCANCEL);
    });
}

TEST_F(TaskPropertyDlgTest, ActionFailureEndsTheDialogAndReachesTheCaller) {
    SetTasks({MakeTask(1, kCategoryClaim, kStatusOpen, L"A")});
    EXPECT_CALL(owner, RunTaskItem(1)).WillOnce([](int) -> int {
        QRComException failure;
        failure.Throw(E_ACCESSDENIED, L"Claim in ZAR failed");
    });
    CTaskPropertyDlg dialog(owner, &tasks, 1);
    DialogDriver driver(20);
    WhenDialogShown(L"Task Properties - Claim Task", [](HWND window) { Click(window, IDC_TASKPROPERTIES_ACTION); });
    HRESULT caught = S_OK;
    try {
        dialog.DoModal(nullptr);
    } catch (QRComException& e) {
        caught = e.result;
    }
    EXPECT_EQ(E_ACCESSDENIED, caught);
    EXPECT_EQ(kStatusOpen, tasks.Item(0).ToDo_Status);
}

TEST_F(TaskPropertyDlgTest, UpdateTabComesWithUpdateTasksAndGoesWithOthers) {
    SetTasks({MakeTask(1, kCategoryUpdate, kStatusOpen, L"U"), MakeTask(2, kCategoryClaim, kStatusOpen, L"C"),
              MakeTask(3, kCategoryCreate, kStatusOpen, L"N")});
    EXPECT_CALL(owner, FetchTaskAssignments(1, _)).Times(1);
    EXPECT_CALL(owner, FetchTaskAssignments(3, _)).Times(1);
    EXPECT_CALL(owner, FetchTaskAssignments(2, _)).Times(0);
    CTaskPropertyDlg dialog(owner, &tasks, 1);
    Run(dialog, L"Task Properties - Update Task", [&](HWND window) {
        HWND tabs = ::GetDlgItem(window, IDC_TASKPROPERTIES_TABS);
        ASSERT_EQ(4, TabCount(tabs));
        EXPECT_EQ(L"General", TabTitle(tabs, 0));
        EXPECT_EQ(L"Details", TabTitle(tabs, 1));
        EXPECT_EQ(L"History", TabTitle(tabs, 2));
        EXPECT_EQ(L"Update", TabTitle(tabs, 3));
        EXPECT_EQ(0, ::SendMessageW(tabs, TCM_GETCURSEL, 0, 0));
        EXPECT_EQ(L"class of U", Text(dialog.CreatePage().hwnd(), IDC_TASKCREATE_CLASS));

        PickTab(window, 3);
        EXPECT_TRUE(::IsWindowVisible(dialog.CreatePage().hwnd()));
        EXPECT_FALSE(::IsWindowVisible(dialog.GeneralPage().hwnd()));

        Click(window, IDC_TASKPROPERTIES_NEXT);
        EXPECT_EQ(L"Task Properties - Claim Task", Text(window));
        EXPECT_EQ(3, TabCount(tabs));
        EXPECT_EQ(2, ::SendMessageW(tabs, TCM_GETCURSEL, 0, 0));
        EXPECT_TRUE(::IsWindowVisible(dialog.HistoryPage().hwnd()));
        EXPECT_FALSE(::IsWindowVisible(dialog.CreatePage().hwnd()));

        Click(window, IDC_TASKPROPERTIES_NEXT);
        EXPECT_EQ(L"Task Properties - Create Task", Text(window));
        ASSERT_EQ(4, TabCount(tabs));
        EXPECT_EQ(L"Create", TabTitle(tabs, 3));
        EXPECT_EQ(2, ::SendMessageW(tabs, TCM_GETCURSEL, 0, 0));
        Click(window, IDCANCEL);
    });
}

TEST_F(TaskPropertyDlgTest, PickingTabsShowsExactlyTheSelectedPage) {
    SetTasks({MakeTask(1, kCategoryClaim, kStatusOpen, L"A")});
    CTaskPropertyDlg dialog(owner, &tasks, 1);
    Run(dialog, L"Task Properties - Claim Task", [&](HWND window) {
        HWND pages[] = {dialog.GeneralPage().hwnd(), dialog.DetailsPage().hwnd(), dialog.HistoryPage().hwnd()};
        for (int pick : {1, 2, 0}) {
            PickTab(window, pick);
            for (int i = 0; i < 3; ++i) EXPECT_EQ(i == pick, ::IsWindowVisible(pages[i]) != FALSE) << pick << i;
        }
        // Pages sit in the tab control's display area, sized with it.
        RECT tabs = {};
        ::GetClientRect(::GetDlgItem(window, IDC_TASKPROPERTIES_TABS), &tabs);
        winkit::Window page(pages[0]);
        RECT placed = page.RectInParent();
        EXPECT_EQ(CTabCtrlEx::kPageX, placed.left);
        EXPECT_EQ(CTabCtrlEx::kPageY, placed.top);
        EXPECT_EQ(tabs.right - CTabCtrlEx::kWidthMargin, placed.right - placed.left);
        EXPECT_EQ(tabs.bottom - CTabCtrlEx::kHeightMargin, placed.bottom - placed.top);
        // Enter inside a page does not end anything.
        ::SendMessageW(pages[0], WM_COMMAND, IDOK, 0);
        ::SendMessageW(pages[0], WM_COMMAND, IDCANCEL, 0);
        EXPECT_TRUE(::IsWindowVisible(pages[0]));
        Click(window, IDCANCEL);
    });
}

TEST_F(TaskPropertyDlgTest, KeyWithoutARecordShowsNothingAndRunsNothing) {
    SetTasks({MakeTask(1, kCategoryClaim, kStatusOpen, L"A")});
    owner.UseRows({1, 9}, tasks);  // a stale row key
    EXPECT_CALL(owner, RunTaskItem(_)).Times(0);
    EXPECT_CALL(owner, DeferTaskItem(_)).Times(0);
    EXPECT_CALL(owner, FetchTaskAssignments(_, _)).Times(0);
    CTaskPropertyDlg dialog(owner, &tasks, 9);
    Run(dialog, L"Task Properties", [&](HWND window) {
        HWND general = dialog.GeneralPage().hwnd();
        EXPECT_EQ(L"", Text(general, IDC_TASKGENERAL_NAME));
        EXPECT_FALSE(Enabled(general, IDC_TASKGENERAL_NOTES));
        EXPECT_FALSE(Enabled(window, IDC_TASKPROPERTIES_ACTION));
        EXPECT_FALSE(Enabled(window, IDC_TASKPROPERTIES_DEFER));
        ::SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_TASKPROPERTIES_ACTION, BN_CLICKED), 0);
        ::SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_TASKPROPERTIES_DEFER, BN_CLICKED), 0);
        Click(window, IDC_TASKPROPERTIES_PREVIOUS);
        EXPECT_EQ(L"A", Text(general, IDC_TASKGENERAL_NAME));
        Click(window, IDCANCEL);
    });
}
