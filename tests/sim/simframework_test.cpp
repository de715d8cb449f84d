// The simulated framework component, called through the workspace's service requests
// the way the To Do list calls it.
#include <gtest/gtest.h>
#include <cmath>
#include "simworkspace.h"
#include "diagnostics/qrerrorelement.h"
#include "simtestsupport.h"
#include "winkit/unique_bstr.h"

using simtest::Date;
using simtest::I4;
using simtest::Text;

namespace {

class SimFramework : public testing::Test {
protected:
    void SetUp() override {
        path_ = simtest::CopySample(folder_);
        workspace_ = simtest::OpenWorkspace(path_);
        ASSERT_TRUE(workspace_);
    }

    std::wstring Field(long index, const wchar_t* name) {
        winkit::UniqueBstr value;
        HRESULT hr = simtest::Scriptable(workspace_.get())->TaskField(index, winkit::UniqueBstr::Copy(name).get(), value.put());
        EXPECT_EQ(S_OK, hr) << index;
        return value.str();
    }
    long Count() {
        long count = 0;
        simtest::Scriptable(workspace_.get())->get_TaskCount(&count);
        return count;
    }
    // Every field of a task, for comparing a task before and after a change.
    std::vector<std::wstring> AllFields(long index) {
        std::vector<std::wstring> values;
        for (const wchar_t* name : kFieldNames) values.push_back(Field(index, name));
        return values;
    }

    static constexpr const wchar_t* kFieldNames[] = {
        L"ToDo_Name", L"ToDo_Description", L"ToDo_Notes", L"ToDo_Class", L"ToDo_ItemName", L"ToDo_CreatedDate",
        L"ToDo_CreatedBy", L"ToDo_ModifiedDate", L"ToDo_ModifiedBy", L"ToDo_RunDate", L"ToDo_RunBy", L"ToDo_DeletedDate",
        L"ToDo_DeletedBy", L"ToDo_EngineeringTool", L"ToDo_SrcDocName", L"ToDo_SrcDocType", L"ToDo_Category",
        L"ToDo_Status", L"ToDo_DeletedFlag", L"Assignments", L"ActionClaims", L"FailsOnAction"};

    simtest::ScratchFolder folder_;
    std::wstring path_;
    winkit::ComPtr<IWorkspace> workspace_;
};

// 5 December 2026, 12:00:00 as an OLE Automation date.
constexpr double kNoonDec5 = 46361.5;

} // namespace

TEST_F(SimFramework, GetTaskListNumbersEveryTaskOnItsOwnLineWithAllAttributes) {
    simtest::CallResult list = simtest::TextCall(workspace_.get(), L"GetTaskList");
    ASSERT_EQ(S_OK, list.hr) << list.error.c_str();
    std::vector<std::wstring> lines;
    for (size_t start = 0; start <= list.output.size();) {
        size_t end = std::min(list.output.find(L'\n', start), list.output.size());
        lines.push_back(list.output.substr(start, end - start));
        start = end + 1;
    }
    ASSERT_EQ(33u, lines.size());
    EXPECT_EQ(L"<TaskItemList>", lines[0]);
    EXPECT_EQ(L"<Privilege Delete=\"1\" Run=\"1\" Defer=\"1\"/>", lines[1]);
    EXPECT_EQ(L"</TaskItemList>", lines[32]);
    for (size_t i = 0; i < 30; ++i) {
        const std::wstring& line = lines[i + 2];
        EXPECT_EQ(0u, line.find(L"<TaskItem ToDo_Index=\"" + std::to_wstring(i + 1) + L"\" ToDo_Name=\"")) << line.c_str();
        EXPECT_EQ(20, std::count(line.begin(), line.end(), L'=')) << line.c_str();
    }
    EXPECT_NE(std::wstring::npos, lines[27].find(L"ToDo_Notes=\"TI-01 and TI-02 confirmed.&#10;TI-03: contractor to check the &quot;hot tap&quot; option."));
    EXPECT_NE(std::wstring::npos, lines[2].find(L" ToDo_Category=\"0\" ToDo_Status=\"0\" ToDo_DeletedFlag=\"0\"/>"));
    simtest::CallResult refused = simtest::TextCall(workspace_.get(), L"GetTaskList", L"anything");
    EXPECT_EQ(E_INVALIDARG, refused.hr);
}

