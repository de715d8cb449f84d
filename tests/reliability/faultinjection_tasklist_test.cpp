// Fault injection through the To Do list: QRCTaskList initialized with the simulated
// host's workspace (proxied) and shown, the dialog driven from inside its modal loop
// through one command per scenario, every outside call of the command's phase failed in
// turn. Each run starts from a fresh copy of the sample workspace and an empty settings
// store.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <algorithm>
#include <functional>
#include <map>
#include <set>
#include "faultinjection_expectations.h"
#include "faultinjection_runner.h"
#include "qrctasklist.h"
#include "res/taskpropertiesres.h"
#include "res/tasklistres.h"
#include "support/dialog_driver.h"
#include "support/fault_partners.h"
#include "support/fault_proxies.h"
#include "support/sim_workspace.h"
#include "winkit/modalrun.h"

using namespace faultinjection;

namespace {

// Selects exactly the rows showing the tasks of these keys.
void SelectKeys(HWND dialog, std::initializer_list<int> keys) {
    HWND list = ::GetDlgItem(dialog, IDC_TASKLIST_LIST);
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
    for (int row = 0, rows = ListView_GetItemCount(list); row < rows; ++row) {
        LVITEMW item = {};
        item.mask = LVIF_PARAM;
        item.iItem = row;
        ListView_GetItem(list, &item);
        for (int key : keys)
            if (item.lParam == key) ListView_SetItemState(list, row, LVIS_SELECTED, LVIS_SELECTED);
    }
}

void Type(HWND page, int id, const wchar_t* text) {
    HWND edit = ::GetDlgItem(page, id);
    ::SendMessageW(edit, EM_SETSEL, 0, -1);
    ::SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text));
}

// One command of the list, run once the list is shown.
struct Command {
    std::wstring phase;
    int answer = IDOK;  // to every message box
    std::function<void(HWND list)> act;
    // The tasks (by ToDo_Index in the sample) the command may change, and the ones it may
    // remove; every other task must stay exactly as it was.
    std::vector<int> targets;
    std::vector<int> mayRemove;
    // Made by the registered library (through COM) instead of this program's code.
    bool registeredLibrary = false;
};

// A task of the workspace as the framework holds it: every field and its assignments.
std::wstring Record(SimWorkspace& sim, long index) {
    static const wchar_t* const kFields[] = {
        L"ToDo_Name", L"ToDo_Description", L"ToDo_Notes", L"ToDo_Class", L"ToDo_ItemName", L"ToDo_CreatedDate",
        L"ToDo_CreatedBy", L"ToDo_EngineeringTool", L"ToDo_SrcDocName", L"ToDo_SrcDocType", L"ToDo_Category",
        L"ToDo_Status", L"ToDo_DeletedFlag", L"ToDo_ModifiedBy", L"ToDo_ModifiedDate", L"ToDo_RunBy", L"ToDo_RunDate",
        L"ToDo_DeletedBy", L"ToDo_DeletedDate",
    };
    std::wstring record;
    for (const wchar_t* field : kFields) record += std::wstring(field) + L"=" + sim.TaskField(index, field) + L" ";
    return record + sim.CallFramework(L"GetTaskAssignments", std::to_wstring(index).c_str());
}

// What makes a task itself, whatever its index and status.
std::wstring Identity(SimWorkspace& sim, long index) {
    std::wstring identity;
    for (const wchar_t* field : {L"ToDo_Name", L"ToDo_Description", L"ToDo_Category", L"ToDo_CreatedDate"})
        identity += sim.TaskField(index, field) + L"|";
    return identity;
}

