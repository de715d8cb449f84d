// The requests every task operation sends: field names, order, VARIANT types, values.
#include <gtest/gtest.h>
#include <regex>
#include "diagnostics/qrcomexception.h"
#include "support/errorinfo_helpers.h"
#include "support/fake_clientservices.h"
#include "support/fake_workspace.h"
#include "taskitemcollection.h"
#include "taskoperations.h"
#include "userstamp.h"

namespace {

using Calls = std::vector<std::wstring>;

TaskItem Task(int index, int category, int status = kStatusOpen, int deleted = 0) {
    TaskItem t;
    t.ToDo_Index = index;
    t.ToDo_Category = category;
    t.ToDo_Status = status;
    t.ToDo_DeletedFlag = deleted;
    t.ToDo_Name = L"Task " + std::to_wstring(index);
    return t;
}

class TaskOperationsTest : public testing::Test {
protected:
    void SetUp() override {
        workspace->userName = L"j.smith";
        workspace->UseScript(script);
        for (int i = 1; i <= 10; ++i) tasks.Items().push_back(Task(i, i == 2 ? kCategoryClaim : kCategoryManual));
    }
    // The calls, with every date value replaced by "R8 <now>" after checking it is now.
    Calls LoggedCalls() {
        Calls calls;
        double now = AutomationDateNow();
        static const std::wregex date(L"^(AddField \\w+) R8 ([0-9.]+)$");
        for (const std::wstring& call : script.log->calls) {
            std::wsmatch match;
            if (std::regex_match(call, match, date)) {
                double value = std::stod(match[2].str());
                EXPECT_NEAR(now, value, 2.0 / 86400) << "a date field is the local time now";
                calls.push_back(match[1].str() + L" R8 <now>");
            } else {
                calls.push_back(call);
            }
        }
        return calls;
    }
    static Calls Opening(const wchar_t* method) {
        return {L"SetFlags 0", L"SetComponent QRDBEFrameworkSvcs.Main", std::wstring(L"SetMethod ") + method};
    }
    static Calls Join(std::initializer_list<Calls> parts) {
        Calls all;
        for (const Calls& part : parts) all.insert(all.end(), part.begin(), part.end());
        return all;
    }

    RequestScript script;
    testcom::Fake<FakeWorkspace> workspace;
    TaskItemCollection tasks;
    TaskOperations operations{workspace.get(), tasks};
};

const Calls kStampedRecord = {L"BeginInput", L"GetUserName", L"BeginElement TaskItem"};

} // namespace

TEST_F(TaskOperationsTest, SaveOfAManualTaskSendsItsStatusThenTheAssignments) {
    TaskPropertyValues values{4, L"Pump", L"Check seals", kStatusInProgress, L"Noisy", L"<O X=\"4\"/>"};
    operations.SaveTaskProperties(values);
    EXPECT_EQ(Join({Opening(L"SetTaskItemData"), kStampedRecord,
                    {L"AddField ToDo_Index I4 4", L"AddField ToDo_Name BSTR Pump", L"AddField ToDo_Description BSTR Check seals",
                     L"AddField ToDo_Status I4 1", L"AddField ToDo_Notes BSTR Noisy", L"AddField ToDo_ModifiedBy BSTR j.smith",
                     L"AddField ToDo_ModifiedDate R8 <now>", L"EndElement TaskItem", L"Execute 0",
                     L"SetMethod SetTaskAssignments", L"SetInput <O X=\"4\"/>", L"Execute 0", L"(released)"}}),
              LoggedCalls());
    const TaskItem& task = tasks.Item(3);
    EXPECT_EQ(L"Pump", task.ToDo_Name);
    EXPECT_EQ(L"Check seals", task.ToDo_Description);
    EXPECT_EQ(L"Noisy", task.ToDo_Notes);
    EXPECT_EQ(kStatusInProgress, task.ToDo_Status);
    EXPECT_EQ(L"j.smith", task.ToDo_ModifiedBy);
    EXPECT_FALSE(task.ToDo_ModifiedDate.empty());
}

TEST_F(TaskOperationsTest, SaveWhoseAssignmentsMethodCannotBeSetDoesNotRunTheDataMethodAgain) {
    script.setMethodResults[L"SetTaskAssignments"] = E_FAIL;
    workspace->UseScript(script);
    operations.SaveTaskProperties({4, L"Pump", L"Check seals", kStatusInProgress, L"Noisy", L"<O X=\"4\"/>"});
    Calls calls = LoggedCalls();
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ((Calls{L"Execute 0", L"SetMethod SetTaskAssignments", L"(released)"}),
              Calls(calls.end() - 3, calls.end()));
    EXPECT_EQ(1, std::count(calls.begin(), calls.end(), L"Execute 0"));
}