TEST_F(SimFramework, SetTaskItemDataChangesExactlyTheNamedFieldsAndStoresDatesAsText) {
    std::vector<std::wstring> before = AllFields(9);
    std::vector<std::wstring> neighbour = AllFields(10);
    simtest::CallResult r = simtest::RecordCall(workspace_.get(), L"SetTaskItemData",
        {I4(L"ToDo_Index", 9), Text(L"ToDo_Name", L"Renamed <\"pump\"> & co"), I4(L"ToDo_Status", 3),
         Text(L"ToDo_Notes", L"line 1\r\nline 2"), Text(L"ToDo_ModifiedBy", L"PLANT\\jdoe"),
         Date(L"ToDo_ModifiedDate", kNoonDec5)});
    ASSERT_EQ(S_OK, r.hr) << r.error.c_str();
    EXPECT_EQ(L"", r.output);
    std::vector<std::wstring> after = AllFields(9);
    std::vector<std::wstring> expected = before;
    expected[0] = L"Renamed <\"pump\"> & co";
    expected[2] = L"line 1\r\nline 2";
    expected[7] = L"2026-12-05 12:00:00";
    expected[8] = L"PLANT\\jdoe";
    expected[17] = L"3";
    EXPECT_EQ(expected, after);
    EXPECT_EQ(neighbour, AllFields(10));
    // The stored text reads back as the same date.
    DATE parsed = 0;
    ASSERT_EQ(S_OK, VarDateFromStr(const_cast<OLECHAR*>(L"2026-12-05 12:00:00"), LOCALE_USER_DEFAULT, 0, &parsed));
    EXPECT_DOUBLE_EQ(kNoonDec5, parsed);
    // It was saved at once: a new workspace object on the file sees it.
    winkit::ComPtr<IWorkspace> other = simtest::OpenWorkspace(path_);
    winkit::UniqueBstr name;
    simtest::Scriptable(other.get())->TaskField(9, winkit::UniqueBstr::Copy(L"ToDo_Notes").get(), name.put());
    EXPECT_EQ(L"line 1\r\nline 2", name.str());
}

TEST_F(SimFramework, CreateTaskAppendsAManualTask) {
    simtest::CallResult r = simtest::RecordCall(workspace_.get(), L"CreateTask",
        {Text(L"ToDo_Name", L"Check nozzle loads"), Text(L"ToDo_Description", L"N1 and N2"), I4(L"ToDo_Status", 1),
         Text(L"ToDo_Notes", L""), Text(L"ToDo_CreatedBy", L"PLANT\\jdoe"), Date(L"ToDo_CreatedDate", kNoonDec5),
         I4(L"ToDo_Category", 5)});
    ASSERT_EQ(S_OK, r.hr) << r.error.c_str();
    ASSERT_EQ(31, Count());
    EXPECT_EQ(L"Check nozzle loads", Field(31, L"ToDo_Name"));
    EXPECT_EQ(L"5", Field(31, L"ToDo_Category"));
    EXPECT_EQ(L"1", Field(31, L"ToDo_Status"));
    EXPECT_EQ(L"2026-12-05 12:00:00", Field(31, L"ToDo_CreatedDate"));
    EXPECT_EQ(L"0", Field(31, L"ToDo_DeletedFlag"));

    std::string file = simtest::ReadBytes(path_);
    simtest::CallResult other = simtest::RecordCall(workspace_.get(), L"CreateTask",
        {Text(L"ToDo_Name", L"Not manual"), I4(L"ToDo_Category", 2)});
    EXPECT_EQ(E_INVALIDARG, other.hr);
    EXPECT_EQ(L"CreateTask makes Manual tasks (ToDo_Category 5) only, not category 2", FirstDesc(other.error));
    simtest::CallResult indexed = simtest::RecordCall(workspace_.get(), L"CreateTask",
        {I4(L"ToDo_Index", 3), Text(L"ToDo_Name", L"x")});
    EXPECT_EQ(E_INVALIDARG, indexed.hr);
    EXPECT_EQ(file, simtest::ReadBytes(path_));
}

