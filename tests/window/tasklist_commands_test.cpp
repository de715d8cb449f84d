// The task commands end to end over a copy of the sample workspace of the simulated host.
#include "support/progid_override.h"
#include "support/sim_workspace.h"
#include "tasklist_window_fixture.h"

namespace {

class TaskListCommands : public TaskListWindow {
protected:
    SimWorkspace sim;

    void SetUp() override {
        ASSERT_TRUE(sim.ok()) << "QRSim.Workspace must be registered (register-components.sh)";
        driver.Answer(IDOK);
    }
    void OpenSample(const std::function<void(CTaskListDlg&)>& body) { EXPECT_EQ(IDCANCEL, Open(body, sim.Workspace())); }
};

} // namespace

// A task whose run failed counts even when the framework lists it as completed afterwards,
// so that a failure never passes for success.
TEST_F(TaskListWindow, TheRunsCountFollowsTheAnswersNotTheStatusListedAfterwards) {
    auto list = [](int status) {
        return L"<TaskItemList>\n<Privilege Delete=\"1\" Run=\"1\" Defer=\"1\"/>\n<TaskItem ToDo_Index=\"1\" "
               L"ToDo_Name=\"pump\" ToDo_Category=\"3\" ToDo_Status=\"" + std::to_wstring(status) + L"\"/>\n</TaskItemList>\n";
    };
    const std::pair<const wchar_t*, size_t> cases[] = {{L"Error", 1}, {L"", 0}};
    driver.Answer(IDOK);
    for (const auto& [answer, boxes] : cases) {
        RequestScript script;
        script.outputs[L"GetTaskList"] = list(kStatusOpen);
        if (*answer) script.outputs[L"ActionTask"] = answer;
        workspace->UseScript(script);
        size_t before = driver.boxes().size();
        Open([&](CTaskListDlg& dialog) {
            Select(dialog, {1});
            script.outputs[L"GetTaskList"] = list(kStatusCompleted);
            Click(dialog.hwnd(), IDC_TASKLIST_ACTION);
        }, workspace.get());
        ASSERT_EQ(before + boxes, driver.boxes().size()) << testing::PrintToString(answer);
        EXPECT_EQ(boxes ? L"1 task(s) have not completed - Check the To Do list." : L"",
                  boxes ? driver.boxes().back().text : L"");
    }
}

TEST_F(TaskListCommands, DeferTwiceReopensMarkingDeletedSetsTheFlagAndThePicture) {
    OpenSample([&](CTaskListDlg& dialog) {
        for (const wchar_t* status : {L"Deferred", L"Open"}) {
            Select(dialog, {3});
            Click(dialog.hwnd(), IDC_TASKLIST_DEFER);
            EXPECT_EQ(status, Access::List(dialog).ItemText(Access::FindRow(dialog, 3), 12));
        }
        Select(dialog, {5, 9});
        Click(dialog.hwnd(), IDC_TASKLIST_DELETE);
        EXPECT_EQ(kImageDeleted, Access::List(dialog).ItemImage(Access::FindRow(dialog, 5)));
        EXPECT_EQ(L"Deleted", Access::List(dialog).ItemText(Access::FindRow(dialog, 9), 13));
    });
    EXPECT_EQ(L"0|1", sim.TaskField(3, L"ToDo_Status") + L"|" + sim.TaskField(9, L"ToDo_DeletedFlag"));
}

TEST_F(TaskListCommands, PermanentDeleteAsksFirstAndYesRemovesTheTasks) {
    std::wstring name11 = sim.TaskField(11, L"ToDo_Name"), name6 = sim.TaskField(6, L"ToDo_Name");
    driver.Answer(IDYES);
    OpenSample([&](CTaskListDlg& dialog) {
        Select(dialog, {3, 4, 5, 9, 10});
        Click(dialog.hwnd(), IDC_TASKLIST_DELETEFROMSERVER);
        EXPECT_EQ(25, Access::RowCount(dialog));
        EXPECT_EQ(25, Access::RowKey(dialog, 24));  // renumbered
    });
    ASSERT_EQ(1u, driver.boxes().size());
    EXPECT_EQ(L"This action will permanently delete the selected tasks from the workspace\nDo you want to continue?",
              driver.boxes()[0].text);
    EXPECT_EQ(static_cast<UINT>(MB_YESNO | MB_ICONWARNING), driver.boxes()[0].style);
    EXPECT_EQ(25, sim.TaskCount());
    EXPECT_EQ(name6, sim.TaskField(3, L"ToDo_Name"));   // 6 moved up by three
    EXPECT_EQ(name11, sim.TaskField(6, L"ToDo_Name"));  // 11 moved up by five
}

TEST_F(TaskListWindow, TheReportTellsWhenTheSpreadsheetIsNotRegistered) {
    ProgIdOverride spreadsheet(L"Excel.Application");
    spreadsheet.Remove();
    driver.Answer(IDOK);
    Open([](CTaskListDlg& dialog) { Click(dialog.hwnd(), IDC_TASKLIST_REPORT); });
    ASSERT_EQ(1u, driver.boxes().size());  // its text and style: TaskListReport's cases
    EXPECT_EQ(0u, driver.boxes()[0].text.find(L"The report could not be made: "));
}
