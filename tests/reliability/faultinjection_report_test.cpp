// Fault injection through the Report command: every call to the spreadsheet application
// (its creation, and each name lookup and call on its objects, each object proxied) and
// to the workspace fails in turn. Only an application that cannot be reached is told to
// the user; anything later writes less and says nothing.
//
// The applications are the simulated server's objects made in this process (the server
// makes one per process, and each process start costs a second under Wine); the library
// still asks COM for the class of "Excel.Application" as a local server.
#include <gtest/gtest.h>
#include "faultinjection_expectations.h"
#include "faultinjection_runner.h"
#include "applicationobject.h"
#include "qrctasklist.h"
#include "res/tasklistres.h"
#include "support/dialog_driver.h"
#include "support/fault_partners.h"
#include "support/fault_proxies.h"
#include "support/progid_override.h"
#include "support/sim_workspace.h"

using namespace faultinjection;

namespace {

// A new application whose workbooks are dropped when it goes.
HRESULT MakeApplication(IDispatch** application) {
    winkit::ComPtr<ApplicationObject> made = ApplicationObject::Create([](const Workbook&) {});
    if (!made) return E_OUTOFMEMORY;
    return made->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(application));
}

// Opens the list, reports it, closes it.
void ReportToDoList(Observer& observer) {
    SimWorkspace sim;
    if (!sim.ok()) {
        ADD_FAILURE() << "QRSim.Workspace must be registered (register-components.sh)";
        return;
    }
    DialogDriver boxes{30};
    boxes.Answer(IDOK);
    {
        winkit::ComPtr<IDispatch> workspace = winkit::ComPtr<IDispatch>::Attach(fault::WrapWorkspace(sim.Workspace(), sim.Dispatch()));
        winkit::ComPtr<IQRCTaskList> list;
        ASSERT_EQ(S_OK, QRCTaskList::Create(nullptr, IID_IQRCTaskList, list.put_void()));
        observer.Phase(L"Initialize");
        observer.Step(L"Initialize", list->Initialize(workspace.get()));
        observer.Phase(L"Open");
        WhenDialogShown(L"To Do List", [&](HWND dialog) {
            observer.Phase(L"Report");
            Click(dialog, IDC_TASKLIST_REPORT);
            observer.Phase(L"Close");
            ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        });
        VARIANT_BOOL ok = VARIANT_TRUE;
        observer.Step(L"Show", list->Show(0, &ok));
        observer.Phase(L"Release");
    }
    std::vector<std::wstring> texts;
    for (const ShownMessageBox& box : boxes.boxes()) texts.push_back(box.text);
    observer.Boxes(texts, boxes.watchdogFired());
}

std::string Problem(const fault::FaultPartners& partners) {
    return std::string(partners.problem().begin(), partners.problem().end());
}

} // namespace

TEST(FaultInjectionReport, EverySpreadsheetCallFailsInTurn) {
    fault::FaultPartners partners(MakeApplication);
    ASSERT_EQ("", Problem(partners));
    Scenario scenario;
    scenario.name = L"Report";
    scenario.phases = {L"Report"};
    scenario.rules = &ToDoListRules();
    scenario.documentSources = {{L"Initialize", L"QRCTaskList::Initialize"}, {L"Show", L"QRCTaskList::Show"}};
    scenario.run = ReportToDoList;
    RunScenario(scenario);
}

// The ProgID's lookup is the registry's, not a component's: taken away for one run.
TEST(FaultInjectionReport, ASpreadsheetNotRegisteredIsToldAndNothingElseHappens) {
    fault::FaultPartners partners;
    ASSERT_EQ("", Problem(partners));
    ProgIdOverride excel(L"Excel.Application");
    excel.Remove();
    FaultPlan::Get().Start();
    Observed observed;
    Observer observer(observed);
    ReportToDoList(observer);
    FaultPlan::Get().Start();
    ASSERT_EQ(2u, observed.steps.size());
    EXPECT_EQ(S_OK, observed.steps[1].hr);
    ASSERT_EQ(1u, observed.boxes.size());
    EXPECT_NE(std::wstring::npos, observed.boxes[0].find(L"It is not registered on this computer."));
    EXPECT_FALSE(observed.boxLeftUnanswered);
    EXPECT_EQ(0, fault::LiveProxies());
    SuiteFigures().Add(L"Report", L"Report | CLSIDFromProgID(Excel.Application)",
                       L"message \"It is not registered on this computer.\"");
}