TEST_F(SimFramework, DeleteTaskRemovesRunsAndRenumbersTheRest) {
    // The To Do list deletes the selected 3, 4, 5, 9 and 10 as (3, 3) then (6, 2).
    std::vector<std::wstring> names;
    for (long i = 1; i <= 30; ++i) names.push_back(Field(i, L"ToDo_Name"));
    ASSERT_EQ(S_OK, simtest::RecordCall(workspace_.get(), L"DeleteTask", {I4(L"ToDo_Index", 3), I4(L"Count", 3)}).hr);
    ASSERT_EQ(S_OK, simtest::RecordCall(workspace_.get(), L"DeleteTask", {I4(L"ToDo_Index", 6), I4(L"Count", 2)}).hr);
    ASSERT_EQ(25, Count());
    std::vector<std::wstring> expected;
    for (size_t i = 0; i < names.size(); ++i)
        if (i != 2 && i != 3 && i != 4 && i != 8 && i != 9) expected.push_back(names[i]);
    for (long i = 1; i <= 25; ++i) EXPECT_EQ(expected[static_cast<size_t>(i - 1)], Field(i, L"ToDo_Name")) << i;
    simtest::CallResult list = simtest::TextCall(workspace_.get(), L"GetTaskList");
    EXPECT_NE(std::wstring::npos, list.output.find(L"<TaskItem ToDo_Index=\"3\" ToDo_Name=\"" + names[5] + L"\""));
    EXPECT_EQ(std::wstring::npos, list.output.find(L"ToDo_Index=\"26\""));
    // Deleting the last task works; one more beyond the end does not.
    EXPECT_EQ(S_OK, simtest::RecordCall(workspace_.get(), L"DeleteTask", {I4(L"ToDo_Index", 25), I4(L"Count", 1)}).hr);
    simtest::CallResult beyond = simtest::RecordCall(workspace_.get(), L"DeleteTask", {I4(L"ToDo_Index", 23), I4(L"Count", 3)});
    EXPECT_EQ(E_INVALIDARG, beyond.hr);
    EXPECT_EQ(L"DeleteTask: 3 tasks from ToDo_Index 23 reach beyond the last task 24", FirstDesc(beyond.error));
}

TEST_F(SimFramework, DeferTaskTogglesBetweenDeferredAndOpen) {
    auto defer = [&](long index) {
        return simtest::RecordCall(workspace_.get(), L"DeferTask",
            {I4(L"ToDo_Index", index), Text(L"ToDo_ModifiedBy", L"asmith"), Date(L"ToDo_ModifiedDate", kNoonDec5)});
    };
    ASSERT_EQ(L"0", Field(1, L"ToDo_Status"));
    simtest::CallResult r = defer(1);
    ASSERT_EQ(S_OK, r.hr) << r.error.c_str();
    EXPECT_EQ(L"4", Field(1, L"ToDo_Status"));
    EXPECT_EQ(L"asmith", Field(1, L"ToDo_ModifiedBy"));
    EXPECT_EQ(L"2026-12-05 12:00:00", Field(1, L"ToDo_ModifiedDate"));
    ASSERT_EQ(S_OK, defer(1).hr);
    EXPECT_EQ(L"0", Field(1, L"ToDo_Status"));
    ASSERT_EQ(L"4", Field(10, L"ToDo_Status"));
    ASSERT_EQ(S_OK, defer(10).hr);
    EXPECT_EQ(L"0", Field(10, L"ToDo_Status"));
}

