// The service requests behind every task operation, the gateway's text call and the fetch.
#include <gtest/gtest.h>
#include <functional>
#include "diagnostics/hresulttext.h"
#include "diagnostics/qrcomexception.h"
#include "diagnostics/qrerrorelement.h"
#include "frameworkgateway.h"
#include "support/errorinfo_helpers.h"
#include "support/fake_clientservices.h"
#include "support/fake_workspace.h"
#include "support/fault_plan.h"
#include "support/fault_proxies.h"
#include "support/fixed_clock.h"
#include "taskitemcollection.h"
#include "taskoperations.h"
#include "userstamp.h"

namespace {

const HRESULT kRefused = static_cast<HRESULT>(0x80041001);
using Arrange = std::function<void()>;

std::wstring Opening(const std::wstring& method) {
    return L"SetFlags 0|SetComponent QRDBEFrameworkSvcs.Main|SetMethod " + method + L"|";
}

// The opening, then BeginInput, the user asked for the stamp, and the record's element.
std::wstring Stamped(const std::wstring& method) { return Opening(method) + L"BeginInput|GetUserName|BeginElement TaskItem|"; }

std::wstring Without(std::wstring log, const std::wstring& call) { return log.erase(log.find(call), call.size()); }

// What the workspace and services answer, what the caller got as text, and the whole log.
struct RequestCase {
    const char* name;
    Arrange answers;
    std::function<std::wstring()> act;
    std::wstring result, log;
};

class TaskRequests : public testing::Test {
protected:
    void Reset() {
        script = RequestScript();
        workspace->userName = L"j.smith";
        workspace->UseScript(script);
        services->initializeResult = services->synchronizeResult = S_OK;
        services->errorMessage.clear();
        services->calls = &script.log->calls;
        factory->failure = S_OK;
        FaultPlan::Get().Start();
        tasks.Items().clear();
        for (int i = 1; i <= 10; ++i) {
            TaskItem& t = tasks.Items().emplace_back();
            t.ToDo_Index = i;
            t.ToDo_Category = i == 2 ? kCategoryClaim : kCategoryManual;
            t.ToDo_Name = L"Task " + std::to_wstring(i);
        }
    }
    Arrange Output(const wchar_t* method, const wchar_t* text) { return [this, method, text] { script.outputs[method] = text; }; }
    Arrange Fails(const wchar_t* method, HRESULT hr) { return [this, method, hr] { script.executeResults[method] = hr; }; }
    Arrange NoRequest(HRESULT hr) { return [this, hr] { script.createResult = hr; }; }
    TaskOperations Ops() { return TaskOperations(target ? target.get() : workspace.get(), tasks); }
    // The log as "call|call|...", the clock's date written "<now>".
    std::wstring LoggedCalls() {
        const std::wstring now = L" R8 " + std::to_wstring(FixedClock::kAutomationDate);
        std::wstring calls;
        for (std::wstring call : script.log->calls) {
            if (size_t at = call.find(now); at != std::wstring::npos) call.replace(at, now.size(), L" R8 <now>");
            calls += (calls.empty() ? L"" : L"|") + call;
        }
        return calls;
    }
    void Run(const std::vector<RequestCase>& cases) {
        for (const RequestCase& c : cases) {
            SCOPED_TRACE(c.name);
            Reset();
            if (c.answers) c.answers();
            EXPECT_EQ(c.result, c.act());
            EXPECT_EQ(c.log, LoggedCalls());
            target.reset();
            EXPECT_EQ(0, fault::LiveProxies());
            EXPECT_EQ(1u, workspace->RefCount());
            EXPECT_EQ(2u, services->RefCount()) << "the test's and the class object's: released on every path";
        }
    }
    // The local record after a save: name|description|notes|status|modified by.
    std::wstring Record(int index) {
        const TaskItem* t = tasks.FindByKey(index);
        if (!t) return L"(no task)";
        return t->ToDo_Name + L"|" + t->ToDo_Description + L"|" + t->ToDo_Notes + L"|" + std::to_wstring(t->ToDo_Status) +
               L"|" + t->ToDo_ModifiedBy + (t->ToDo_ModifiedDate == FixedClock::kText ? L"|dated" : L"|" + t->ToDo_ModifiedDate);
    }
    // A run's outcome in the rows: "0" completed, "1" ended in error, else the failure.
    static std::wstring Outcome(const RunOutcome& run) {
        return run.kind == RunOutcome::kCompleted ? L"0" : run.kind == RunOutcome::kEndedInError ? L"1" : HResultHex(run.failure);
    }
    // The run's result, or the raised HRESULT and the QRError document's description.
    std::wstring RunTask(int index) {
        ClearThreadError();
        try {
            return Outcome(Ops().RunTaskItem(index));
        } catch (QRComException& e) {
            std::wstring raised = L"raised " + HResultHex(e.result) + L" ";
            QRComException scope;
            scope.Catch(QR_HERE, e);
            scope.Result();
            return raised + FirstDesc(TakeThreadError().description);
        }
    }
    std::wstring TextCall(const wchar_t* method, const wchar_t* input) {
        winkit::UniqueBstr output = winkit::UniqueBstr::Copy(L"kept");
        HRESULT hr = FrameworkTextCall(workspace.get(), method, input, output);
        return HResultHex(hr) + L" " + output.str();
    }
    std::wstring Fetch(IWorkspace* from) {
        FetchTaskList(from, tasks);
        return std::to_wstring(tasks.Count()) + L" tasks";
    }

