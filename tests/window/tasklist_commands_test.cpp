// The task commands end to end: the real To Do List over a copy of the sample workspace
// of the simulated host, driven with the clicks a user makes (in the property dialog
// too), then the rows, the messages and the workspace file read back.
#include "support/progid_override.h"
#include "support/sim_workspace.h"
#include "tasklist_window_fixture.h"
#include "taskpropertydlg_fixture.h"

namespace {

class TaskListCommands : public TaskListWindow {
protected:
    SimWorkspace sim;

    void SetUp() override {
        ASSERT_TRUE(sim.ok()) << "QRSim.Workspace must be registered (register-components.sh)";
        driver.Answer(IDOK);
    }
    void OpenSample(const std::function<void(CTaskListDlg&)>& body) { EXPECT_EQ(IDCANCEL, Open(body, sim.Workspace())); }
    int Status(long index) { return std::stoi(sim.TaskField(index, L"ToDo_Status")); }
    std::wstring Cell(const CTaskListDlg& dialog, int key, int column) {
        return Access::List(dialog).ItemText(Access::FindRow(dialog, key), column);
    }
    int Image(const CTaskListDlg& dialog, int key) { return Access::List(dialog).ItemImage(Access::FindRow(dialog, key)); }

    // Opens the list, selects the row of `key` (0: none), presses the button, and runs
    // `inside` once the property dialog with that caption is shown; `inside` ends it.
    void EditThroughTheList(int key, int button, const std::wstring& caption, const std::function<void(HWND)>& inside,
                            const std::function<void(CTaskListDlg&)>& after = {}) {
        bool shown = false;
        OpenSample([&](CTaskListDlg& list) {
            if (key) SelectKeys(list, {key});
            WhenDialogShown(caption, [&](HWND properties) {
                shown = true;
                inside(properties);
            });
            Click(list.hwnd(), button);
            if (after) after(list);
        });
        EXPECT_TRUE(shown) << "no dialog titled " << testing::PrintToString(caption);
    }
};

// A click in the property dialog's Item Properties list, x pixels into the row.
void ListNotify(HWND list, UINT code, int row, int x) {
    RECT r = {LVIR_BOUNDS};
    ::SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r));
    NMITEMACTIVATE note = {};
    note.hdr.hwndFrom = list;
    note.hdr.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(list));
    note.hdr.code = code;
    note.iItem = row;
    note.ptAction = POINT{r.left + x, (r.top + r.bottom) / 2};
    ::SendMessageW(::GetParent(list), WM_NOTIFY, note.hdr.idFrom, reinterpret_cast<LPARAM>(&note));
}

const wchar_t kNotCompleted[] = L" task(s) have not completed - Check the To Do list.";

} // namespace

// Run completes an open task and stamps it; failed runs, skipped tasks (completed,
// deferred) and rejected claims are counted in one message without an icon.
TEST_F(TaskListCommands, RunCompletesTasksAndCountsFailuresSkipsAndRejectedClaimsInOneMessage) {
    OpenSample([&](CTaskListDlg& dialog) {
        SelectKeys(dialog, {1});
        Click(dialog.hwnd(), IDC_TASKLIST_ACTION);
        EXPECT_EQ(kImageCompleted, Image(dialog, 1));
        EXPECT_EQ(L"Completed", Cell(dialog, 1, 12));
        EXPECT_TRUE(driver.boxes().empty());
        // 12 fails on action; 2 is completed and 10 deferred; 6 claims free objects, 7 the locked V-205.
        SelectKeys(dialog, {2, 6, 7, 10, 12});
        Click(dialog.hwnd(), IDC_TASKLIST_ACTION);
        EXPECT_EQ((std::vector<int>{kImageError, kImageCompleted, kImageError}),
                  (std::vector<int>{Image(dialog, 12), Image(dialog, 6), Image(dialog, 7)}));
    });
    EXPECT_EQ(L"PLANT\\jdoe", sim.TaskField(1, L"ToDo_RunBy"));
    EXPECT_FALSE(sim.TaskField(1, L"ToDo_RunDate").empty());
    ASSERT_EQ(1u, driver.boxes().size());
    EXPECT_EQ(L"To Do List", driver.boxes()[0].title);
    EXPECT_EQ(L"4" + std::wstring(kNotCompleted), driver.boxes()[0].text);
    EXPECT_EQ(static_cast<UINT>(MB_OK), driver.boxes()[0].style);  // no icon
    EXPECT_EQ((std::vector<int>{kStatusCompleted, kStatusCompleted, kStatusCompleted, kStatusError, kStatusDeferred,
                                kStatusError}),
              (std::vector<int>{Status(1), Status(2), Status(6), Status(7), Status(10), Status(12)}));
    EXPECT_NE(std::wstring::npos, sim.TaskField(7, L"ToDo_Notes").find(L"V-205")) << sim.TaskField(7, L"ToDo_Notes");
}