TEST_F(SimFramework, ActionTaskCompletesFailsOrAnswersClaims) {
    simtest::CallResult plain = simtest::RecordCall(workspace_.get(), L"ActionTask",
        {I4(L"ToDo_Index", 1), Text(L"ToDo_RunBy", L"PLANT\\jdoe"), Date(L"ToDo_RunDate", kNoonDec5)});
    ASSERT_EQ(S_OK, plain.hr) << plain.error.c_str();
    EXPECT_EQ(L"", plain.output);
    EXPECT_EQ(L"2", Field(1, L"ToDo_Status"));
    EXPECT_EQ(L"PLANT\\jdoe", Field(1, L"ToDo_RunBy"));
    EXPECT_EQ(L"2026-12-05 12:00:00", Field(1, L"ToDo_RunDate"));

    ASSERT_EQ(L"1", Field(12, L"FailsOnAction"));
    simtest::CallResult failing = simtest::RecordCall(workspace_.get(), L"ActionTask", {I4(L"ToDo_Index", 12)});
    ASSERT_EQ(S_OK, failing.hr);
    EXPECT_EQ(L"Error", failing.output);
    EXPECT_EQ(L"3", Field(12, L"ToDo_Status"));

    simtest::CallResult claims = simtest::RecordCall(workspace_.get(), L"ActionTask", {I4(L"ToDo_Index", 7)});
    ASSERT_EQ(S_OK, claims.hr);
    EXPECT_EQ(L"<Claims>\n<Claim OID=\"1002\" Name=\"V-205\" Locked=\"1\" LockedBy=\"kmueller\"/>\n</Claims>", claims.output);
    EXPECT_EQ(L"2", Field(7, L"ToDo_Status"));
}

TEST_F(SimFramework, AssignmentsBelongToTheirTaskAndFollowSetTaskItemDataOnTheSameRequest) {
    simtest::CallResult got = simtest::TextCall(workspace_.get(), L"GetTaskAssignments", L"3");
    ASSERT_EQ(S_OK, got.hr) << got.error.c_str();
    EXPECT_EQ(0u, got.output.find(L"<O X=\"3\" U=\"51B0E7F4-0003\" I=\"VLV\" N=\"XV-1203\""));
    EXPECT_EQ(L"", simtest::TextCall(workspace_.get(), L"GetTaskAssignments", L"9").output);

    const std::wstring document = L"<O X=\"3\" N=\"XV-1203\" C=\"On/Off Valve\"><A I=\"Size\" V=\"10\" S=\"1\" C=\"0\"/></O>";
    auto save = [&](long index, const std::wstring& assignments) {
        winkit::ComPtr<IServiceRequest> request;
        EXPECT_EQ(S_OK, workspace_->CreateServiceRequest(request.put()));
        winkit::UniqueBstr element = winkit::UniqueBstr::Copy(L"TaskItem");
        request->SetFlags(0);
        request->SetComponent(winkit::UniqueBstr::Copy(L"QRDBEFrameworkSvcs.Main").get());
        request->SetMethod(winkit::UniqueBstr::Copy(L"SetTaskItemData").get());
        request->BeginInput();
        request->BeginElement(element.get());
        request->AddField(winkit::UniqueBstr::Copy(L"ToDo_Index").get(), *winkit::UniqueVariant::Long(index).get());
        request->AddField(winkit::UniqueBstr::Copy(L"ToDo_Notes").get(), *winkit::UniqueVariant::String(L"saved").get());
        request->EndElement(element.get());
        EXPECT_EQ(S_OK, request->Execute(0));
        request->SetMethod(winkit::UniqueBstr::Copy(L"SetTaskAssignments").get());
        request->SetInput(winkit::UniqueBstr::Copy(assignments).get());
        SetErrorInfo(0, nullptr);
        HRESULT hr = request->Execute(0);
        return std::make_pair(hr, simtest::TakeErrorDescription());
    };
    EXPECT_EQ(S_OK, save(3, document).first);
    EXPECT_EQ(document, simtest::TextCall(workspace_.get(), L"GetTaskAssignments", L"3").output);
    EXPECT_EQ(L"saved", Field(3, L"ToDo_Notes"));

    // A document built for task 3 is not kept for task 9, whose own stays as it was.
    auto refused = save(9, document);
    EXPECT_EQ(E_INVALIDARG, refused.first);
    EXPECT_EQ(L"SetTaskAssignments: the assignments document is for the task with X='3', not for ToDo_Index 9",
              FirstDesc(refused.second));
    EXPECT_EQ(L"", simtest::TextCall(workspace_.get(), L"GetTaskAssignments", L"9").output);
    EXPECT_EQ(E_INVALIDARG, save(3, L"<O X=\"3\">").first);
    EXPECT_EQ(E_INVALIDARG, save(3, L"<A I=\"x\"/>").first);
    EXPECT_EQ(document, simtest::TextCall(workspace_.get(), L"GetTaskAssignments", L"3").output);
    // Without a document the task keeps its own.
    EXPECT_EQ(S_OK, save(3, L"").first);
    EXPECT_EQ(document, simtest::TextCall(workspace_.get(), L"GetTaskAssignments", L"3").output);

    for (const wchar_t* bad : {L"0", L"31", L"-1", L"3x", L" 3", L"99999999999"})
        EXPECT_EQ(E_INVALIDARG, simtest::TextCall(workspace_.get(), L"GetTaskAssignments", bad).hr) << bad;
    EXPECT_EQ(E_INVALIDARG, simtest::TextCall(workspace_.get(), L"GetTaskAssignments").hr);
    // Without a record on the request there is no task to keep the document for.
    EXPECT_EQ(E_INVALIDARG, simtest::TextCall(workspace_.get(), L"SetTaskAssignments", document).hr);
}

