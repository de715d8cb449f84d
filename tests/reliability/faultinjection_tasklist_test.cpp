// Fault injection through the To Do list: QRCTaskList initialized with the simulated
// host's workspace (proxied) and shown, the dialog driven from inside its modal loop
// through one command per scenario, every outside call of the command's phase failed in
// turn. Each run starts from a fresh copy of the sample workspace and an empty settings
// store.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <functional>
#include <set>
#include "faultinjection_expectations.h"
#include "faultinjection_runner.h"
#include "qrctasklist.h"
#include "res/taskpropertiesres.h"
#include "res/tasklistres.h"
#include "support/dialog_driver.h"
#include "support/fault_partners.h"
#include "support/fault_proxies.h"
#include "support/message_box_answerer.h"
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

// The page of the property dialog that holds the control.
HWND PageWith(HWND dialog, int controlId) {
    struct Search {
        int id;
        HWND found = nullptr;
    } search{controlId};
    ::EnumChildWindows(
        dialog,
        [](HWND child, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            if (::GetParent(child) == ::GetAncestor(child, GA_ROOT) && ::GetDlgItem(child, s->id)) {
                s->found = child;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
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
    // Made by the registered library (through COM) instead of this program's code.
    bool registeredLibrary = false;
    // The tasks (by ToDo_Index in the sample) the command may remove; no other may go.
    std::vector<int> mayRemove;
};

// What makes a task of the sample workspace itself, whatever its index.
std::wstring Identity(SimWorkspace& sim, long index) {
    std::wstring identity;
    for (const wchar_t* field : {L"ToDo_Name", L"ToDo_Description", L"ToDo_Category", L"ToDo_CreatedDate"})
        identity += sim.TaskField(index, field) + L"|";
    return identity;
}

std::multiset<std::wstring> Identities(SimWorkspace& sim) {
    std::multiset<std::wstring> tasks;
    for (long index = 1, count = sim.TaskCount(); index <= count; ++index) tasks.insert(Identity(sim, index));
    return tasks;
}

// A failure may leave changes undone, but never costs a task the user did not remove.
void CheckNoTaskLost(SimWorkspace& sim, const std::multiset<std::wstring>& before, const std::vector<std::wstring>& removable) {
    std::multiset<std::wstring> kept = before;
    for (const std::wstring& identity : removable) {
        auto found = kept.find(identity);
        if (found != kept.end()) kept.erase(found);
    }
    std::multiset<std::wstring> after = Identities(sim);
    for (const std::wstring& identity : kept) {
        auto found = after.find(identity);
        if (found == after.end()) FaultPlan::Get().Flag(L"the task \"" + identity + L"\" was lost");
        else after.erase(found);
    }
}

// Opens the list, runs the command, closes with Cancel (unless a failure ended the dialog
// already) and lets everything go.
void ShowToDoList(Observer& observer, const Command& command) {
    SimWorkspace sim;
    if (!sim.ok()) {
        ADD_FAILURE() << "QRSim.Workspace must be registered (register-components.sh)";
        return;
    }
    std::multiset<std::wstring> before = Identities(sim);
    std::vector<std::wstring> removable;
    for (int key : command.mayRemove) removable.push_back(Identity(sim, key));
    Watchdog watchdog{30};
    MessageBoxAnswerer boxes;
    boxes.answer = command.answer;
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
    CheckNoTaskLost(sim, before, removable);
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
                                         }},
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
                                         }}));
}

TEST_F(FaultInjectionToDoList, Defer) {
    RunScenario(ToDoListScenario(L"Defer", {L"Defer"}, Command{L"Defer", IDOK, [](HWND list) {
                                                                 SelectKeys(list, {1, 3});
                                                                 Click(list, IDC_TASKLIST_DEFER);
                                                             }}));
}

TEST_F(FaultInjectionToDoList, MarkDeleted) {
    RunScenario(ToDoListScenario(L"Delete", {L"Delete"}, Command{L"Delete", IDOK, [](HWND list) {
                                                                   SelectKeys(list, {5, 9});
                                                                   Click(list, IDC_TASKLIST_DELETE);
                                                               }}));
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
                                 }}));
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

// The same Action through the registered QRCIGEFrameworkSvcs.dll, which then also makes
// its own client services object; the library's DllCanUnloadNow answers S_OK after each run.
TEST(FaultInjectionRegisteredLibrary, ActionOnOpenAndClaimingTasks) {
    fault::FaultPartners partners({}, false);
    ASSERT_EQ("", std::string(partners.problem().begin(), partners.problem().end()));
    Command action{L"Action", IDOK, [](HWND list) {
                       SelectKeys(list, {1, 6, 7});
                       Click(list, IDC_TASKLIST_ACTION);
                   }};
    action.registeredLibrary = true;
    RunScenario(ToDoListScenario(L"Action, registered library", {L"Initialize", L"Action"}, action, {kNotCompleted}));
    EXPECT_NE(nullptr, GetModuleHandleW(L"QRCIGEFrameworkSvcs.dll")) << "the registered library was not used";
}

// Components that fail without leaving any error information, on the paths whose failures
// reach Show: the documents name the code instead.
TEST_F(FaultInjectionToDoList, FailuresThatLeaveNoErrorInformation) {
    Scenario settings = ToDoListScenario(L"Open and close, no error information", {L"Open", L"Close"}, Command{L"Idle", IDOK, {}});
    settings.withoutErrorInfo = true;
    RunScenario(settings);
    Scenario action = ToDoListScenario(L"Action, no error information", {L"Action"},
                                       Command{L"Action", IDOK,
                                               [](HWND list) {
                                                   SelectKeys(list, {6, 7});
                                                   Click(list, IDC_TASKLIST_ACTION);
                                               }},
                                       {kNotCompleted});
    action.withoutErrorInfo = true;
    RunScenario(action);
}
