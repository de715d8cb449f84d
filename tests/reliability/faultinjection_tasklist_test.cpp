// Fault injection through the To Do list over a fresh copy of the sample workspace, one
// command per scenario: whatever fails, the list shows again and no other task changes.
#include <gtest/gtest.h>
#include <algorithm>
#include <set>
#include "applicationobject.h"
#include "faultinjection.h"
#include "qrctasklist.h"
#include "reliability_text.h"
#include "res/taskpropertiesres.h"
#include "res/tasklistres.h"
#include "support/dialog_driver.h"
#include "support/fault_partners.h"
#include "support/fault_proxies.h"
#include "support/sim_workspace.h"
#include "winkit/modalrun.h"

using namespace faultinjection;

namespace {

// One command of the list, run once the list is shown.
struct Command {
    std::wstring name;
    std::vector<std::wstring> phases;  // failed; the command itself runs in the last one
    std::function<void(HWND list)> act;
    // The tasks (by ToDo_Index in the sample) the command may change, and the ones it may
    // remove; every other task must stay exactly as it was.
    std::vector<int> targets, mayRemove;
    std::vector<std::wstring> ownBoxes;  // shown by the command in every run that goes on
    int answer = IDOK;                   // to every message box
    bool registeredLibrary = false;  // made through COM by QRCIGEFrameworkSvcs.dll
};

// Selects the rows of `keys`, then clicks `button`; `title` names the property dialog the
// click opens and `inside` drives it.
std::function<void(HWND)> Press(int button, std::vector<int> keys = {}, const wchar_t* title = nullptr,
                                std::function<void(HWND)> inside = {}) {
    return [=](HWND dialog) {
        HWND list = ::GetDlgItem(dialog, IDC_TASKLIST_LIST);
        ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
        for (int key : keys) {
            LVFINDINFOW find = {LVFI_PARAM};
            find.lParam = key;
            int row = ListView_FindItem(list, -1, &find);
            if (row >= 0) ListView_SetItemState(list, row, LVIS_SELECTED, LVIS_SELECTED);
        }
        if (title) WhenDialogShown(title, inside);
        ::SendMessageW(dialog, WM_COMMAND, button, 0);
    };
}

// A task as the framework holds it: every field and its assignments; or only what makes
// it itself, whatever its index and status.
std::wstring Record(SimWorkspace& sim, long index, bool whole) {
    static const wchar_t* const kFields[] = {
        L"ToDo_Name", L"ToDo_Description", L"ToDo_Category", L"ToDo_CreatedDate", L"ToDo_Notes", L"ToDo_Class",
        L"ToDo_ItemName", L"ToDo_CreatedBy", L"ToDo_EngineeringTool", L"ToDo_SrcDocName", L"ToDo_SrcDocType",
        L"ToDo_Status", L"ToDo_DeletedFlag", L"ToDo_ModifiedBy", L"ToDo_ModifiedDate", L"ToDo_RunBy", L"ToDo_RunDate",
        L"ToDo_DeletedBy", L"ToDo_DeletedDate",
    };
    std::wstring record;
    for (size_t i = 0; i < (whole ? std::size(kFields) : 4); ++i)
        record += std::wstring(kFields[i]) + L"=" + sim.TaskField(index, kFields[i]) + L" ";
    return whole ? record + sim.CallFramework(L"GetTaskAssignments", std::to_wstring(index).c_str()) : record;
}

// The workspace's tasks the command must leave alone: untouched ones whole, the targets
// by identity. Every run starts from the same sample, so they are read once per command.
std::multiset<std::wstring> Kept(SimWorkspace& sim, const Command& command) {
    static std::map<std::wstring, std::multiset<std::wstring>> read;
    std::multiset<std::wstring>& kept = read[command.name];
    for (long index = 1, count = sim.TaskCount(); kept.empty() && index <= count; ++index) {
        auto in = [&](const std::vector<int>& keys) { return std::count(keys.begin(), keys.end(), index) > 0; };
        if (in(command.mayRemove)) continue;
        kept.insert(Record(sim, index, !in(command.targets)));
    }
    return kept;
}

void CheckKept(SimWorkspace& sim, std::multiset<std::wstring> kept) {
    for (long index = 1, count = sim.TaskCount(); index <= count; ++index)
        for (bool whole : {true, false}) {
            auto found = kept.find(Record(sim, index, whole));
            if (found != kept.end()) {
                kept.erase(found);
                break;
            }
        }
    for (const std::wstring& task : kept) FaultPlan::Get().Flag(L"a task was changed or lost: " + task);
}

// Opens the list, runs the command, closes with Cancel (unless a failure ended the dialog
// already), shows the list again on the same object and lets everything go.
void ShowToDoList(Observer& observer, const Command& command) {
    SimWorkspace sim;
    ASSERT_TRUE(sim.ok()) << "QRSim.Workspace must be registered (register-components.sh)";
    std::multiset<std::wstring> kept = Kept(sim, command);
    DialogDriver boxes{30};
    boxes.Answer(command.answer);
    {
        auto workspace = winkit::ComPtr<IDispatch>::Attach(fault::WrapWorkspace(sim.Workspace(), sim.Dispatch()));
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
            observer.Phase(command.phases.back());
            if (command.act) command.act(dialog);
            observer.Phase(L"Close");
            if (!winkit::ModalRun::HasPending()) ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        });
        VARIANT_BOOL ok = VARIANT_TRUE;
        HRESULT hr = list->Show(0, &ok);
        EXPECT_EQ(VARIANT_FALSE, ok);
        observer.Step(L"Show", hr);

