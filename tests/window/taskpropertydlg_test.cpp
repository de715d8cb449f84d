// The task property dialog driven as a user would.
#include "taskpropertydlg_fixture.h"

using Calls = std::vector<std::wstring>;

TEST_F(TaskPropertyDlgTest, ClaimTaskShowsItsFieldsAndOnlyNotesCanChangeIt) {
    SetTasks({MakeTask(1, kCategoryClaim, kStatusInProgress, L"P-101")});
    Run(1, L"Task Properties - Claim Task", [&](HWND window) {
        HWND general = General(window);
        const std::initializer_list<int> fields = {IDC_TASKGENERAL_NAME, IDC_TASKGENERAL_DESCRIPTION,
                                                   IDC_TASKGENERAL_NOTES, IDC_TASKGENERAL_STATUS};
        EXPECT_EQ(L"P-101|This task will Claim P-101|notes of P-101|InProgress", Texts(general, fields));
        EXPECT_EQ("0010", EnabledStates(general, fields));
        EXPECT_EQ(L"type of P-101|document of P-101|P-101",
                  Texts(Details(window),
                        {IDC_TASKDETAILS_TOOL, IDC_TASKDETAILS_DOCUMENT, IDC_TASKDETAILS_DESTINATIONTAG}));
        EXPECT_EQ(L"creator|runner", Texts(PageWith(window, IDC_TASKHISTORY_CREATEDBY),
                                           {IDC_TASKHISTORY_CREATEDBY, IDC_TASKHISTORY_RUNBY}));
        Type(general, IDC_TASKGENERAL_NOTES, L"checked on site");
        EXPECT_TRUE(Enabled(window, IDC_TASKPROPERTIES_APPLY));
        Click(window, IDCANCEL);
    });
    // Cancel asks nothing and saves nothing, but the owner learns of the change.
    EXPECT_TRUE(dialog->ChangedFlag());
    EXPECT_EQ(Calls{}, owner.calls);
}

TEST_F(TaskPropertyDlgTest, ManualTaskStatusesAreChangesOneOutsideTheListIsKeptANewTaskIsNotSaved) {
    SetTasks({MakeTask(1, kCategoryManual, kStatusOpen, L"M"), MakeTask(2, kCategoryManual, 7, L"N"),
              MakeTask(3, kCategoryManual, kStatusCompleted, L"Done")});
    Run(1, L"Task Properties - Manual Task", [&](HWND window) {
        HWND general = General(window), status = ::GetDlgItem(general, IDC_TASKGENERAL_STATUS);
        ::SendMessageW(status, CB_SETCURSEL, kStatusError, 0);
        ::SendMessageW(general, WM_COMMAND, MAKEWPARAM(IDC_TASKGENERAL_STATUS, CBN_SELCHANGE),
                       reinterpret_cast<LPARAM>(status));
        Click(window, IDOK);
    });
    EXPECT_EQ(L"1|M|described M|3|notes of M|", RecordingOwner::Describe(dialog->Values()));
    EXPECT_TRUE(dialog->ChangedFlag());
    // A status outside the five codes selects no entry: OK sends the task's own status.
    Run(2, L"Task Properties - Manual Task", [&](HWND window) {
        EXPECT_EQ(CB_ERR, ::SendDlgItemMessageW(General(window), IDC_TASKGENERAL_STATUS, CB_GETCURSEL, 0, 0));
        Type(General(window), IDC_TASKGENERAL_NOTES, L"edited");
        Click(window, IDOK);
    });
    EXPECT_EQ(L"2|N|described N|7|edited|", RecordingOwner::Describe(dialog->Values()));
    // A completed manual task keeps its status; it can be neither run nor deferred.
    Run(3, L"Task Properties - Manual Task", [&](HWND window) {
        EXPECT_EQ("01", EnabledStates(General(window), {IDC_TASKGENERAL_STATUS, IDC_TASKGENERAL_NAME}));
        EXPECT_EQ("00", EnabledStates(window, {IDC_TASKPROPERTIES_ACTION, IDC_TASKPROPERTIES_DEFER}));
        Click(window, IDCANCEL);
    });
    // A new task: nothing to run, defer, step to or apply; OK collects it without saving.
    INT_PTR result = Run(0, L"Task Properties - Manual Task", [&](HWND window) {
        EXPECT_EQ("00000", EnabledStates(window, {IDC_TASKPROPERTIES_ACTION, IDC_TASKPROPERTIES_DEFER,
                                                  IDC_TASKPROPERTIES_PREVIOUS, IDC_TASKPROPERTIES_NEXT,
                                                  IDC_TASKPROPERTIES_APPLY}));
        HWND general = General(window);
        EXPECT_EQ(L"Open", Text(general, IDC_TASKGENERAL_STATUS));
        Type(general, IDC_TASKGENERAL_NAME, L"Check the pump");
        Type(general, IDC_TASKGENERAL_DESCRIPTION, L"before start-up");
        Type(general, IDC_TASKGENERAL_NOTES, L"line 1\r\nline 2");
        EXPECT_FALSE(Enabled(window, IDC_TASKPROPERTIES_APPLY));
        // Apply cannot save a task that does not exist yet, even when clicked.
        ::SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_TASKPROPERTIES_APPLY, BN_CLICKED), 0);
        Click(window, IDOK);
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(L"0|Check the pump|before start-up|0|line 1\r\nline 2|", RecordingOwner::Describe(dialog->Values()));
    EXPECT_EQ(Calls{}, owner.calls);
}