TEST_F(SimFramework, GetEFDataAndSynchronizeObjectClaimAnswerFromTheWorkspace) {
    simtest::CallResult data = simtest::TextCall(workspace_.get(), L"GetEFData");
    ASSERT_EQ(S_OK, data.hr);
    EXPECT_EQ(L"<FrameworkData EFURL=\"http://zod-ef.northfield.example/ef/services\" EFPLANT=\"NORTHFIELD\""
              L" EFSIGNATURE=\"ZOD-7F3A-2291\" TEFVERSION=\"3.65\" EFUID=\"jdoe\" EFNAME=\"Northfield Engineering Framework\""
              L" RESTORE=\"\" PLANTNAME=\"Northfield Refinery\" AREANAME=\"Area 01 Feed\" UNITNAME=\"Unit 0101\"/>",
              data.output);
    EXPECT_EQ(E_INVALIDARG, simtest::TextCall(workspace_.get(), L"GetEFData", L"x").hr);

    EXPECT_EQ(L"<Claims>\n<Claim OID=\"1001\" Name=\"P-101A\" Locked=\"0\"/>\n</Claims>",
              simtest::TextCall(workspace_.get(), L"SynchronizeObjectClaim", L"1001").output);
    simtest::CallResult unknown = simtest::TextCall(workspace_.get(), L"SynchronizeObjectClaim", L"4711");
    EXPECT_EQ(S_OK, unknown.hr);
    EXPECT_EQ(L"", unknown.output);
    EXPECT_EQ(E_INVALIDARG, simtest::TextCall(workspace_.get(), L"SynchronizeObjectClaim").hr);
}

