// Creating and editing tasks end to end: the To Do List over a copy of the sample
// workspace opens the real property dialog, the test types and clicks in it as a user
// would, and the workspace file shows what the framework was sent.
#include "support/sim_workspace.h"
#include "taskpropertydlg_fixture.h"
#include "support/settings_store.h"
#include "tasklistdlg.h"

namespace {

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

class TaskListProperties : public testing::Test {
protected:
    SettingsStore store;
    DialogDriver driver{60};
    SimWorkspace sim;

    void SetUp() override {
        ASSERT_TRUE(sim.ok()) << "QRSim.Workspace must be registered (register-components.sh)";
        driver.Answer(IDOK);
    }

    // Opens the list, selects the row of `key` (0: none), presses the button, and runs
    // `inside` once the property dialog with that caption is shown; `inside` ends it.
    void EditThroughTheList(int key, int button, const std::wstring& caption, const std::function<void(HWND)>& inside,
                            const std::function<void(CTaskListDlg&)>& after = {}) {
        CTaskListDlg list(sim.Workspace());
        bool shown = false;
        WhenDialogShown(L"To Do List", [&](HWND window) {
            if (key) list.List().SetItemState(list.FindRow(key), LVIS_SELECTED, LVIS_SELECTED);
            WhenDialogShown(caption, [&](HWND properties) {
                shown = true;
                inside(properties);
            });
            Click(window, button);
            if (after) after(list);
            ::PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
        });
        list.DoModal(nullptr);
        EXPECT_TRUE(shown) << "no dialog titled " << std::string(caption.begin(), caption.end());
    }
};

} // namespace

TEST_F(TaskListProperties, ANewManualTaskIsCreatedAndListed) {
    EditThroughTheList(0, IDC_TASKLIST_MANUALTASK, L"Task Properties - Manual Task", [](HWND dialog) {
        HWND general = PageWith(dialog, IDC_TASKGENERAL_NAME);
        Type(general, IDC_TASKGENERAL_NAME, L"Flush line 0101-P-1001");
        Type(general, IDC_TASKGENERAL_DESCRIPTION, L"Before the hydrotest");
        Type(general, IDC_TASKGENERAL_NOTES, L"Needs a permit");
        EXPECT_FALSE(Enabled(dialog, IDC_TASKPROPERTIES_APPLY));
        Click(dialog, IDOK);
    }, [](CTaskListDlg& list) {
        ASSERT_EQ(31, list.RowCount());
        EXPECT_EQ(L"Manual Flush line 0101-P-1001", list.List().ItemText(list.FindRow(31), 0));
    });
    ASSERT_EQ(31, sim.TaskCount());
    EXPECT_EQ(L"Flush line 0101-P-1001", sim.TaskField(31, L"ToDo_Name"));
    EXPECT_EQ(L"Before the hydrotest", sim.TaskField(31, L"ToDo_Description"));
    EXPECT_EQ(L"Needs a permit", sim.TaskField(31, L"ToDo_Notes"));
    EXPECT_EQ(L"5", sim.TaskField(31, L"ToDo_Category"));
    EXPECT_EQ(L"0", sim.TaskField(31, L"ToDo_Status"));
    EXPECT_EQ(L"PLANT\\jdoe", sim.TaskField(31, L"ToDo_CreatedBy"));
}