// A failure may leave a command's changes undone, but never changes a task the command
// was not given, nor loses one it was not asked to remove.
class WorkspaceGuard {
public:
    // Every run starts from the same sample, so what must stay is read once per command.
    WorkspaceGuard(SimWorkspace& sim, const Command& command) : sim_(sim) {
        static std::map<std::wstring, std::pair<std::multiset<std::wstring>, std::vector<std::wstring>>> read;
        std::wstring key = command.phase;
        for (int target : command.targets) key += L" " + std::to_wstring(target);
        key += L" /";
        for (int removable : command.mayRemove) key += L" " + std::to_wstring(removable);
        auto& before = read[key];
        if (before.first.empty()) {
            for (long index = 1, count = sim.TaskCount(); index <= count; ++index) {
                int key = static_cast<int>(index);
                bool target = std::count(command.targets.begin(), command.targets.end(), key) > 0;
                bool removable = std::count(command.mayRemove.begin(), command.mayRemove.end(), key) > 0;
                if (!target && !removable) before.first.insert(Record(sim, index));
                else if (!removable) before.second.push_back(Identity(sim, index));
            }
        }
        untouched_ = before.first;
        kept_ = before.second;
    }

    void Check() {
        std::multiset<std::wstring> records, identities;
        for (long index = 1, count = sim_.TaskCount(); index <= count; ++index) {
            records.insert(Record(sim_, index));
            identities.insert(Identity(sim_, index));
        }
        for (const std::wstring& record : untouched_) {
            auto found = records.find(record);
            if (found == records.end()) FaultPlan::Get().Flag(L"a task the command was not given changed or went: " + record);
            else records.erase(found);
        }
        for (const std::wstring& identity : kept_) {
            auto found = identities.find(identity);
            if (found == identities.end()) FaultPlan::Get().Flag(L"the task \"" + identity + L"\" was lost");
            else identities.erase(found);
        }
    }

private:
    SimWorkspace& sim_;
    std::multiset<std::wstring> untouched_;
    std::vector<std::wstring> kept_;
};

// Opens the list, runs the command, closes with Cancel (unless a failure ended the dialog
// already) and lets everything go.
void ShowToDoList(Observer& observer, const Command& command) {
    SimWorkspace sim;
    if (!sim.ok()) {
        ADD_FAILURE() << "QRSim.Workspace must be registered (register-components.sh)";
        return;
    }
    WorkspaceGuard guard(sim, command);
    DialogDriver boxes{30};
    boxes.Answer(command.answer);
    {
        winkit::ComPtr<IDispatch> workspace = winkit::ComPtr<IDispatch>::Attach(fault::WrapWorkspace(sim.Workspace(), sim.Dispatch()));
        winkit::ComPtr<IQRCTaskList> list;
        if (command.registeredLibrary)
            ASSERT_EQ(S_OK, CoCreateInstance(CLSID_QRCTaskList, nullptr, CLSCTX_INPROC_SERVER, IID_IQRCTaskList, list.put_void()));
        else
            ASSERT_EQ(S_OK, QRCTaskList::Create(nullptr, IID_IQRCTaskList, list.put_void()));
        observer.Phase(L"Initialize");
        HRESULT initialized = list->Initialize(workspace.get());
        observer.Step(L"Initialize", initialized);

        observer.Phase(L"Open");
        WhenDialogShown(L"To Do List", [&](HWND dialog) {
            observer.Phase(command.phase);
            if (command.act) command.act(dialog);
            observer.Phase(L"Close");
            if (!winkit::ModalRun::HasPending()) ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        });
        VARIANT_BOOL ok = VARIANT_TRUE;
        HRESULT hr = list->Show(0, &ok);
        EXPECT_EQ(VARIANT_FALSE, ok);
        observer.Step(L"Show", hr);

        // Whatever happened, the same object shows the list again.
        observer.Phase(L"Again");
        if (FAILED(initialized)) list->Initialize(workspace.get());
        WhenDialogShown(L"To Do List", [](HWND dialog) { ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0); });
        observer.Step(L"Show again", list->Show(0, &ok));
        observer.Phase(L"Release");
    }
    std::vector<std::wstring> texts;
    for (const ShownMessageBox& box : boxes.boxes()) texts.push_back(box.text);
    observer.Boxes(texts, boxes.watchdogFired());
    guard.Check();
}

// `ownBoxes`: the texts of the boxes the command shows by itself, in every run that goes on.
Scenario ToDoListScenario(const std::wstring& name, std::vector<std::wstring> phases, Command command,
                          std::vector<std::wstring> ownBoxes = {}) {
    Scenario scenario;
    scenario.name = name;
    scenario.phases = std::move(phases);
    scenario.rules = &ToDoListRules();
    scenario.ownBoxes = ownBoxes;
    scenario.alwaysShown = std::move(ownBoxes);
    scenario.documentSources = {{L"Initialize", L"QRCTaskList::Initialize"}, {L"Show", L"QRCTaskList::Show"}};
    scenario.recoverySteps = {L"Show again"};
    scenario.run = [command](Observer& observer) { ShowToDoList(observer, command); };
    return scenario;
}