// The page shows a Claim task's description as a sentence made from its name; the task's
// own description is what is sent back, so that saving its notes does not replace it.
TEST_F(TaskOperationsTest, SaveOfAClaimTaskSendsNoStatusButStillTheAssignmentsCall) {
    tasks.Item(1).ToDo_Description = L"Claim P-101 for the nozzle change";
    operations.SaveTaskProperties({2, L"P-101", L"This task will Claim P-101", kStatusCompleted, L"n", L""});
    EXPECT_EQ(Join({Opening(L"SetTaskItemData"), kStampedRecord,
                    {L"AddField ToDo_Index I4 2", L"AddField ToDo_Name BSTR P-101",
                     L"AddField ToDo_Description BSTR Claim P-101 for the nozzle change", L"AddField ToDo_Notes BSTR n",
                     L"AddField ToDo_ModifiedBy BSTR j.smith", L"AddField ToDo_ModifiedDate R8 <now>", L"EndElement TaskItem",
                     L"Execute 0", L"SetMethod SetTaskAssignments", L"SetInput ", L"Execute 0", L"(released)"}}),
              LoggedCalls());
    EXPECT_EQ(kStatusCompleted, tasks.Item(1).ToDo_Status);  // the local status is patched all the same
    EXPECT_EQ(L"Claim P-101 for the nozzle change", tasks.Item(1).ToDo_Description);
}

TEST_F(TaskOperationsTest, SaveOfAnIndexThatNamesNoTaskSendsNothing) {
    operations.SaveTaskProperties({42, L"x", L"y", 0, L"z", L""});
    EXPECT_TRUE(script.log->calls.empty());
}

TEST_F(TaskOperationsTest, DeferReadsTheOutputOnlyAfterASuccessfulExecute) {
    script.outputs[L"DeferTask"] = L"ignored";
    EXPECT_TRUE(operations.DeferTaskItem(7));
    EXPECT_EQ(Join({Opening(L"DeferTask"), kStampedRecord,
                    {L"AddField ToDo_Index I4 7", L"AddField ToDo_ModifiedBy BSTR j.smith",
                     L"AddField ToDo_ModifiedDate R8 <now>", L"EndElement TaskItem", L"Execute 0", L"GetOutput", L"(released)"}}),
              LoggedCalls());
    script.log->calls.clear();
    script.executeResults[L"DeferTask"] = E_FAIL;
    workspace->UseScript(script);
    EXPECT_FALSE(operations.DeferTaskItem(7));
    Calls calls = LoggedCalls();
    EXPECT_EQ(L"Execute 0", calls[calls.size() - 2]);
    EXPECT_EQ(tasks.Item(6).ToDo_Status, kStatusOpen);  // no local change
}

TEST_F(TaskOperationsTest, RunSendsWhoAndWhenAndAnswersByTheOutput) {
    EXPECT_EQ(0, operations.RunTaskItem(3));
    EXPECT_EQ(Join({Opening(L"ActionTask"), kStampedRecord,
                    {L"AddField ToDo_Index I4 3", L"AddField ToDo_RunBy BSTR j.smith", L"AddField ToDo_RunDate R8 <now>",
                     L"EndElement TaskItem", L"Execute 0", L"GetOutput", L"(released)"}}),
              LoggedCalls());

    script.outputs[L"ActionTask"] = L"Error";
    workspace->UseScript(script);
    EXPECT_EQ(1, operations.RunTaskItem(3));

    script.executeResults[L"ActionTask"] = static_cast<HRESULT>(0x80040E14);
    workspace->UseScript(script);
    EXPECT_EQ(static_cast<HRESULT>(0x80040E14), operations.RunTaskItem(3));

    script.createResult = E_OUTOFMEMORY;
    workspace->UseScript(script);
    EXPECT_EQ(E_OUTOFMEMORY, operations.RunTaskItem(3));

    TaskOperations without(nullptr, tasks);
    EXPECT_EQ(0, without.RunTaskItem(3));
}

TEST_F(TaskOperationsTest, RunHandsAClaimsDocumentToTheClientServices) {
    testcom::Fake<FakeClientServices> services;
    Calls serviceCalls;
    services->calls = &serviceCalls;
    ClientServicesRegistration registration(services.get());
    script.outputs[L"ActionTask"] = L"error";  // only "Error" in that case is the failure answer
    workspace->UseScript(script);
    EXPECT_EQ(0, operations.RunTaskItem(5));
    EXPECT_EQ((Calls{L"Initialize", L"SynchronizeClaims error"}), serviceCalls);
    EXPECT_EQ(2u, services->RefCount());  // the test's and the class object's: released on every path
}