TEST_F(TaskListProperties, CancellingANewTaskCreatesNothing) {
    std::wstring before = sim.FileText();
    EditThroughTheList(0, IDC_TASKLIST_MANUALTASK, L"Task Properties - Manual Task", [](HWND dialog) {
        Type(PageWith(dialog, IDC_TASKGENERAL_NAME), IDC_TASKGENERAL_NAME, L"Never made");
        Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(before, sim.FileText());
}

TEST_F(TaskListProperties, ApplyThenCancelSavesOnceAndOkSaves) {
    EditThroughTheList(9, IDC_TASKLIST_PROPERTIES, L"Task Properties - Manual Task", [&](HWND dialog) {
        HWND general = PageWith(dialog, IDC_TASKGENERAL_NAME);
        Type(general, IDC_TASKGENERAL_NOTES, L"Datasheet rev B received");
        EXPECT_TRUE(Enabled(dialog, IDC_TASKPROPERTIES_APPLY));
        Click(dialog, IDC_TASKPROPERTIES_APPLY);
        EXPECT_EQ(L"Datasheet rev B received", sim.TaskField(9, L"ToDo_Notes"));
        Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(L"Datasheet rev B received", sim.TaskField(9, L"ToDo_Notes"));
    EXPECT_EQ(L"PLANT\\jdoe", sim.TaskField(9, L"ToDo_ModifiedBy"));

    EditThroughTheList(9, IDC_TASKLIST_PROPERTIES, L"Task Properties - Manual Task", [&](HWND dialog) {
        Type(PageWith(dialog, IDC_TASKGENERAL_NAME), IDC_TASKGENERAL_NAME, L"Check pump datasheet P-101A rev B");
        Click(dialog, IDOK);
    });
    EXPECT_EQ(L"Check pump datasheet P-101A rev B", sim.TaskField(9, L"ToDo_Name"));
}

TEST_F(TaskListProperties, CancelWithoutApplyKeepsTheTask) {
    std::wstring before = sim.FileText();
    EditThroughTheList(9, IDC_TASKLIST_PROPERTIES, L"Task Properties - Manual Task", [](HWND dialog) {
        Type(PageWith(dialog, IDC_TASKGENERAL_NAME), IDC_TASKGENERAL_NOTES, L"thrown away");
        Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(before, sim.FileText());
}

TEST_F(TaskListProperties, NextAsksToSaveAndNoDropsTheChangesYesSavesThem) {
    std::wstring notes9 = sim.TaskField(9, L"ToDo_Notes");
    driver.Answer(IDNO);
    EditThroughTheList(9, IDC_TASKLIST_PROPERTIES, L"Task Properties - Manual Task", [&](HWND dialog) {
        Type(PageWith(dialog, IDC_TASKGENERAL_NAME), IDC_TASKGENERAL_NOTES, L"dropped");
        Click(dialog, IDC_TASKPROPERTIES_NEXT);
        // The row below 9 in collection order is 10, a manual task too.
        EXPECT_EQ(sim.TaskField(10, L"ToDo_Name"), Text(PageWith(dialog, IDC_TASKGENERAL_NAME), IDC_TASKGENERAL_NAME));
        EXPECT_FALSE(Enabled(dialog, IDC_TASKPROPERTIES_APPLY));
        driver.Answer(IDYES);
        Type(PageWith(dialog, IDC_TASKGENERAL_NAME), IDC_TASKGENERAL_NOTES, L"kept for 10");
        Click(dialog, IDC_TASKPROPERTIES_PREVIOUS);
        Click(dialog, IDCANCEL);
    });
    ASSERT_EQ(2u, driver.boxes().size());
    EXPECT_EQ(L"You have made changes to this task.\nDo you wish to save these changes?", driver.boxes()[0].text);
    EXPECT_EQ(static_cast<UINT>(MB_YESNO | MB_ICONWARNING), driver.boxes()[0].style);
    EXPECT_EQ(notes9, sim.TaskField(9, L"ToDo_Notes"));
    EXPECT_EQ(L"kept for 10", sim.TaskField(10, L"ToDo_Notes"));
}

TEST_F(TaskListProperties, AnUpdateTasksTreeExpandsCollapsesAndItsSwitchedFlagIsSaved) {
    EditThroughTheList(3, IDC_TASKLIST_PROPERTIES, L"Task Properties - Update Task", [&](HWND dialog) {
        PickTab(dialog, 3);
        HWND tree = ::GetDlgItem(PageWith(dialog, IDC_TASKCREATE_PROPERTIES), IDC_TASKCREATE_PROPERTIES);
        ASSERT_TRUE(tree);
        EXPECT_EQ(4, ListView_GetItemCount(tree));  // three properties, one sub-object
        ListNotify(tree, NM_CLICK, 3, 4 + 10);     // the plus box of the object row
        EXPECT_EQ(5, ListView_GetItemCount(tree));
        ListNotify(tree, NM_CLICK, 3, 4 + 10);
        EXPECT_EQ(4, ListView_GetItemCount(tree));
        ListNotify(tree, NM_DBLCLK, 2, 60);        // Body Material: flag 0 becomes 1
        EXPECT_TRUE(Enabled(dialog, IDC_TASKPROPERTIES_APPLY));
        Click(dialog, IDOK);
    });
    std::wstring saved = sim.CallFramework(L"GetTaskAssignments", L"3");
    EXPECT_NE(std::wstring::npos, saved.find(L"<A I=\"Body Material\" V=\"A216 WCB\" O=\"A216 WCB\" U=\"\" S=\"1\" C=\"0\"/>"))
        << std::string(saved.begin(), saved.end());
    EXPECT_NE(std::wstring::npos, saved.find(L"<O X=\"3\""));
    EXPECT_NE(std::wstring::npos, saved.find(L"<E I=\"2\" V=\"Fail Open\"/>"));  // entries survive
}

// The page shows an Update task's description as "This task will Update ..."; saving its
// notes must leave the framework's own description alone.
TEST_F(TaskListProperties, SavingTheNotesOfAnUpdateTaskKeepsItsDescription) {
    std::wstring description = sim.TaskField(3, L"ToDo_Description");
    EditThroughTheList(3, IDC_TASKLIST_PROPERTIES, L"Task Properties - Update Task", [](HWND dialog) {
        HWND general = PageWith(dialog, IDC_TASKGENERAL_NOTES);
        EXPECT_EQ(L"This task will Update valve XV-1203", Text(general, IDC_TASKGENERAL_DESCRIPTION));
        Type(general, IDC_TASKGENERAL_NOTES, L"Checked on site");
        Click(dialog, IDOK);
    });
    EXPECT_EQ(L"Checked on site", sim.TaskField(3, L"ToDo_Notes"));
    EXPECT_EQ(description, sim.TaskField(3, L"ToDo_Description"));
    EXPECT_NE(std::wstring::npos, description.find(L"HAZOP")) << "the sample's own description";
}
