// The simulated framework component as the To Do list and the client services call it:
// through the workspace's service requests, saving into the workspace file at once.
#include <gtest/gtest.h>
#include <algorithm>
#include <map>
#include <sstream>
#include "simtestsupport.h"
#include "taskfields.h"
#include "winkit/unique_bstr.h"

using namespace simtest;

namespace {

// 5 December 2026, 12:00:00 as an OLE Automation date, and as the workspace keeps it.
constexpr double kNoonDec5 = 46361.5;
constexpr const wchar_t* kNoonText = L"2026-12-05 12:00:00";

std::vector<std::wstring> Lines(const std::wstring& text) {
    std::vector<std::wstring> lines;
    std::wistringstream in(text);
    for (std::wstring line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

class SimFramework : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(sample_.workspace); }

    CallResult Run(const Call& call) { return simtest::Run(sample_.workspace.get(), call); }
    std::wstring TaskList() { return Run({L"GetTaskList"}).output; }
    long Count() {
        long count = 0;
        sample_.scriptable->get_TaskCount(&count);
        return count;
    }
    // Every field of a task by name; a task not made yet has the fields of a new one.
    std::map<std::wstring, std::wstring> AllFields(long index) {
        bool made = index <= Count();
        std::map<std::wstring, std::wstring> fields;
        for (const sim::TaskFieldInfo& field : sim::TaskFields())
            fields[field.name] = made ? sample_.Field(index, field.name) : field.kind == sim::FieldKind::Integer ? L"0" : L"";
        for (const wchar_t* name : {L"Assignments", L"ActionClaims", L"FailsOnAction"})
            fields[name] = made ? sample_.Field(index, name) : name[0] == L'F' ? L"0" : L"";
        return fields;
    }

    SampleCopy sample_;
};

} // namespace

TEST_F(SimFramework, GetTaskListNumbersEveryTaskOnItsOwnLine) {
    std::vector<std::wstring> lines = Lines(TaskList());
    ASSERT_EQ(33u, lines.size());
    EXPECT_EQ(L"<TaskItemList>|<Privilege Delete=\"1\" Run=\"1\" Defer=\"1\"/>|</TaskItemList>", lines[0] + L"|" + lines[1] + L"|" + lines[32]);
    for (size_t i = 0; i < 30; ++i) {
        const std::wstring& line = lines[i + 2];
        EXPECT_EQ(0u, line.find(L"<TaskItem ToDo_Index=\"" + std::to_wstring(i + 1) + L"\" ToDo_Name=\"")) << line.c_str();
        EXPECT_EQ(20, std::count(line.begin(), line.end(), L'=')) << line.c_str();
    }
    EXPECT_NE(std::wstring::npos, lines[27].find(L"ToDo_Notes=\"TI-01 and TI-02 confirmed.&#10;TI-03: contractor to check "
                                                 L"the &quot;hot tap&quot; option."));
}