    FixedClock clock;
    RequestScript script;
    testcom::Fake<FakeWorkspace> workspace;
    testcom::Fake<FakeClientServices> services;
    // The client services the library makes: `services`, or the factory's failure.
    testcom::Fake<testcom::FakeClassFactory> factory{services.get()};
    testcom::ClassRegistration registration{CLSID_QRCIGEFClientServices, factory.get()};
    TaskItemCollection tasks;
    winkit::ComPtr<IWorkspace> target;  // the proxy of the workspace while a call is refused
};

const TaskPropertyValues kEdited{4, L"Pump", L"Check seals", kStatusInProgress, L"Noisy", L"<O X=\"4\"/>"};

} // namespace

TEST_F(TaskRequests, Saves) {
    const std::wstring record = Stamped(L"SetTaskItemData") +
        L"AddField ToDo_Index I4 4|AddField ToDo_Name BSTR Pump|AddField ToDo_Description BSTR Check seals|"
        L"AddField ToDo_Status I4 1|AddField ToDo_Notes BSTR Noisy|AddField ToDo_ModifiedBy BSTR j.smith|"
        L"AddField ToDo_ModifiedDate R8 <now>|EndElement TaskItem|";
    auto save = [this](TaskPropertyValues values) {
        return [this, values] {
            Ops().SaveTaskProperties(values);
            return Record(values.index);
        };
    };
    Run({
        {"manual task: its status, then the assignments on the same request", nullptr, save(kEdited),
         L"Pump|Check seals|Noisy|1|j.smith|dated",
         record + L"Execute 0|SetMethod SetTaskAssignments|SetInput <O X=\"4\"/>|Execute 0|(released)"},
        // The page shows another category's description as a sentence made from its name:
        // the task's own description goes back, and no status. The (empty) assignments too.
        {"claim task", [this] { tasks.FindByKey(2)->ToDo_Description = L"Claim P-101 for the nozzle change"; },
         save({2, L"P-101", L"This task will Claim P-101", kStatusCompleted, L"n", L""}),
         L"P-101|Claim P-101 for the nozzle change|n|2|j.smith|dated",
         Stamped(L"SetTaskItemData") +
             L"AddField ToDo_Index I4 2|AddField ToDo_Name BSTR P-101|"
             L"AddField ToDo_Description BSTR Claim P-101 for the nozzle change|AddField ToDo_Notes BSTR n|"
             L"AddField ToDo_ModifiedBy BSTR j.smith|AddField ToDo_ModifiedDate R8 <now>|EndElement TaskItem|Execute 0|"
             L"SetMethod SetTaskAssignments|SetInput |Execute 0|(released)"},
        // Without its new method the request still names SetTaskItemData.
        {"assignments method refused: the data method is not run again",
         [this] { script.setMethodResults[L"SetTaskAssignments"] = E_FAIL; }, save(kEdited),
         L"Pump|Check seals|Noisy|1|j.smith|dated", record + L"Execute 0|SetMethod SetTaskAssignments|(released)"},
        // The request proxy refuses the fifth field without passing it on: the log lacks it.
        {"a field refused: neither method is executed",
         [this] {
             FaultPlan::Get().Arm(L"IServiceRequest::AddField [SetTaskItemData]", 5, kRefused);
             auto proxy = winkit::ComPtr<IDispatch>::Attach(fault::WrapWorkspace(workspace.get(), workspace.get()));
             proxy->QueryInterface(IID_IWorkspace, target.put_void());
         },
         save(kEdited), L"Pump|Check seals|Noisy|1|j.smith|dated",
         Without(record, L"AddField ToDo_Notes BSTR Noisy|") + L"SetMethod SetTaskAssignments|SetInput <O X=\"4\"/>|(released)"},
        {"an index that names no task", nullptr, save({42, L"x", L"y", 0, L"z", L""}), L"(no task)", L""},
    });
}