TEST_F(SimFramework, BadRequestsFailWithAReasonAndLeaveTheFileUntouched) {
    struct Case {
        const wchar_t* method;
        std::vector<std::pair<const wchar_t*, winkit::UniqueVariant>> fields;
        HRESULT expected;
        const wchar_t* reason;  // the start of the first Desc
    };
    auto f = [](const wchar_t* n, winkit::UniqueVariant v) { return std::make_pair(n, std::move(v)); };
    using V = winkit::UniqueVariant;
    std::vector<Case> cases;
    auto add = [&](const wchar_t* method, HRESULT hr, const wchar_t* reason, auto... fields) {
        Case c{method, {}, hr, reason};
        (c.fields.push_back(std::move(fields)), ...);
        cases.push_back(std::move(c));
    };
    add(L"RunTask", DISP_E_MEMBERNOTFOUND, L"QRDBEFrameworkSvcs.Main has no method 'RunTask'", f(L"ToDo_Index", V::Long(1)));
    add(L"SetTaskItemData", E_INVALIDARG, L"SetTaskItemData: the field 'ToDo_Index' is missing", f(L"ToDo_Name", V::String(L"x")));
    add(L"SetTaskItemData", E_INVALIDARG, L"SetTaskItemData: the field 'ToDo_Index' is VT_BSTR; VT_I4 is expected",
        f(L"ToDo_Index", V::String(L"1")));
    add(L"SetTaskItemData", E_INVALIDARG, L"SetTaskItemData: ToDo_Index 0 lies outside the tasks 1 to 30", f(L"ToDo_Index", V::Long(0)));
    add(L"SetTaskItemData", E_INVALIDARG, L"SetTaskItemData: ToDo_Index 31 lies outside the tasks 1 to 30", f(L"ToDo_Index", V::Long(31)));
    add(L"SetTaskItemData", E_INVALIDARG, L"SetTaskItemData: the field 'ToDo_Status' holds 5; a value from 0 to 4 is expected",
        f(L"ToDo_Index", V::Long(1)), f(L"ToDo_Name", V::String(L"changed")), f(L"ToDo_Status", V::Long(5)));
    add(L"SetTaskItemData", E_INVALIDARG, L"SetTaskItemData: the field 'ToDo_Status' is VT_R8; VT_I4 is expected",
        f(L"ToDo_Index", V::Long(1)), f(L"ToDo_Status", V::Double(2)));
    add(L"SetTaskItemData", E_INVALIDARG, L"SetTaskItemData: the field 'ToDo_ModifiedDate' is VT_BSTR; VT_R8 is expected",
        f(L"ToDo_Index", V::Long(1)), f(L"ToDo_ModifiedDate", V::String(L"2026-12-05")));
    add(L"SetTaskItemData", E_INVALIDARG, L"SetTaskItemData: the field 'ToDo_RunDate' holds", f(L"ToDo_Index", V::Long(1)),
        f(L"ToDo_RunDate", V::Double(std::nan(""))));
    add(L"SetTaskItemData", E_INVALIDARG, L"SetTaskItemData: the field 'ToDo_Notes' holds the character U+0001",
        f(L"ToDo_Index", V::Long(1)), f(L"ToDo_Notes", V::String(L"bell\x01")));
    add(L"SetTaskItemData", E_INVALIDARG, L"SetTaskItemData does not take the field 'ToDo_Colour'",
        f(L"ToDo_Index", V::Long(1)), f(L"ToDo_Colour", V::String(L"red")));
    add(L"SetTaskItemData", E_INVALIDARG, L"The request's input is not usable: The field 'ToDo_Index' was given twice",
        f(L"ToDo_Index", V::Long(1)), f(L"ToDo_Index", V::Long(2)));
    add(L"SetTaskItemData", E_INVALIDARG, L"The request's input is not usable: The field 'ToDo_Name' has the VARIANT type 11",
        f(L"ToDo_Index", V::Long(1)), f(L"ToDo_Name", V::Bool(true)));
    add(L"DeleteTask", E_INVALIDARG, L"DeleteTask: the field 'Count' is missing", f(L"ToDo_Index", V::Long(1)));
    add(L"DeleteTask", E_INVALIDARG, L"DeleteTask: Count is 0; at least 1 task is deleted", f(L"ToDo_Index", V::Long(1)), f(L"Count", V::Long(0)));
    add(L"DeleteTask", E_INVALIDARG, L"DeleteTask: 2147483647 tasks from ToDo_Index 2 reach beyond",
        f(L"ToDo_Index", V::Long(2)), f(L"Count", V::Long(2147483647)));
    add(L"DeferTask", E_INVALIDARG, L"DeferTask does not take the field 'ToDo_Status'", f(L"ToDo_Index", V::Long(1)), f(L"ToDo_Status", V::Long(0)));
    add(L"ActionTask", E_INVALIDARG, L"ActionTask: ToDo_Index -4 lies outside the tasks 1 to 30", f(L"ToDo_Index", V::Long(-4)));
    add(L"CreateTask", E_INVALIDARG, L"CreateTask: the field 'ToDo_Name' is missing", f(L"ToDo_Notes", V::String(L"n")));

    std::string before = simtest::ReadBytes(path_);
    for (Case& c : cases) {
        winkit::ComPtr<IServiceRequest> request;
        ASSERT_EQ(S_OK, workspace_->CreateServiceRequest(request.put()));
        winkit::UniqueBstr element = winkit::UniqueBstr::Copy(L"TaskItem");
        request->SetFlags(0);
        request->SetComponent(winkit::UniqueBstr::Copy(L"QRDBEFrameworkSvcs.Main").get());
        request->SetMethod(winkit::UniqueBstr::Copy(c.method).get());
        request->BeginInput();
        request->BeginElement(element.get());
        for (auto& field : c.fields) request->AddField(winkit::UniqueBstr::Copy(field.first).get(), *field.second.get());
        request->EndElement(element.get());
        SetErrorInfo(0, nullptr);
        EXPECT_EQ(c.expected, request->Execute(0)) << c.reason;
        std::wstring desc = FirstDesc(simtest::TakeErrorDescription());
        EXPECT_EQ(0u, desc.find(c.reason)) << "got: " << std::string(desc.begin(), desc.end());
        winkit::UniqueBstr output;
        EXPECT_EQ(S_OK, request->GetOutput(output.put()));
        EXPECT_EQ(0u, output.size());
    }
    simtest::CallResult wrongComponent = simtest::RecordCall(workspace_.get(), L"SetTaskItemData",
        {I4(L"ToDo_Index", 1), Text(L"ToDo_Name", L"x")}, L"QRDBEFrameworkSvcs.Other");
    EXPECT_EQ(REGDB_E_CLASSNOTREG, wrongComponent.hr);
    EXPECT_EQ(before, simtest::ReadBytes(path_));
    EXPECT_EQ(std::vector<std::wstring>{L"workspace.xml"}, folder_.Files());
}