TEST_F(SimFramework, ChangesReachExactlyTheirTaskAndTheFile) {
    struct Case {
        Call call;
        const wchar_t* output;
        long task;
        std::map<std::wstring, std::wstring> changed;
    } cases[] = {
        {{L"SetTaskItemData", {I4(L"ToDo_Index", 9), Str(L"ToDo_Name", L"Renamed <\"pump\"> & co"), I4(L"ToDo_Status", 3),
                               Str(L"ToDo_Notes", L"line 1\r\nline 2"), Date(L"ToDo_ModifiedDate", kNoonDec5)}},
         L"", 9, {{L"ToDo_Name", L"Renamed <\"pump\"> & co"}, {L"ToDo_Status", L"3"}, {L"ToDo_Notes", L"line 1\r\nline 2"},
                  {L"ToDo_ModifiedDate", kNoonText}}},
        {{L"CreateTask", {Str(L"ToDo_Name", L"Check nozzle loads"), I4(L"ToDo_Status", 1), Date(L"ToDo_CreatedDate", kNoonDec5)}},
         L"", 31, {{L"ToDo_Name", L"Check nozzle loads"}, {L"ToDo_Status", L"1"}, {L"ToDo_CreatedDate", kNoonText}, {L"ToDo_Category", L"5"}}},
        {{L"DeferTask", {I4(L"ToDo_Index", 1), Str(L"ToDo_ModifiedBy", L"asmith"), Date(L"ToDo_ModifiedDate", kNoonDec5)}},
         L"", 1, {{L"ToDo_Status", L"4"}, {L"ToDo_ModifiedBy", L"asmith"}, {L"ToDo_ModifiedDate", kNoonText}}},
        {{L"DeferTask", {I4(L"ToDo_Index", 1)}}, L"", 1, {{L"ToDo_Status", L"0"}}},  // deferred again: open
        {{L"ActionTask", {I4(L"ToDo_Index", 1), Str(L"ToDo_RunBy", L"PLANT\\jdoe"), Date(L"ToDo_RunDate", kNoonDec5)}},
         L"", 1, {{L"ToDo_Status", L"2"}, {L"ToDo_RunBy", L"PLANT\\jdoe"}, {L"ToDo_RunDate", kNoonText}}},
        {{L"ActionTask", {I4(L"ToDo_Index", 12)}}, L"Error", 12, {{L"ToDo_Status", L"3"}}},
        {{L"ActionTask", {I4(L"ToDo_Index", 7)}},
         L"<Claims>\n<Claim OID=\"1002\" Name=\"V-205\" Locked=\"1\" LockedBy=\"kmueller\"/>\n</Claims>", 7, {{L"ToDo_Status", L"2"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.call.method << " of task " << c.task);
        std::map<std::wstring, std::wstring> expected = AllFields(c.task);
        for (const auto& [name, value] : c.changed) expected[name] = value;
        std::vector<std::wstring> before = Lines(TaskList());
        CallResult result = Run(c.call);
        ASSERT_EQ(S_OK, result.hr) << result.error.c_str();
        EXPECT_EQ(c.output, result.output);
        EXPECT_EQ(expected, AllFields(c.task));
        std::vector<std::wstring> after = Lines(TaskList());
        if (static_cast<size_t>(c.task) + 2 < before.size()) before.erase(before.begin() + c.task + 1);
        after.erase(after.begin() + c.task + 1);
        EXPECT_EQ(before, after) << "the other tasks";
    }
    // A new workspace object on the file sees it all.
    SampleCopy other;
    other.scriptable->Open(winkit::UniqueBstr::Copy(sample_.path).get());
    EXPECT_EQ(TaskList(), simtest::Run(other.workspace.get(), {L"GetTaskList"}).output);
}

TEST_F(SimFramework, DeletedRunsRenumberTheTasksAfterThem) {
    // The To Do list deletes the selected 3, 4, 5, 9 and 10 as (3, 3) and then (6, 2).
    std::vector<std::wstring> names;
    for (long i = 1; i <= 30; ++i)
        if (i < 3 || (i > 5 && i != 9 && i != 10)) names.push_back(sample_.Field(i, L"ToDo_Name"));
    ASSERT_EQ(S_OK, Run({L"DeleteTask", {I4(L"ToDo_Index", 3), I4(L"Count", 3)}}).hr);
    ASSERT_EQ(S_OK, Run({L"DeleteTask", {I4(L"ToDo_Index", 6), I4(L"Count", 2)}}).hr);
    ASSERT_EQ(25, Count());
    for (long i = 1; i <= 25; ++i) EXPECT_EQ(names[static_cast<size_t>(i - 1)], sample_.Field(i, L"ToDo_Name")) << i;
    EXPECT_NE(std::wstring::npos, TaskList().find(L"<TaskItem ToDo_Index=\"3\" ToDo_Name=\"" + names[2] + L"\""));
    EXPECT_EQ(S_OK, Run({L"DeleteTask", {I4(L"ToDo_Index", 25), I4(L"Count", 1)}}).hr) << "the last task";
    EXPECT_EQ(E_INVALIDARG, Run({L"DeleteTask", {I4(L"ToDo_Index", 2), I4(L"Count", 2147483647)}}).hr);
    CallResult beyond = Run({L"DeleteTask", {I4(L"ToDo_Index", 23), I4(L"Count", 3)}});
    EXPECT_EQ(E_INVALIDARG, beyond.hr);
    EXPECT_EQ(L"DeleteTask: 3 tasks from ToDo_Index 23 reach beyond the last task 24", beyond.error);
}

TEST_F(SimFramework, AssignmentsFollowSetTaskItemDataOnTheSameRequestAndBelongToItsTask) {
    EXPECT_EQ(0u, Run({L"GetTaskAssignments", {}, L"3"}).output.find(L"<O X=\"3\" U=\"51B0E7F4-0003\" I=\"VLV\" N=\"XV-1203\""));
    const std::wstring document = L"<O X=\"3\" N=\"XV-1203\" C=\"On/Off Valve\"><A I=\"Size\" V=\"10\" S=\"1\" C=\"0\"/></O>";
    const struct {
        long task;
        std::wstring document;
        HRESULT hr;
        const wchar_t* error;
    } cases[] = {
        {3, document, S_OK, L""},
        {9, document, E_INVALIDARG, L"SetTaskAssignments: the assignments document is for the task with X='3', not for ToDo_Index 9"},
        {3, L"<O X=\"3\">", E_INVALIDARG, L"The assignments document is not well-formed XML"},
        {3, L"", S_OK, L""},  // without a document the task keeps its own
    };
    for (const auto& c : cases) {
        winkit::ComPtr<IServiceRequest> request;
        ASSERT_EQ(S_OK, sample_.workspace->CreateServiceRequest(request.put()));
        EXPECT_EQ(S_OK, simtest::Run(request.get(), {L"SetTaskItemData", {I4(L"ToDo_Index", c.task), Str(L"ToDo_Notes", L"saved")}}).hr);
        CallResult result = simtest::Run(request.get(), {L"SetTaskAssignments", {}, c.document});
        EXPECT_EQ(c.hr, result.hr) << c.document.c_str();
        EXPECT_EQ(0u, result.error.find(c.error)) << c.document.c_str();
        EXPECT_EQ(document, Run({L"GetTaskAssignments", {}, L"3"}).output);
        EXPECT_EQ(L"", Run({L"GetTaskAssignments", {}, L"9"}).output);
    }
    EXPECT_EQ(L"saved", sample_.Field(3, L"ToDo_Notes"));
}

TEST_F(SimFramework, FrameworkDataClaimsAndTheUserComeFromTheWorkspace) {
    EXPECT_EQ(L"<FrameworkData EFURL=\"http://zod-ef.northfield.example/ef/services\" EFPLANT=\"NORTHFIELD\" EFSIGNATURE=\"ZOD-7F3A-2291\""
              L" TEFVERSION=\"3.65\" EFUID=\"jdoe\" EFNAME=\"Northfield Engineering Framework\" RESTORE=\"\""
              L" PLANTNAME=\"Northfield Refinery\" AREANAME=\"Area 01 Feed\" UNITNAME=\"Unit 0101\"/>",
              Run({L"GetEFData"}).output);
    EXPECT_EQ(L"<Claims>\n<Claim OID=\"1001\" Name=\"P-101A\" Locked=\"0\"/>\n</Claims>", Run({L"SynchronizeObjectClaim", {}, L"1001"}).output);
    CallResult unknown = Run({L"SynchronizeObjectClaim", {}, L"4711"});
    EXPECT_EQ(S_OK, unknown.hr);
    EXPECT_EQ(L"", unknown.output) << "an object the workspace does not know has no claims";
    winkit::UniqueBstr user, name;
    EXPECT_EQ(S_OK, sample_.workspace->GetUserName(user.put()) | sample_.workspace->GetWorkspaceName(name.put()));
    EXPECT_EQ(L"PLANT\\jdoe|Unit 0101 Feed Pumps and Cooling Water", user.str() + L"|" + name.str());
}

TEST_F(SimFramework, BadCallsAndCallsTheUserMayNotMakeFailWithTheirReasonAndLeaveTheFileUntouched) {
    std::string text = ReadBytes(sample_.path);
    const std::string all = "<Privileges Delete=\"1\" Run=\"1\" Defer=\"1\"/>";
    text.replace(text.find(all), all.size(), "<Privileges Delete=\"0\" Run=\"0\" Defer=\"0\"/>");
    WriteBytes(sample_.path, text);
    EXPECT_EQ(0u, TaskList().find(L"<TaskItemList>\n<Privilege Delete=\"0\" Run=\"0\" Defer=\"0\"/>"));
    const struct {
        Call call;
        HRESULT hr;
        const wchar_t* reason;  // the start of the first Desc
    } cases[] = {
        {{L"SetTaskItemData", {I4(L"ToDo_Index", 1)}, L"", L"QRDBEFrameworkSvcs.Other"}, REGDB_E_CLASSNOTREG,
         L"The component 'QRDBEFrameworkSvcs.Other' is not available here"},
        {{L"SetTaskItemData", {I4(L"ToDo_Index", 31)}}, E_INVALIDARG, L"SetTaskItemData: ToDo_Index 31 lies outside the tasks 1 to 30"},
        {{L"SetTaskItemData", {I4(L"ToDo_Index", 1), Str(L"ToDo_Name", L"changed"), I4(L"ToDo_Status", 5)}}, E_INVALIDARG,
         L"SetTaskItemData: the field 'ToDo_Status' holds 5; a value from 0 to 4 is expected"},
        {{L"SetTaskItemData", {I4(L"ToDo_Index", 1), Str(L"ToDo_Notes", L"bell\x01")}}, E_INVALIDARG,
         L"SetTaskItemData: the field 'ToDo_Notes' holds the character U+0001"},
        {{L"SetTaskItemData", {I4(L"ToDo_Index", 1), Str(L"ToDo_Colour", L"red")}}, E_INVALIDARG,
         L"SetTaskItemData does not take the field 'ToDo_Colour'"},
        {{L"CreateTask", {Str(L"ToDo_Name", L"Not manual"), I4(L"ToDo_Category", 2)}}, E_INVALIDARG,
         L"CreateTask makes Manual tasks (ToDo_Category 5) only, not category 2"},
        {{L"ActionTask", {I4(L"ToDo_Index", 1)}}, E_ACCESSDENIED, L"ActionTask: the user 'PLANT\\jdoe' may not run tasks in this workspace"},
        {{L"DeferTask", {I4(L"ToDo_Index", 1)}}, E_ACCESSDENIED, L"DeferTask: the user 'PLANT\\jdoe' may not"},
        {{L"DeleteTask", {I4(L"ToDo_Index", 1), I4(L"Count", 1)}}, E_ACCESSDENIED, L"DeleteTask: the user 'PLANT\\jdoe' may not"},
        {{L"GetTaskAssignments", {}, L" 3"}, E_INVALIDARG, L"GetTaskAssignments: the input text ' 3' is not a ToDo_Index"},
    };
    for (const auto& c : cases) {
        CallResult result = Run(c.call);
        EXPECT_EQ(c.hr, result.hr) << c.reason;
        EXPECT_EQ(0u, result.error.find(c.reason)) << "got: " << std::string(result.error.begin(), result.error.end());
        EXPECT_EQ(L"", result.output);
    }
    EXPECT_EQ(text, ReadBytes(sample_.path));
    EXPECT_EQ(std::vector<std::wstring>{L"workspace.xml"}, sample_.folder.Files());
}