TEST_F(TaskRequests, DeferMarkCreateDelete) {
    auto defer = [this] { return std::to_wstring(Ops().DeferTaskItem(7)); };
    auto markDeleted = [this] {
        bool made = Ops().MarkTaskDeleted(3);
        return std::to_wstring(made) + L" flag " + std::to_wstring(tasks.FindByKey(3)->ToDo_DeletedFlag);
    };
    auto create = [this] { return std::to_wstring(Ops().CreateTask({0, L"New pump", L"Install it", 0, L"soon", L""})); };
    auto remove = [this] { return std::to_wstring(Ops().DeleteTasks({10, 4, 3, 9, 5, 4})); };
    const std::wstring deferred = Stamped(L"DeferTask") + L"AddField ToDo_Index I4 7|AddField ToDo_ModifiedBy BSTR ";
    const std::wstring deferredAt = L"|AddField ToDo_ModifiedDate R8 <now>|EndElement TaskItem|Execute 0|";
    const std::wstring marked = Stamped(L"SetTaskItemData") + L"AddField ToDo_Index I4 3|AddField ToDo_DeletedFlag I4 1|"
        L"AddField ToDo_DeletedBy BSTR j.smith|AddField ToDo_DeletedDate R8 <now>|EndElement TaskItem|Execute 0|(released)";
    const std::wstring created = Stamped(L"CreateTask") +
        L"AddField ToDo_Name BSTR New pump|AddField ToDo_Description BSTR Install it|AddField ToDo_Status I4 0|"
        L"AddField ToDo_Notes BSTR soon|AddField ToDo_CreatedBy BSTR j.smith|AddField ToDo_CreatedDate R8 <now>|"
        L"AddField ToDo_Category I4 5|EndElement TaskItem|Execute 0|(released)";
    const std::wstring firstRun =
        Stamped(L"DeleteTask") + L"AddField ToDo_Index I4 3|AddField Count I4 3|EndElement TaskItem|Execute 0|(released)";
    Run({
        {"defer reads the answer", Output(L"DeferTask", L"ignored"), defer, L"1",
         deferred + L"j.smith" + deferredAt + L"GetOutput|(released)"},
        {"defer refused", Fails(L"DeferTask", E_FAIL), defer, L"0", deferred + L"j.smith" + deferredAt + L"(released)"},
        {"defer without a request", NoRequest(E_OUTOFMEMORY), defer, L"0", L""},
        {"mark deleted", nullptr, markDeleted, L"1 flag 1", marked},
        {"create a manual task", nullptr, create, L"1", created},
        {"create refused", Fails(L"CreateTask", E_FAIL), create, L"0", created},
        {"permanent delete: runs renumbered, a task selected twice deleted once", nullptr, remove, L"1",
         firstRun + L"|" + Stamped(L"DeleteTask") +
             L"AddField ToDo_Index I4 6|AddField Count I4 2|EndElement TaskItem|Execute 0|(released)"},
        // The later runs are numbered as if the failed one had deleted its tasks.
        {"permanent delete stops at the first failed run", Fails(L"DeleteTask", 0x80040E14), remove, L"1", firstRun},
    });
}

