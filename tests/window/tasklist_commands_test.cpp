// The task commands end to end: the real To Do List over a copy of the sample workspace
// of the simulated host, driven with the button clicks a user makes, then the rows, the
// messages and the workspace file read back.
#include "support/sim_workspace.h"
#include "tasklist_window_fixture.h"

namespace {

class TaskListCommands : public testing::Test {
protected:
    SettingsStore store;  // the views all on, the default columns
    DialogDriver driver{60};
    SimWorkspace sim;

    void SetUp() override {
        ASSERT_TRUE(sim.ok()) << "QRSim.Workspace must be registered (register-components.sh)";
        driver.Answer(IDOK);
    }

    void Open(const std::function<void(CTaskListDlg&)>& body) {
        CTaskListDlg dialog(sim.Workspace());
        WhenDialogShown(L"To Do List", [&dialog, &body](HWND window) {
            body(dialog);
            ::PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
        });
        EXPECT_EQ(IDCANCEL, dialog.DoModal(nullptr));
    }

    static void SelectKeys(const CTaskListDlg& dialog, std::initializer_list<int> keys) {
        dialog.List().SetItemState(-1, 0, LVIS_SELECTED);
        for (int key : keys) dialog.List().SetItemState(dialog.FindRow(key), LVIS_SELECTED, LVIS_SELECTED);
    }
    int Status(long index) { return std::stoi(sim.TaskField(index, L"ToDo_Status")); }
};

} // namespace

TEST_F(TaskListCommands, RunningAnOpenTaskCompletesIt) {
    Open([&](CTaskListDlg& dialog) {
        SelectKeys(dialog, {1});
        Click(dialog, IDC_TASKLIST_ACTION);
        EXPECT_EQ(kImageCompleted, dialog.List().ItemImage(dialog.FindRow(1)));
        EXPECT_EQ(L"Completed", dialog.List().ItemText(dialog.FindRow(1), 12));
    });
    EXPECT_TRUE(driver.boxes().empty());
    EXPECT_EQ(kStatusCompleted, Status(1));
    EXPECT_EQ(L"PLANT\\jdoe", sim.TaskField(1, L"ToDo_RunBy"));
    EXPECT_FALSE(sim.TaskField(1, L"ToDo_RunDate").empty());
}

TEST_F(TaskListCommands, AFailingRunAndSkippedTasksAreCountedInTheMessage) {
    Open([&](CTaskListDlg& dialog) {
        // 12 fails on action; 2 is completed and 10 deferred: both skipped, both counted.
        SelectKeys(dialog, {2, 10, 12});
        Click(dialog, IDC_TASKLIST_ACTION);
        EXPECT_EQ(kImageError, dialog.List().ItemImage(dialog.FindRow(12)));
    });
    ASSERT_EQ(1u, driver.boxes().size());
    EXPECT_EQ(L"To Do List", driver.boxes()[0].title);
    EXPECT_EQ(L"3 task(s) have not completed - Check the To Do list.", driver.boxes()[0].text);
    EXPECT_EQ(static_cast<UINT>(MB_OK), driver.boxes()[0].style);
    EXPECT_EQ(kStatusError, Status(12));
    EXPECT_EQ(kStatusCompleted, Status(2));
    EXPECT_EQ(kStatusDeferred, Status(10));
}

TEST_F(TaskListCommands, ClaimsTheAdapterRejectsPutTheTaskInErrorWithTheReasonAsNotes) {
    Open([&](CTaskListDlg& dialog) {
        SelectKeys(dialog, {6, 7});  // 6 claims free objects, 7 the locked V-205
        Click(dialog, IDC_TASKLIST_ACTION);
        EXPECT_EQ(kImageCompleted, dialog.List().ItemImage(dialog.FindRow(6)));
        EXPECT_EQ(kImageError, dialog.List().ItemImage(dialog.FindRow(7)));
    });
    ASSERT_EQ(1u, driver.boxes().size());
    EXPECT_EQ(L"1 task(s) have not completed - Check the To Do list.", driver.boxes()[0].text);
    EXPECT_EQ(kStatusCompleted, Status(6));
    EXPECT_EQ(kStatusError, Status(7));
    EXPECT_NE(std::wstring::npos, sim.TaskField(7, L"ToDo_Notes").find(L"V-205")) << sim.TaskField(7, L"ToDo_Notes");
}