TEST_F(SimFramework, InputCallsOutOfOrderAreRefusedAtOnceAndAtExecute) {
    winkit::ComPtr<IServiceRequest> request;
    ASSERT_EQ(S_OK, workspace_->CreateServiceRequest(request.put()));
    winkit::UniqueBstr element = winkit::UniqueBstr::Copy(L"TaskItem");
    request->SetComponent(winkit::UniqueBstr::Copy(L"QRDBEFrameworkSvcs.Main").get());
    request->SetMethod(winkit::UniqueBstr::Copy(L"SetTaskItemData").get());
    EXPECT_EQ(E_UNEXPECTED, request->BeginElement(element.get()));
    request->BeginInput();
    EXPECT_EQ(E_UNEXPECTED, request->AddField(winkit::UniqueBstr::Copy(L"ToDo_Index").get(), *winkit::UniqueVariant::Long(1).get()));
    EXPECT_EQ(E_UNEXPECTED, request->Execute(0));
    // BeginInput starts afresh.
    request->BeginInput();
    EXPECT_EQ(E_INVALIDARG, request->BeginElement(winkit::UniqueBstr::Copy(L"Task").get()));
    request->BeginInput();
    EXPECT_EQ(S_OK, request->BeginElement(element.get()));
    EXPECT_EQ(S_OK, request->AddField(winkit::UniqueBstr::Copy(L"ToDo_Index").get(), *winkit::UniqueVariant::Long(2).get()));
    EXPECT_EQ(E_UNEXPECTED, request->Execute(0));  // the element is still open
    EXPECT_EQ(E_INVALIDARG, request->EndElement(winkit::UniqueBstr::Copy(L"Other").get()));
    request->BeginInput();
    request->BeginElement(element.get());
    request->AddField(winkit::UniqueBstr::Copy(L"ToDo_Index").get(), *winkit::UniqueVariant::Long(2).get());
    request->AddField(winkit::UniqueBstr::Copy(L"ToDo_Notes").get(), *winkit::UniqueVariant::String(L"ok").get());
    EXPECT_EQ(S_OK, request->EndElement(element.get()));
    EXPECT_EQ(E_UNEXPECTED, request->BeginElement(element.get()));
    request->BeginInput();
    request->BeginElement(element.get());
    request->AddField(winkit::UniqueBstr::Copy(L"ToDo_Index").get(), *winkit::UniqueVariant::Long(2).get());
    request->AddField(winkit::UniqueBstr::Copy(L"ToDo_Notes").get(), *winkit::UniqueVariant::String(L"ok").get());
    request->EndElement(element.get());
    EXPECT_EQ(S_OK, request->Execute(0));
    EXPECT_EQ(L"ok", Field(2, L"ToDo_Notes"));
    SetErrorInfo(0, nullptr);
}