TEST_F(TaskRequests, RunsAndClaims) {
    auto run = [this] { return RunTask(5); };
    const std::wstring action = Stamped(L"ActionTask") +
        L"AddField ToDo_Index I4 5|AddField ToDo_RunBy BSTR j.smith|AddField ToDo_RunDate R8 <now>|EndElement TaskItem|"
        L"Execute 0|";
    const std::wstring answered = action + L"GetOutput|";
    const std::wstring claims = answered + L"Initialize|SynchronizeClaims <Claims/>|";
    auto claimsAnd = [this](std::function<void()> then) {
        return [this, then] {
            script.outputs[L"ActionTask"] = L"<Claims/>";
            then();
        };
    };
    Run({
        {"no answer", nullptr, run, L"0", answered + L"(released)"},
        {"answer Error", Output(L"ActionTask", L"Error"), run, L"1", answered + L"(released)"},
        {"any other answer is a claims document", Output(L"ActionTask", L"error"), run, L"0",
         answered + L"Initialize|SynchronizeClaims error|(released)"},
        {"refused", Fails(L"ActionTask", 0x80040E14), run, L"0x80040e14", action + L"(released)"},
        {"no request", NoRequest(E_OUTOFMEMORY), run, L"0x8007000e", L""},
        // An answer that cannot be read may be claims never synchronized: the run failed.
        {"answer unreadable", claimsAnd([this] { script.getOutputResult = 0x800706BE; }), run, L"0x800706be",
         answered + L"(released)"},
        // The error is marked with a request of its own while the run's request still lives.
        {"claims rejected: the task is marked in error",
         claimsAnd([this] { services->errorMessage = L"P-101 is locked by another user"; }), run, L"1",
         claims + Stamped(L"SetTaskItemData") +
             L"AddField ToDo_Index I4 5|AddField ToDo_Status I4 3|AddField ToDo_Notes BSTR P-101 is locked by another user|"
             L"EndElement TaskItem|Execute 0|(released)|(released)"},
        {"client services not made", claimsAnd([this] { factory->failure = REGDB_E_CLASSNOTREG; }), run,
         L"raised 0x80040154 Unable to instance Zev Odovidedava Zedevodiv component", answered + L"(released)"},
        {"client services not initialized", claimsAnd([this] { services->initializeResult = E_ACCESSDENIED; }), run,
         L"raised 0x80070005 Unable to initialize Zev Odovidedava Zedevodiv component", answered + L"Initialize|(released)"},
        {"claims not synchronized", claimsAnd([this] { services->synchronizeResult = 0x80040E14; }), run,
         L"raised 0x80040e14 Claim in ZAR failed", claims + L"(released)"},
        {"without a workspace", nullptr, [this] { return Outcome(TaskOperations(nullptr, tasks).RunTaskItem(3)); }, L"0", L""},
    });
}

TEST_F(TaskRequests, TextCallsAndFetches) {
    auto assignments = [this] {
        winkit::UniqueBstr document = winkit::UniqueBstr::Copy(L"kept");
        Ops().FetchTaskAssignments(6, document);
        return document.str();
    };
    auto fetch = [this] { return Fetch(workspace.get()); };
    auto efData = [this] { return TextCall(L"GetEFData", L""); };
    const std::wstring fetched = Opening(L"GetTaskList") + L"Execute 0|";
    Run({
        {"assignments of a task: its index as text", Output(L"GetTaskAssignments", L"<O X=\"6\"/>"), assignments,
         L"<O X=\"6\"/>", Opening(L"GetTaskAssignments") + L"SetInput 6|Execute 0|GetOutput|(released)"},
        {"assignments refused", Fails(L"GetTaskAssignments", E_FAIL), assignments, L"kept",
         Opening(L"GetTaskAssignments") + L"SetInput 6|Execute 0|(released)"},
        {"text call without input", Output(L"GetEFData", L"<EF/>"), efData, L"0x0 <EF/>",
         Opening(L"GetEFData") + L"Execute 0|GetOutput|(released)"},
        {"text call without a request", NoRequest(kRefused), efData, L"0x80041001 kept", L""},
        {"text call refused", Fails(L"SynchronizeObjectClaim", kRefused),
         [this] { return TextCall(L"SynchronizeObjectClaim", L"42"); },
         L"0x80041001 kept", Opening(L"SynchronizeObjectClaim") + L"SetInput 42|Execute 0|(released)"},
        {"text call whose answer cannot be read",
         [this] {
             script.outputs[L"GetEFData"] = L"partial";
             script.getOutputResult = kRefused;
         }, efData, L"0x80041001 kept", Opening(L"GetEFData") + L"Execute 0|GetOutput|(released)"},
        {"fetch refused: the listed tasks stay", Fails(L"GetTaskList", E_FAIL), fetch, L"10 tasks", fetched + L"(released)"},
        {"fetch without a request", NoRequest(E_FAIL), fetch, L"10 tasks", L""},
        {"fetch without a workspace", nullptr, [this] { return Fetch(nullptr); }, L"10 tasks", L""},
        {"fetch of an empty answer", nullptr, fetch, L"0 tasks", fetched + L"GetOutput|(released)"},
        {"fetch whose answer cannot be read loads nothing", [this] { script.getOutputResult = E_FAIL; }, fetch, L"0 tasks",
         fetched + L"GetOutput|(released)"},
    });
}