// The framework ran the task, but its answer (perhaps claims to synchronize) cannot be
// read: the run failed, and no client services object is made for an answer never seen.
TEST_F(TaskOperationsTest, RunWhoseAnswerCannotBeReadFails) {
    testcom::Fake<FakeClientServices> services;
    Calls serviceCalls;
    services->calls = &serviceCalls;
    ClientServicesRegistration registration(services.get());
    script.outputs[L"ActionTask"] = L"<Claims/>";
    script.getOutputResult = static_cast<HRESULT>(0x800706BE);
    workspace->UseScript(script);
    EXPECT_EQ(static_cast<HRESULT>(0x800706BE), operations.RunTaskItem(5));
    EXPECT_TRUE(serviceCalls.empty());
}

TEST_F(TaskOperationsTest, RejectedClaimsMarkTheTaskInError) {
    testcom::Fake<FakeClientServices> services;
    services->errorMessage = L"P-101 is locked by another user";
    ClientServicesRegistration registration(services.get());
    script.outputs[L"ActionTask"] = L"<Claims/>";
    workspace->UseScript(script);
    EXPECT_EQ(1, operations.RunTaskItem(5));
    Calls calls = LoggedCalls();
    Calls markError = Join({Opening(L"SetTaskItemData"), kStampedRecord,
                            {L"AddField ToDo_Index I4 5", L"AddField ToDo_Status I4 3",
                             L"AddField ToDo_Notes BSTR P-101 is locked by another user", L"EndElement TaskItem", L"Execute 0",
                             L"(released)", L"(released)"}});
    // The error is marked with a request of its own while the run's request still lives.
    ASSERT_GE(calls.size(), markError.size());
    EXPECT_EQ(markError, Calls(calls.end() - markError.size(), calls.end()));
    EXPECT_EQ(2u, services->RefCount());
}

TEST_F(TaskOperationsTest, ClientServicesFailuresAreRaisedWithTheirMessages) {
    struct Case {
        HRESULT create, initialize, synchronize;
        const wchar_t* message;
        HRESULT expected;
    } cases[] = {
        {REGDB_E_CLASSNOTREG, S_OK, S_OK, L"Unable to instance Zev Odovidedava Zedevodiv component", REGDB_E_CLASSNOTREG},
        {S_OK, E_ACCESSDENIED, S_OK, L"Unable to initialize Zev Odovidedava Zedevodiv component", E_ACCESSDENIED},
        {S_OK, S_OK, static_cast<HRESULT>(0x80040E14), L"Claim in ZAR failed", static_cast<HRESULT>(0x80040E14)},
    };
    for (const Case& c : cases) {
        testcom::Fake<FakeClientServices> services;
        services->initializeResult = c.initialize;
        services->synchronizeResult = c.synchronize;
        ClientServicesRegistration registration(services.get());
        registration.factory->failure = c.create;
        script.outputs[L"ActionTask"] = L"<Claims/>";
        workspace->UseScript(script);
        ClearThreadError();
        try {
            operations.RunTaskItem(5);
            ADD_FAILURE() << "must raise: " << c.message;
        } catch (QRComException& e) {
            EXPECT_EQ(c.expected, e.result);
            QRComException scope;
            scope.Catch(QR_HERE, e);
            scope.Result();
            std::wstring description = TakeThreadError().description;
            EXPECT_EQ(0u, description.find(std::wstring(L"<QRError Desc=\"") + c.message + L"\"")) << description.c_str();
        }
        EXPECT_EQ(2u, services->RefCount());
    }
}

TEST_F(TaskOperationsTest, FetchAssignmentsSendsTheIndexAsText) {
    script.outputs[L"GetTaskAssignments"] = L"<O X=\"6\"/>";
    workspace->UseScript(script);
    winkit::UniqueBstr document;
    operations.FetchTaskAssignments(6, document);
    EXPECT_EQ(L"<O X=\"6\"/>", document.str());
    EXPECT_EQ(Join({Opening(L"GetTaskAssignments"), {L"SetInput 6", L"Execute 0", L"GetOutput", L"(released)"}}), LoggedCalls());

    script.executeResults[L"GetTaskAssignments"] = E_FAIL;
    workspace->UseScript(script);
    operations.FetchTaskAssignments(6, document);
    EXPECT_EQ(L"<O X=\"6\"/>", document.str());  // untouched on failure
}