TEST_F(SimFramework, PrivilegesOfTheWorkspaceUserAreEnforced) {
    std::string text = simtest::ReadBytes(path_);
    size_t at = text.find("<Privileges Delete=\"1\" Run=\"1\" Defer=\"1\"/>");
    ASSERT_NE(std::string::npos, at);
    text.replace(at, 42, "<Privileges Delete=\"0\" Run=\"0\" Defer=\"0\"/>");
    simtest::WriteBytes(path_, text);
    EXPECT_EQ(0u, simtest::TextCall(workspace_.get(), L"GetTaskList").output.find(
                      L"<TaskItemList>\n<Privilege Delete=\"0\" Run=\"0\" Defer=\"0\"/>"));
    simtest::CallResult run = simtest::RecordCall(workspace_.get(), L"ActionTask", {I4(L"ToDo_Index", 1)});
    EXPECT_EQ(E_ACCESSDENIED, run.hr);
    EXPECT_EQ(L"ActionTask: the user 'PLANT\\jdoe' may not run tasks in this workspace", FirstDesc(run.error));
    EXPECT_EQ(E_ACCESSDENIED, simtest::RecordCall(workspace_.get(), L"DeferTask", {I4(L"ToDo_Index", 1)}).hr);
    EXPECT_EQ(E_ACCESSDENIED, simtest::RecordCall(workspace_.get(), L"DeleteTask", {I4(L"ToDo_Index", 1), I4(L"Count", 1)}).hr);
    EXPECT_EQ(text, simtest::ReadBytes(path_));
}

TEST_F(SimFramework, WorkspaceNamesItsUserAndRefusesWorkBeforeAFileIsOpen) {
    winkit::UniqueBstr user, name;
    EXPECT_EQ(S_OK, workspace_->GetUserName(user.put()));
    EXPECT_EQ(L"PLANT\\jdoe", user.str());
    EXPECT_EQ(S_OK, workspace_->GetWorkspaceName(name.put()));
    EXPECT_EQ(L"Unit 0101 Feed Pumps and Cooling Water", name.str());

    std::string text = simtest::ReadBytes(path_);
    text.replace(text.find("User=\"PLANT\\jdoe\""), 17, "User=\"\"");
    simtest::WriteBytes(path_, text);
    EXPECT_EQ(S_OK, workspace_->GetUserName(user.put()));
    EXPECT_EQ(L"", user.str());

    winkit::ComPtr<IWorkspace> unopened;
    ASSERT_EQ(S_OK, sim::SimWorkspace::Create(nullptr, __uuidof(IWorkspace), unopened.put_void()));
    winkit::ComPtr<IServiceRequest> request;
    EXPECT_EQ(E_UNEXPECTED, unopened->CreateServiceRequest(request.put()));
    EXPECT_FALSE(request);
    EXPECT_EQ(L"No workspace file is open; call Open first", FirstDesc(simtest::TakeErrorDescription()));
    // A file that cannot be opened leaves the open one in place.
    auto scriptable = simtest::Scriptable(workspace_.get());
    EXPECT_TRUE(FAILED(scriptable->Open(winkit::UniqueBstr::Copy(folder_.File(L"missing.xml")).get())));
    simtest::TakeErrorDescription();
    EXPECT_EQ(30, Count());
    EXPECT_EQ(E_POINTER, workspace_->GetUserName(nullptr));
    SetErrorInfo(0, nullptr);
}