// A task whose run failed counts even when the framework lists it as completed afterwards,
// so that a failure never passes for success.
TEST_F(TaskListWindow, TheRunsCountFollowsTheAnswersNotTheStatusListedAfterwards) {
    auto list = [](int status) {
        return L"<TaskItemList>\n<Privilege Delete=\"1\" Run=\"1\" Defer=\"1\"/>\n<TaskItem ToDo_Index=\"1\" "
               L"ToDo_Name=\"pump\" ToDo_Category=\"3\" ToDo_Status=\"" + std::to_wstring(status) + L"\"/>\n</TaskItemList>\n";
    };
    const struct {
        const wchar_t* answer;
        HRESULT outputResult;
        size_t boxes;
    } cases[] = {{L"Error", S_OK, 1}, {L"", static_cast<HRESULT>(0x800706BE), 1}, {L"", S_OK, 0}};
    driver.Answer(IDOK);
    for (const auto& c : cases) {
        RequestScript script;
        script.outputs[L"GetTaskList"] = list(kStatusOpen);
        if (*c.answer) script.outputs[L"ActionTask"] = c.answer;
        script.getOutputResult = c.outputResult;
        workspace->UseScript(script);
        size_t before = driver.boxes().size();
        Open([&](CTaskListDlg& dialog) {
            Select(dialog, {0});
            script.outputs[L"GetTaskList"] = list(kStatusCompleted);
            Click(dialog.hwnd(), IDC_TASKLIST_ACTION);
        }, workspace.get());
        ASSERT_EQ(before + c.boxes, driver.boxes().size()) << testing::PrintToString(c.answer);
        EXPECT_EQ(c.boxes ? L"1" + std::wstring(kNotCompleted) : L"", c.boxes ? driver.boxes().back().text : L"");
    }
}

TEST_F(TaskListCommands, DeferTwiceReopensMarkingDeletedSetsTheFlagAndThePicture) {
    OpenSample([&](CTaskListDlg& dialog) {
        for (const wchar_t* status : {L"Deferred", L"Open"}) {
            SelectKeys(dialog, {3});
            Click(dialog.hwnd(), IDC_TASKLIST_DEFER);
            EXPECT_EQ(status, Cell(dialog, 3, 12));
        }
        SelectKeys(dialog, {5, 9});
        Click(dialog.hwnd(), IDC_TASKLIST_DELETE);
        EXPECT_EQ(kImageDeleted, Image(dialog, 5));
        EXPECT_EQ(L"Deleted", Cell(dialog, 9, 13));
        SelectKeys(dialog, {5});
        EXPECT_EQ("10001", States(dialog));
    });
    EXPECT_EQ(kStatusOpen, Status(3));
    EXPECT_EQ(L"1|1|PLANT\\jdoe", sim.TaskField(5, L"ToDo_DeletedFlag") + L"|" + sim.TaskField(9, L"ToDo_DeletedFlag") +
                                      L"|" + sim.TaskField(9, L"ToDo_DeletedBy"));
}