TEST_F(TaskOperationsTest, MarkingDeletedSendsTheFlagAsHeldEvenWhenItWasSet) {
    tasks.Item(8).ToDo_DeletedFlag = 1;
    EXPECT_TRUE(operations.MarkTaskDeleted(9));
    EXPECT_TRUE(operations.MarkTaskDeleted(3));
    EXPECT_EQ(1, tasks.Item(2).ToDo_DeletedFlag);
    Calls one = Join({Opening(L"SetTaskItemData"), kStampedRecord,
                      {L"AddField ToDo_Index I4 9", L"AddField ToDo_DeletedFlag I4 1", L"AddField ToDo_DeletedBy BSTR j.smith",
                       L"AddField ToDo_DeletedDate R8 <now>", L"EndElement TaskItem", L"Execute 0", L"(released)"}});
    Calls calls = LoggedCalls();
    ASSERT_EQ(2 * one.size(), calls.size());
    EXPECT_EQ(one, Calls(calls.begin(), calls.begin() + one.size()));
    script.createResult = E_FAIL;
    workspace->UseScript(script);
    EXPECT_FALSE(operations.MarkTaskDeleted(4));
}

TEST_F(TaskOperationsTest, PermanentDeleteSendsRunsAdjustedForRenumbering) {
    EXPECT_EQ((std::vector<DeletionRun>{{3, 3}, {6, 2}}), DeletionRuns({10, 4, 3, 9, 5}));
    EXPECT_EQ((std::vector<DeletionRun>{{7, 1}}), DeletionRuns({7}));
    EXPECT_EQ((std::vector<DeletionRun>{{1, 2}, {2, 1}, {4, 1}}), DeletionRuns({1, 2, 2, 4, 7}));
    EXPECT_TRUE(DeletionRuns({}).empty());

    EXPECT_TRUE(operations.DeleteTasks({3, 4, 5, 9, 10}));
    Calls run = {L"AddField ToDo_Index I4 3", L"AddField Count I4 3"};
    EXPECT_EQ(Join({Opening(L"DeleteTask"), kStampedRecord,
                    {L"AddField ToDo_Index I4 3", L"AddField Count I4 3", L"EndElement TaskItem", L"Execute 0", L"(released)"},
                    Opening(L"DeleteTask"), kStampedRecord,
                    {L"AddField ToDo_Index I4 6", L"AddField Count I4 2", L"EndElement TaskItem", L"Execute 0", L"(released)"}}),
              LoggedCalls());
}

// The runs after a failed one are numbered as if it had deleted its tasks: sent anyway,
// they would permanently delete tasks nobody selected. The list is still fetched again.
TEST_F(TaskOperationsTest, PermanentDeleteStopsAtTheFirstRunThatFails) {
    script.executeResults[L"DeleteTask"] = static_cast<HRESULT>(0x80040E14);
    workspace->UseScript(script);
    EXPECT_TRUE(operations.DeleteTasks({3, 4, 5, 9, 10}));
    EXPECT_EQ(Join({Opening(L"DeleteTask"), kStampedRecord,
                    {L"AddField ToDo_Index I4 3", L"AddField Count I4 3", L"EndElement TaskItem", L"Execute 0", L"(released)"}}),
              LoggedCalls());
}

TEST_F(TaskOperationsTest, CreateSendsAManualTask) {
    EXPECT_TRUE(operations.CreateTask({0, L"New pump", L"Install it", kStatusOpen, L"soon", L""}));
    EXPECT_EQ(Join({Opening(L"CreateTask"), kStampedRecord,
                    {L"AddField ToDo_Name BSTR New pump", L"AddField ToDo_Description BSTR Install it",
                     L"AddField ToDo_Status I4 0", L"AddField ToDo_Notes BSTR soon", L"AddField ToDo_CreatedBy BSTR j.smith",
                     L"AddField ToDo_CreatedDate R8 <now>", L"AddField ToDo_Category I4 5", L"EndElement TaskItem",
                     L"Execute 0", L"(released)"}}),
              LoggedCalls());
    script.executeResults[L"CreateTask"] = E_FAIL;
    workspace->UseScript(script);
    EXPECT_FALSE(operations.CreateTask({0, L"x", L"", 0, L"", L""}));
}

TEST_F(TaskOperationsTest, AnEmptyUserNameIsReplacedByTheSystemsName) {
    workspace->userName = L"";
    operations.DeferTaskItem(1);
    std::wstring expected = L"AddField ToDo_ModifiedBy BSTR " + SystemUserName();
    Calls calls = LoggedCalls();
    EXPECT_NE(calls.end(), std::find(calls.begin(), calls.end(), expected));
}