TEST_F(TaskListCommands, DeferAndDeferAgain) {
    Open([&](CTaskListDlg& dialog) {
        SelectKeys(dialog, {3});
        Click(dialog, IDC_TASKLIST_DEFER);
        EXPECT_EQ(L"Deferred", dialog.List().ItemText(dialog.FindRow(3), 12));
        SelectKeys(dialog, {3});
        Click(dialog, IDC_TASKLIST_DEFER);
        EXPECT_EQ(L"Open", dialog.List().ItemText(dialog.FindRow(3), 12));
    });
    EXPECT_EQ(kStatusOpen, Status(3));
}

TEST_F(TaskListCommands, MarkingDeletedSetsTheFlagAndTheDeletedPicture) {
    Open([&](CTaskListDlg& dialog) {
        SelectKeys(dialog, {5, 9});
        Click(dialog, IDC_TASKLIST_DELETE);
        EXPECT_EQ(kImageDeleted, dialog.List().ItemImage(dialog.FindRow(5)));
        EXPECT_EQ(L"Deleted", dialog.List().ItemText(dialog.FindRow(9), 13));
        // A deleted task can no longer be run, deferred or deleted; only removed for good.
        SelectKeys(dialog, {5});
        EXPECT_FALSE(::IsWindowEnabled(dialog.Item(IDC_TASKLIST_ACTION)));
        EXPECT_FALSE(::IsWindowEnabled(dialog.Item(IDC_TASKLIST_DELETE)));
        EXPECT_TRUE(::IsWindowEnabled(dialog.Item(IDC_TASKLIST_DELETEFROMSERVER)));
    });
    EXPECT_EQ(L"1", sim.TaskField(5, L"ToDo_DeletedFlag"));
    EXPECT_EQ(L"1", sim.TaskField(9, L"ToDo_DeletedFlag"));
    EXPECT_EQ(L"PLANT\\jdoe", sim.TaskField(9, L"ToDo_DeletedBy"));
}

TEST_F(TaskListCommands, PermanentDeleteRemovesRunsAndTheFrameworkRenumbers) {
    std::wstring name11 = sim.TaskField(11, L"ToDo_Name"), name6 = sim.TaskField(6, L"ToDo_Name");
    driver.Answer(IDYES);
    Open([&](CTaskListDlg& dialog) {
        SelectKeys(dialog, {3, 4, 5, 9, 10});
        Click(dialog, IDC_TASKLIST_DELETEFROMSERVER);
        EXPECT_EQ(25, dialog.RowCount());
        for (int row = 0; row < dialog.RowCount(); ++row) EXPECT_EQ(row + 1, dialog.RowKey(row));
    });
    ASSERT_EQ(1u, driver.boxes().size());
    EXPECT_EQ(L"This action will permanently delete the selected tasks from the workspace\nDo you want to continue?",
              driver.boxes()[0].text);
    EXPECT_EQ(static_cast<UINT>(MB_YESNO | MB_ICONWARNING), driver.boxes()[0].style);
    EXPECT_EQ(25, sim.TaskCount());
    EXPECT_EQ(name6, sim.TaskField(3, L"ToDo_Name"));   // 6 moved up by three
    EXPECT_EQ(name11, sim.TaskField(6, L"ToDo_Name"));  // 11 moved up by five
}

TEST_F(TaskListCommands, AnsweringNoToThePermanentDeleteChangesNothing) {
    std::wstring before = sim.FileText();
    driver.Answer(IDNO);
    Open([&](CTaskListDlg& dialog) {
        SelectKeys(dialog, {3});
        Click(dialog, IDC_TASKLIST_DELETEFROMSERVER);
        EXPECT_EQ(30, dialog.RowCount());
    });
    EXPECT_EQ(1u, driver.boxes().size());
    EXPECT_EQ(before, sim.FileText());
}