// Stepping follows the rows as listed, not the indices; at either end it stays. Each
// step loads the pages afresh; the step buttons follow the row from the opening on.
TEST_F(TaskPropertyDlgTest, SteppingFollowsTheListedRowsNotTheIndices) {
    SetTasks({MakeTask(1, kCategoryClaim, kStatusOpen, L"A"), MakeTask(2, kCategoryManual, kStatusOpen, L"B"),
              MakeTask(3, kCategoryUnClaim, kStatusOpen, L"C")});
    owner.rows = {3, 1, 2};
    const struct {
        int button;
        const wchar_t *title, *name;
        const char* previousNext;
    } steps[] = {
        {IDC_TASKPROPERTIES_NEXT, L"Task Properties - Claim Task", L"A", "11"},
        {IDC_TASKPROPERTIES_NEXT, L"Task Properties - Manual Task", L"B", "10"},
        {IDC_TASKPROPERTIES_NEXT, L"Task Properties - Manual Task", L"B", "10"},
        {IDC_TASKPROPERTIES_PREVIOUS, L"Task Properties - Claim Task", L"A", "11"},
        {IDC_TASKPROPERTIES_PREVIOUS, L"Task Properties - UnClaim Task", L"C", "01"},
    };
    Run(3, L"Task Properties - UnClaim Task", [&](HWND window) {
        EXPECT_EQ("001", EnabledStates(window, {IDC_TASKPROPERTIES_PREVIOUS, IDC_TASKPROPERTIES_APPLY,
                                                IDC_TASKPROPERTIES_NEXT}));
        for (const auto& step : steps) {
            ::SendMessageW(window, WM_COMMAND, MAKEWPARAM(step.button, BN_CLICKED), 0);
            EXPECT_EQ(step.title, WindowText(window));
            EXPECT_EQ(step.name, Text(General(window), IDC_TASKGENERAL_NAME));
            EXPECT_EQ(step.previousNext, EnabledStates(window, {IDC_TASKPROPERTIES_PREVIOUS, IDC_TASKPROPERTIES_NEXT}));
            EXPECT_EQ(5, ::SendDlgItemMessageW(General(window), IDC_TASKGENERAL_STATUS, CB_GETCOUNT, 0, 0));
        }
        Click(window, IDCANCEL);
    });
}

TEST_F(TaskPropertyDlgTest, NextAfterAChangeAsksAndNoDropsItYesSavesThatTaskFirst) {
    SetTasks({MakeTask(1, kCategoryClaim, kStatusError, L"P-7"), MakeTask(2, kCategoryManual, kStatusOpen, L"B")});
    HWND shown = nullptr;
    owner.onSave = [&] { owner.calls.push_back(L"shown " + Text(General(shown), IDC_TASKGENERAL_NAME)); };
    Run(1, L"Task Properties - Claim Task", [&](HWND window) {
        shown = window;
        Click(window, IDC_TASKPROPERTIES_APPLY);  // without a change: nothing
        Type(General(window), IDC_TASKGENERAL_NOTES, L"dropped");
        Click(window, IDC_TASKPROPERTIES_NEXT);  // No
        EXPECT_EQ(L"B", Text(General(window), IDC_TASKGENERAL_NAME));
        EXPECT_FALSE(Enabled(window, IDC_TASKPROPERTIES_APPLY));
        Click(window, IDC_TASKPROPERTIES_PREVIOUS);  // unchanged: no question
        EXPECT_EQ(L"notes of P-7", Text(General(window), IDC_TASKGENERAL_NOTES));
        Type(General(window), IDC_TASKGENERAL_NOTES, L"retry tomorrow");
        Click(window, IDC_TASKPROPERTIES_NEXT);  // Yes
        EXPECT_FALSE(dialog->ChangedFlag());
        Click(window, IDCANCEL);
    }, {IDNO, IDYES});
    EXPECT_EQ((Calls{L"Save 1|P-7|This task will Claim P-7|3|retry tomorrow|", L"shown P-7"}), owner.calls);
    EXPECT_EQ(L"P-7", tasks.Item(0).ToDo_Name);
}