TEST_F(TaskListCommands, PermanentDeleteAsksFirstAndYesRemovesTheTasks) {
    std::wstring before = sim.FileText(), name11 = sim.TaskField(11, L"ToDo_Name"), name6 = sim.TaskField(6, L"ToDo_Name");
    const std::wstring question =
        L"This action will permanently delete the selected tasks from the workspace\nDo you want to continue?";
    driver.Answer(IDNO);
    OpenSample([&](CTaskListDlg& dialog) {
        SelectKeys(dialog, {3});
        Click(dialog.hwnd(), IDC_TASKLIST_DELETEFROMSERVER);
        EXPECT_EQ(30, Access::RowCount(dialog));
    });
    EXPECT_EQ(before, sim.FileText());
    driver.Answer(IDYES);
    OpenSample([&](CTaskListDlg& dialog) {
        SelectKeys(dialog, {3, 4, 5, 9, 10});
        Click(dialog.hwnd(), IDC_TASKLIST_DELETEFROMSERVER);
        std::vector<int> renumbered(25);
        for (int i = 0; i < 25; ++i) renumbered[i] = i + 1;
        EXPECT_EQ(renumbered, RowKeys(dialog));
    });
    ASSERT_EQ(2u, driver.boxes().size());
    for (const ShownMessageBox& box : driver.boxes()) {
        EXPECT_EQ(question, box.text);
        EXPECT_EQ(static_cast<UINT>(MB_YESNO | MB_ICONWARNING), box.style);
    }
    EXPECT_EQ(25, sim.TaskCount());
    EXPECT_EQ(name6, sim.TaskField(3, L"ToDo_Name"));   // 6 moved up by three
    EXPECT_EQ(name11, sim.TaskField(6, L"ToDo_Name"));  // 11 moved up by five
}

TEST_F(TaskListWindow, TheReportTellsWhenTheSpreadsheetIsNotRegistered) {
    ProgIdOverride spreadsheet(L"Excel.Application");
    spreadsheet.Remove();
    driver.Answer(IDOK);
    Open([](CTaskListDlg& dialog) { Click(dialog.hwnd(), IDC_TASKLIST_REPORT); });
    ASSERT_EQ(1u, driver.boxes().size());
    EXPECT_EQ(L"To Do List", driver.boxes()[0].title);
    EXPECT_EQ(L"The report could not be made: the spreadsheet application \"Excel.Application\" is not available.\n\n"
              L"It is not registered on this computer.\nUnknown error 0x800401F3",
              driver.boxes()[0].text);
    EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONWARNING), driver.boxes()[0].style);
}