const wchar_t* const kNotCompleted = L"task(s) have not completed - Check the To Do list.";
const wchar_t* const kDeleteQuestion = L"This action will permanently delete the selected tasks from the workspace";

class FaultInjectionToDoList : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ("", std::string(partners.problem().begin(), partners.problem().end())); }

    fault::FaultPartners partners;
};

} // namespace

TEST_F(FaultInjectionToDoList, InitializeOpenAndClose) {
    RunScenario(ToDoListScenario(L"Open and close", {L"Initialize", L"Open", L"Close"}, Command{L"Idle", IDOK, {}}));
}

TEST_F(FaultInjectionToDoList, Refresh) {
    RunScenario(ToDoListScenario(L"Refresh", {L"Refresh"},
                                 Command{L"Refresh", IDOK, [](HWND list) { Click(list, IDC_TASKLIST_REFRESH); }}));
}

// Task 1 is an open task without claims, 6 claims free objects, 7 a locked one the
// adapter refuses: whatever else fails, 7 never completes, and the count says so.
TEST_F(FaultInjectionToDoList, ActionOnOpenAndClaimingTasks) {
    RunScenario(ToDoListScenario(L"Action", {L"Action"},
                                 Command{L"Action", IDOK,
                                         [](HWND list) {
                                             SelectKeys(list, {1, 6, 7});
                                             Click(list, IDC_TASKLIST_ACTION);
                                         }, {1, 6, 7}},
                                 {kNotCompleted}));
}

TEST_F(FaultInjectionToDoList, ActionFromThePropertyDialog) {
    RunScenario(ToDoListScenario(L"Action in the property dialog", {L"PropertiesAction"},
                                 Command{L"PropertiesAction", IDOK, [](HWND list) {
                                             SelectKeys(list, {6});
                                             WhenDialogShown(L"Task Properties - Claim Task", [](HWND properties) {
                                                 Click(properties, IDC_TASKPROPERTIES_ACTION);
                                                 if (!winkit::ModalRun::HasPending()) Click(properties, IDCANCEL);
                                             });
                                             Click(list, IDC_TASKLIST_PROPERTIES);
                                         }, {6}}));
}

TEST_F(FaultInjectionToDoList, Defer) {
    RunScenario(ToDoListScenario(L"Defer", {L"Defer"}, Command{L"Defer", IDOK, [](HWND list) {
                                                                 SelectKeys(list, {1, 3});
                                                                 Click(list, IDC_TASKLIST_DEFER);
                                                             }, {1, 3}}));
}

TEST_F(FaultInjectionToDoList, MarkDeleted) {
    RunScenario(ToDoListScenario(L"Delete", {L"Delete"}, Command{L"Delete", IDOK, [](HWND list) {
                                                                   SelectKeys(list, {5, 9});
                                                                   Click(list, IDC_TASKLIST_DELETE);
                                                               }, {5, 9}}));
}

TEST_F(FaultInjectionToDoList, DeleteFromServer) {
    // Two runs: (3, 2), then 9 as the framework numbers it after the first: (7, 1).
    Command remove{L"DeleteFromServer", IDYES, [](HWND list) {
                       SelectKeys(list, {3, 4, 9});
                       Click(list, IDC_TASKLIST_DELETEFROMSERVER);
                   }};
    remove.mayRemove = {3, 4, 9};
    RunScenario(ToDoListScenario(L"Delete from server", {L"DeleteFromServer"}, remove, {kDeleteQuestion}));
}