        observer.Phase(L"Again");
        if (FAILED(initialized)) list->Initialize(workspace.get());
        WhenDialogShown(L"To Do List", [](HWND dialog) { ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0); });
        observer.Step(L"Show again", list->Show(0, &ok));
        observer.Phase(L"Release");
    }
    for (const ShownMessageBox& box : boxes.boxes()) observer.observed.boxes.push_back(box.text);
    observer.observed.boxLeftUnanswered = boxes.watchdogFired();
    CheckKept(sim, std::move(kept));
}

Scenario ToDoListScenario(const Command& command) {
    return {command.name, [command](Observer& observer) { ShowToDoList(observer, command); }, command.phases,
            &ToDoListRules(), command.ownBoxes};
}

// Task 1 is an open task without claims, 3 an Update task, 6 claims free objects, 7 a
// locked one the adapter refuses: whatever else fails, 7 never completes, and the count
// says so. Delete from server removes in two runs: (3, 2), then 9 as renumbered: (7, 1).
std::vector<Command> Commands() {
    auto editNotes = [](HWND properties) {
        Type(PageWith(properties, IDC_TASKGENERAL_NOTES), IDC_TASKGENERAL_NOTES, L"Checked on site");
        Click(properties, IDOK);
    };
    auto actionInProperties = [](HWND properties) {
        Click(properties, IDC_TASKPROPERTIES_ACTION);
        if (!winkit::ModalRun::HasPending()) Click(properties, IDCANCEL);
    };
    auto deferAndStep = [](HWND properties) {
        Click(properties, IDC_TASKPROPERTIES_DEFER);
        Click(properties, IDC_TASKPROPERTIES_NEXT);
        Click(properties, IDCANCEL);
    };
    auto nameManualTask = [](HWND properties) {
        Type(PageWith(properties, IDC_TASKGENERAL_NAME), IDC_TASKGENERAL_NAME, L"Flush line 0101-P-1001");
        Click(properties, IDOK);
    };
    auto configureView = [](HWND list) {
        WhenDialogShown(L"Configure View", [](HWND view) { Click(view, IDOK); });
        ::SendMessageW(list, WM_COMMAND, ID_TASKLIST_SETTINGS, 0);
    };
    const wchar_t* const update = L"Task Properties - Update Task";
    return {
        {L"Open and close", {L"Initialize", L"Open", L"Close", L"Idle"}},
        {L"Refresh", {L"Refresh"}, Press(IDC_TASKLIST_REFRESH)},
        {L"Action", {L"Action"}, Press(IDC_TASKLIST_ACTION, {1, 6, 7}), {1, 6, 7}, {}, {kNotCompleted}},
        {L"Action in the property dialog", {L"PropertiesAction"},
         Press(IDC_TASKLIST_PROPERTIES, {6}, L"Task Properties - Claim Task", actionInProperties), {6}},
        {L"Defer", {L"Defer"}, Press(IDC_TASKLIST_DEFER, {1, 3}), {1, 3}},
        {L"Delete", {L"Delete"}, Press(IDC_TASKLIST_DELETE, {5, 9}), {5, 9}},
        {L"Delete from server", {L"DeleteFromServer"}, Press(IDC_TASKLIST_DELETEFROMSERVER, {3, 4, 9}), {}, {3, 4, 9},
         {kDeleteQuestion}, IDYES},
        {L"Properties", {L"Properties"}, Press(IDC_TASKLIST_PROPERTIES, {3}, update, editNotes), {3}},
        {L"Defer and Next in the property dialog", {L"PropertiesDefer"},
         Press(IDC_TASKLIST_PROPERTIES, {3}, update, deferAndStep), {3}},
        {L"Manual task", {L"ManualTask"}, Press(IDC_TASKLIST_MANUALTASK, {}, L"Task Properties - Manual Task", nameManualTask)},
        {L"Configure View", {L"ConfigureView"}, configureView},
    };
}

} // namespace

TEST(FaultInjectionToDoList, EveryCommandWithEveryOutsideCallFailingInTurn) {
    fault::FaultPartners partners;
    ASSERT_EQ(L"", partners.problem());
    for (const Command& command : Commands()) RunScenario(ToDoListScenario(command));
}

// The Action on the claiming tasks through the registered QRCIGEFrameworkSvcs.dll, which
// also makes its own client services object; its DllCanUnloadNow answers S_OK after each run.
TEST(FaultInjectionRegisteredLibrary, ActionOnClaimingTasks) {
    fault::FaultPartners partners({}, false);
    ASSERT_EQ(L"", partners.problem());
    Command action{L"Action, registered library", {L"Initialize", L"Action"}, Press(IDC_TASKLIST_ACTION, {6, 7}),
                   {6, 7}, {}, {kNotCompleted}};
    action.registeredLibrary = true;
    RunScenario(ToDoListScenario(action));
    EXPECT_NE(nullptr, GetModuleHandleW(L"QRCIGEFrameworkSvcs.dll")) << "the registered library was not used";
}

// The report: every call to the spreadsheet application (its creation, each name lookup
// and call on its objects) and to the workspace fails in turn. The application is the
// simulated server's, made in this process; the library still asks COM for a local server.
TEST(FaultInjectionReport, EverySpreadsheetCallFailsInTurn) {
    fault::FaultPartners partners([](IDispatch** application) {
        winkit::ComPtr<ApplicationObject> made = ApplicationObject::Create([](const Workbook&) {});
        return made ? made->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(application)) : E_OUTOFMEMORY;
    });
    ASSERT_EQ(L"", partners.problem());
    RunScenario(ToDoListScenario({L"Report", {L"Report"}, Press(IDC_TASKLIST_REPORT)}));
}