TEST_F(TaskListCommands, ANewManualTaskIsCreatedAndListedCancelCreatesNothing) {
    std::wstring before = sim.FileText();
    EditThroughTheList(0, IDC_TASKLIST_MANUALTASK, L"Task Properties - Manual Task", [](HWND dialog) {
        Type(PageWith(dialog, IDC_TASKGENERAL_NAME), IDC_TASKGENERAL_NAME, L"Never made");
        Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(before, sim.FileText());
    EditThroughTheList(0, IDC_TASKLIST_MANUALTASK, L"Task Properties - Manual Task", [](HWND dialog) {
        HWND general = PageWith(dialog, IDC_TASKGENERAL_NAME);
        Type(general, IDC_TASKGENERAL_NAME, L"Flush line 0101-P-1001");
        Type(general, IDC_TASKGENERAL_DESCRIPTION, L"Before the hydrotest");
        Type(general, IDC_TASKGENERAL_NOTES, L"Needs a permit");
        Click(dialog, IDOK);
    }, [](CTaskListDlg& list) {
        ASSERT_EQ(31, Access::RowCount(list));
        EXPECT_EQ(L"Manual Flush line 0101-P-1001", Access::List(list).ItemText(Access::FindRow(list, 31), 0));
    });
    const wchar_t* fields[] = {L"ToDo_Name", L"ToDo_Description", L"ToDo_Notes", L"ToDo_Category", L"ToDo_Status",
                               L"ToDo_CreatedBy"};
    std::vector<std::wstring> values;
    for (const wchar_t* field : fields) values.push_back(sim.TaskField(31, field));
    EXPECT_EQ((std::vector<std::wstring>{L"Flush line 0101-P-1001", L"Before the hydrotest", L"Needs a permit", L"5",
                                         L"0", L"PLANT\\jdoe"}),
              values);
}

TEST_F(TaskListCommands, ApplyThenCancelSavesOnceOkSavesCancelAloneKeepsTheTask) {
    std::wstring before = sim.FileText();
    EditThroughTheList(9, IDC_TASKLIST_PROPERTIES, L"Task Properties - Manual Task", [](HWND dialog) {
        Type(PageWith(dialog, IDC_TASKGENERAL_NAME), IDC_TASKGENERAL_NOTES, L"thrown away");
        Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(before, sim.FileText());
    EditThroughTheList(9, IDC_TASKLIST_PROPERTIES, L"Task Properties - Manual Task", [&](HWND dialog) {
        Type(PageWith(dialog, IDC_TASKGENERAL_NAME), IDC_TASKGENERAL_NOTES, L"Datasheet rev B received");
        Click(dialog, IDC_TASKPROPERTIES_APPLY);
        EXPECT_EQ(L"Datasheet rev B received", sim.TaskField(9, L"ToDo_Notes"));
        Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(L"PLANT\\jdoe", sim.TaskField(9, L"ToDo_ModifiedBy"));
    EditThroughTheList(9, IDC_TASKLIST_PROPERTIES, L"Task Properties - Manual Task", [&](HWND dialog) {
        Type(PageWith(dialog, IDC_TASKGENERAL_NAME), IDC_TASKGENERAL_NAME, L"Check pump datasheet P-101A rev B");
        Click(dialog, IDOK);
    });
    EXPECT_EQ(L"Check pump datasheet P-101A rev B", sim.TaskField(9, L"ToDo_Name"));
    EXPECT_EQ(L"Datasheet rev B received", sim.TaskField(9, L"ToDo_Notes"));
}

// The page shows an Update task's description as "This task will Update ..."; saving must
// leave the framework's own description alone and send the switched flag with the entries.
TEST_F(TaskListCommands, AnUpdateTasksSwitchedFlagAndNotesAreSavedItsDescriptionKept) {
    std::wstring description = sim.TaskField(3, L"ToDo_Description");
    EditThroughTheList(3, IDC_TASKLIST_PROPERTIES, L"Task Properties - Update Task", [&](HWND dialog) {
        HWND general = PageWith(dialog, IDC_TASKGENERAL_NOTES);
        EXPECT_EQ(L"This task will Update valve XV-1203", Text(general, IDC_TASKGENERAL_DESCRIPTION));
        Type(general, IDC_TASKGENERAL_NOTES, L"Checked on site");
        PickTab(dialog, 3);
        HWND tree = ::GetDlgItem(PageWith(dialog, IDC_TASKCREATE_PROPERTIES), IDC_TASKCREATE_PROPERTIES);
        EXPECT_EQ(4, ListView_GetItemCount(tree));  // three properties, one sub-object
        ListNotify(tree, NM_DBLCLK, 2, 60);         // Body Material: flag 0 becomes 1
        Click(dialog, IDOK);
    });
    EXPECT_EQ(L"Checked on site", sim.TaskField(3, L"ToDo_Notes"));
    EXPECT_EQ(description, sim.TaskField(3, L"ToDo_Description"));
    std::wstring saved = sim.CallFramework(L"GetTaskAssignments", L"3");
    EXPECT_NE(std::wstring::npos, saved.find(L"<A I=\"Body Material\" V=\"A216 WCB\" O=\"A216 WCB\" U=\"\" S=\"1\" C=\"0\"/>"))
        << testing::PrintToString(saved);
    EXPECT_NE(std::wstring::npos, saved.find(L"<O X=\"3\""));
    EXPECT_NE(std::wstring::npos, saved.find(L"<E I=\"2\" V=\"Fail Open\"/>"));  // entries survive
}