// An Update task: its assignments are read for the Update page, then the edited notes and
// the assignments are saved on OK.
TEST_F(FaultInjectionToDoList, PropertiesEditedAndSaved) {
    RunScenario(ToDoListScenario(L"Properties", {L"Properties"}, Command{L"Properties", IDOK, [](HWND list) {
                                     SelectKeys(list, {3});
                                     WhenDialogShown(L"Task Properties - Update Task", [](HWND properties) {
                                         Type(PageWith(properties, IDC_TASKGENERAL_NOTES), IDC_TASKGENERAL_NOTES,
                                              L"Checked on site");
                                         Click(properties, IDOK);
                                     });
                                     Click(list, IDC_TASKLIST_PROPERTIES);
                                 }, {3}}));
}

// Defer from the property dialog, then a step to the next row (an Update task too, whose
// assignments are read for it).
TEST_F(FaultInjectionToDoList, DeferAndStepInThePropertyDialog) {
    RunScenario(ToDoListScenario(L"Defer and Next in the property dialog", {L"PropertiesDefer"},
                                 Command{L"PropertiesDefer", IDOK, [](HWND list) {
                                             SelectKeys(list, {3});
                                             WhenDialogShown(L"Task Properties - Update Task", [](HWND properties) {
                                                 Click(properties, IDC_TASKPROPERTIES_DEFER);
                                                 Click(properties, IDC_TASKPROPERTIES_NEXT);
                                                 Click(properties, IDCANCEL);
                                             });
                                             Click(list, IDC_TASKLIST_PROPERTIES);
                                         }, {3}}));
}

TEST_F(FaultInjectionToDoList, ManualTaskCreated) {
    RunScenario(ToDoListScenario(L"Manual task", {L"ManualTask"}, Command{L"ManualTask", IDOK, [](HWND list) {
                                     WhenDialogShown(L"Task Properties - Manual Task", [](HWND properties) {
                                         Type(PageWith(properties, IDC_TASKGENERAL_NAME), IDC_TASKGENERAL_NAME,
                                              L"Flush line 0101-P-1001");
                                         Click(properties, IDOK);
                                     });
                                     Click(list, IDC_TASKLIST_MANUALTASK);
                                 }}));
}

TEST_F(FaultInjectionToDoList, ConfigureViewStoresTheSettings) {
    RunScenario(ToDoListScenario(L"Configure View", {L"ConfigureView"}, Command{L"ConfigureView", IDOK, [](HWND list) {
                                     WhenDialogShown(L"Configure View", [](HWND view) { Click(view, IDOK); });
                                     ::SendMessageW(list, WM_COMMAND, ID_TASKLIST_SETTINGS, 0);
                                 }}));
}

// The Action on the claiming tasks through the registered QRCIGEFrameworkSvcs.dll, which
// then also makes its own client services object; the library's DllCanUnloadNow answers
// S_OK after each run.
TEST(FaultInjectionRegisteredLibrary, ActionOnClaimingTasks) {
    fault::FaultPartners partners({}, false);
    ASSERT_EQ("", std::string(partners.problem().begin(), partners.problem().end()));
    Command action{L"Action", IDOK, [](HWND list) {
                       SelectKeys(list, {6, 7});
                       Click(list, IDC_TASKLIST_ACTION);
                   }};
    action.targets = {6, 7};
    action.registeredLibrary = true;
    RunScenario(ToDoListScenario(L"Action, registered library", {L"Initialize", L"Action"}, action, {kNotCompleted}));
    EXPECT_NE(nullptr, GetModuleHandleW(L"QRCIGEFrameworkSvcs.dll")) << "the registered library was not used";
}

// Components that fail without leaving any error information, on the paths whose failures
// reach Show: the documents name the code instead.
TEST_F(FaultInjectionToDoList, FailuresThatLeaveNoErrorInformation) {
    // Opening only: closing fails its store calls through the same code.
    Scenario settings = ToDoListScenario(L"Open, no error information", {L"Open"}, Command{L"Idle", IDOK, {}});
    settings.withoutErrorInfo = true;
    RunScenario(settings);
    Scenario action = ToDoListScenario(L"Action, no error information", {L"Action"},
                                       Command{L"Action", IDOK,
                                               [](HWND list) {
                                                   SelectKeys(list, {6, 7});
                                                   Click(list, IDC_TASKLIST_ACTION);
                                               }, {6, 7}},
                                       {kNotCompleted});
    action.withoutErrorInfo = true;
    RunScenario(action);
}