// Run and Defer patch the local status from the owner's answer; Defer flips it only when
// the framework took the request.
TEST_F(TaskPropertyDlgTest, ActionAndDeferPatchTheLocalStatusFromTheAnswers) {
    SetTasks({MakeTask(4, kCategoryClaim, kStatusDeferred, L"D"), MakeTask(5, kCategoryClaim, kStatusOpen, L"O")},
             /*run*/ false);
    owner.defer = [](int index) { return index == 4; };
    Run(4, L"Task Properties - Claim Task", [&](HWND window) {
        EXPECT_FALSE(Enabled(window, IDC_TASKPROPERTIES_ACTION));
        Click(window, IDC_TASKPROPERTIES_DEFER);
        EXPECT_EQ(kStatusOpen, tasks.Item(0).ToDo_Status);
        EXPECT_EQ(L"Open", Text(General(window), IDC_TASKGENERAL_STATUS));
        Click(window, IDC_TASKPROPERTIES_DEFER);
        EXPECT_EQ(kStatusDeferred, tasks.Item(0).ToDo_Status);
        Click(window, IDC_TASKPROPERTIES_NEXT);
        Click(window, IDC_TASKPROPERTIES_DEFER);  // not taken
        EXPECT_EQ(kStatusOpen, tasks.Item(1).ToDo_Status);
        Click(window, IDCANCEL);
    });
    EXPECT_FALSE(dialog->ChangedFlag());
    EXPECT_EQ((Calls{L"Defer 4", L"Defer 4", L"Defer 5"}), owner.calls);

    // Run: 0 completes, anything else (an error, a failed request) is an error; a
    // deferred task cannot be run.
    SetTasks({MakeTask(1, kCategoryClaim, kStatusOpen, L"A"), MakeTask(2, kCategoryClaim, kStatusDeferred, L"B"),
              MakeTask(3, kCategoryClaim, kStatusOpen, L"C")},
             /*run*/ true, /*defer*/ false);
    owner.calls.clear();
    owner.run = [](int index) { return index == 1 ? RunOutcome::Completed() : RunOutcome::Failed(E_FAIL); };
    Run(1, L"Task Properties - Claim Task", [&](HWND window) {
        EXPECT_FALSE(Enabled(window, IDC_TASKPROPERTIES_DEFER));
        Type(General(window), IDC_TASKGENERAL_NOTES, L"dropped by the reload");
        Click(window, IDC_TASKPROPERTIES_ACTION);
        EXPECT_EQ(kStatusCompleted, tasks.Item(0).ToDo_Status);
        EXPECT_FALSE(Enabled(window, IDC_TASKPROPERTIES_ACTION));
        EXPECT_FALSE(dialog->ChangedFlag());
        EXPECT_EQ(L"Completed", Text(General(window), IDC_TASKGENERAL_STATUS));
        Click(window, IDC_TASKPROPERTIES_NEXT);
        EXPECT_FALSE(Enabled(window, IDC_TASKPROPERTIES_ACTION));
        Click(window, IDC_TASKPROPERTIES_NEXT);
        Click(window, IDC_TASKPROPERTIES_ACTION);
        EXPECT_EQ(kStatusError, tasks.Item(2).ToDo_Status);
        EXPECT_TRUE(Enabled(window, IDC_TASKPROPERTIES_ACTION));
        Click(window, IDCANCEL);
    });
    EXPECT_EQ((Calls{L"Run 1", L"Run 3"}), owner.calls);
}

TEST_F(TaskPropertyDlgTest, TheFourthTabComesWithUpdateAndCreateTasksAndGoesWithOthers) {
    SetTasks({MakeTask(1, kCategoryUpdate, kStatusOpen, L"U"), MakeTask(2, kCategoryClaim, kStatusOpen, L"C"),
              MakeTask(3, kCategoryCreate, kStatusOpen, L"N")});
    Run(1, L"Task Properties - Update Task", [&](HWND window) {
        HWND tabs = ::GetDlgItem(window, IDC_TASKPROPERTIES_TABS);
        EXPECT_EQ(L"General|Details|History|Update", TabTitles(window, IDC_TASKPROPERTIES_TABS));
        EXPECT_EQ(0, ::SendMessageW(tabs, TCM_GETCURSEL, 0, 0));
        HWND create = PageWith(window, IDC_TASKCREATE_CLASS);
        EXPECT_EQ(L"class of U", Text(create, IDC_TASKCREATE_CLASS));
        HWND pages[] = {General(window), Details(window), PageWith(window, IDC_TASKHISTORY_CREATEDBY), create};
        for (int tab : {3, 1, 2, 0}) {
            PickTab(window, tab);
            for (int i = 0; i < 4; ++i) EXPECT_EQ(i == tab, ::IsWindowVisible(pages[i]) != FALSE) << tab << i;
        }
        PickTab(window, 3);
        Click(window, IDC_TASKPROPERTIES_NEXT);
        EXPECT_EQ(L"Task Properties - Claim Task", WindowText(window));
        EXPECT_EQ(L"General|Details|History", TabTitles(window, IDC_TASKPROPERTIES_TABS));
        EXPECT_EQ(2, ::SendMessageW(tabs, TCM_GETCURSEL, 0, 0));
        EXPECT_TRUE(::IsWindowVisible(pages[2]));
        EXPECT_FALSE(::IsWindowVisible(create));
        Click(window, IDC_TASKPROPERTIES_NEXT);
        EXPECT_EQ(L"General|Details|History|Create", TabTitles(window, IDC_TASKPROPERTIES_TABS));
        EXPECT_EQ(2, ::SendMessageW(tabs, TCM_GETCURSEL, 0, 0));
        Click(window, IDCANCEL);
    });
    EXPECT_EQ((Calls{L"Fetch 1", L"Fetch 3"}), owner.calls);
}
