// The gateway's calling order on the host's service request, against strict fakes.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include "support/fake_host.h"
#include "frameworkgateway.h"
#include "winkit/module_lock.h"

using testing::_;
using testing::InSequence;
using testing::Return;
using testing::StrictMock;
using testcom::Text;

namespace {

MATCHER_P(LongValue, expected, "") { return V_VT(&arg) == VT_I4 && V_I4(&arg) == expected; }
MATCHER_P(DoubleValue, expected, "") { return V_VT(&arg) == VT_R8 && V_R8(&arg) == expected; }
MATCHER_P(TextValue, expected, "") {
    return V_VT(&arg) == VT_BSTR && std::wstring(V_BSTR(&arg), SysStringLen(V_BSTR(&arg))) == expected;
}

class FrameworkGatewayTest : public testing::Test {
protected:
    void TearDown() override {
        // Everything the gateway took, it gave back: only the test's references remain.
        EXPECT_EQ(1u, request->RefCount());
        EXPECT_EQ(1u, workspace->RefCount());
        request.reset();
        workspace.reset();
        EXPECT_EQ(0, testcom::LiveObjects());
    }

    // The opening every request goes through, in its fixed order.
    void ExpectOpen(const wchar_t* method) {
        EXPECT_CALL(*workspace, CreateServiceRequest(_)).WillOnce(testcom::HandOut<IServiceRequest>(request.get()));
        EXPECT_CALL(*request, SetFlags(0)).WillOnce(Return(S_OK));
        EXPECT_CALL(*request, SetComponent(Text(L"QRDBEFrameworkSvcs.Main"))).WillOnce(Return(S_OK));
        EXPECT_CALL(*request, SetMethod(Text(method))).WillOnce(Return(S_OK));
    }

    testcom::Fake<StrictMock<testcom::MockWorkspace>> workspace;
    testcom::Fake<StrictMock<testcom::MockServiceRequest>> request;
};

TEST_F(FrameworkGatewayTest, TextCallSetsUpExecutesAndReadsInOrder) {
    {
        InSequence order;
        ExpectOpen(L"GetTaskAssignments");
        EXPECT_CALL(*request, SetInput(Text(L"7"))).WillOnce(Return(S_OK));
        EXPECT_CALL(*request, Execute(0)).WillOnce(Return(S_OK));
        EXPECT_CALL(*request, GetOutput(_)).WillOnce(testcom::WriteText(L"<Assignments/>"));
    }
    winkit::UniqueBstr output = winkit::UniqueBstr::Copy(L"previous");
    EXPECT_EQ(S_OK, FrameworkTextCall(workspace.get(), L"GetTaskAssignments", L"7", output));
    EXPECT_EQ(L"<Assignments/>", output.str());
}

TEST_F(FrameworkGatewayTest, TextCallWithEmptyInputNeverSetsInput) {
    {
        InSequence order;
        ExpectOpen(L"GetEFData");
        EXPECT_CALL(*request, Execute(0)).WillOnce(Return(S_OK));
        EXPECT_CALL(*request, GetOutput(_)).WillOnce(testcom::WriteText(L"<EF/>"));
    }
    EXPECT_CALL(*request, SetInput(_)).Times(0);
    winkit::UniqueBstr output;
    EXPECT_EQ(S_OK, FrameworkTextCall(workspace.get(), L"GetEFData", L"", output));
    EXPECT_EQ(L"<EF/>", output.str());
}

TEST_F(FrameworkGatewayTest, TextCallFailuresReturnTheirResultAndKeepTheCallersText) {
    const HRESULT kRefused = static_cast<HRESULT>(0x80041001);
    winkit::UniqueBstr output = winkit::UniqueBstr::Copy(L"kept");

    // No request: nothing else is called.
    EXPECT_CALL(*workspace, CreateServiceRequest(_)).WillOnce(Return(kRefused));
    EXPECT_EQ(kRefused, FrameworkTextCall(workspace.get(), L"GetEFData", L"", output));
    EXPECT_EQ(L"kept", output.str());
    testing::Mock::VerifyAndClearExpectations(workspace.get());

    // A failed Execute is never followed by GetOutput.
    {
        InSequence order;
        ExpectOpen(L"SynchronizeObjectClaim");
        EXPECT_CALL(*request, SetInput(Text(L"42"))).WillOnce(Return(S_OK));
        EXPECT_CALL(*request, Execute(0)).WillOnce(Return(kRefused));
    }
    EXPECT_CALL(*request, GetOutput(_)).Times(0);
    EXPECT_EQ(kRefused, FrameworkTextCall(workspace.get(), L"SynchronizeObjectClaim", L"42", output));
    EXPECT_EQ(L"kept", output.str());
    testing::Mock::VerifyAndClearExpectations(request.get());

    // A failed read hands nothing over, even what the request wrote.
    {
        InSequence order;
        ExpectOpen(L"GetEFData");
        EXPECT_CALL(*request, Execute(0)).WillOnce(Return(S_OK));
        EXPECT_CALL(*request, GetOutput(_)).WillOnce(testcom::WriteText(L"partial", kRefused));
    }
    EXPECT_EQ(kRefused, FrameworkTextCall(workspace.get(), L"GetEFData", L"", output));
    EXPECT_EQ(L"kept", output.str());
}

TEST_F(FrameworkGatewayTest, RecordCallWrapsItsFieldsInOneTaskItemElement) {
    {
        InSequence order;
        ExpectOpen(L"DeferTask");
        EXPECT_CALL(*request, BeginInput()).WillOnce(Return(S_OK));
        EXPECT_CALL(*request, BeginElement(Text(L"TaskItem"))).WillOnce(Return(S_OK));
        EXPECT_CALL(*request, AddField(Text(L"ToDo_Index"), LongValue(3))).WillOnce(Return(S_OK));
        EXPECT_CALL(*request, AddField(Text(L"ToDo_DeferredBy"), TextValue(L"anna"))).WillOnce(Return(S_OK));
        EXPECT_CALL(*request, AddField(Text(L"ToDo_DeferredDate"), DoubleValue(46361.5))).WillOnce(Return(S_OK));
        EXPECT_CALL(*request, EndElement(Text(L"TaskItem"))).WillOnce(Return(S_OK));
        EXPECT_CALL(*request, Execute(0)).WillOnce(Return(S_OK));
        EXPECT_CALL(*request, GetOutput(_)).WillOnce(testcom::WriteText(L""));
    }
    FrameworkRequest call;
    ASSERT_EQ(S_OK, FrameworkRequest::Open(workspace.get(), L"DeferTask", call));
    call.BeginInput();
    call.BeginRecord();
    call.AddLong(L"ToDo_Index", 3);
    call.AddText(L"ToDo_DeferredBy", L"anna");
    call.AddDate(L"ToDo_DeferredDate", 46361.5);
    call.EndRecord();
    ASSERT_EQ(S_OK, call.Execute());
    winkit::UniqueBstr output;
    EXPECT_EQ(S_OK, call.GetOutput(output));
}

TEST_F(FrameworkGatewayTest, RecordCallWithOneFieldStillOpensAndClosesTaskItem) {
    {
        InSequence order;
        ExpectOpen(L"SetTaskItemData");
        EXPECT_CALL(*request, BeginInput()).WillOnce(Return(S_OK));
        EXPECT_CALL(*request, BeginElement(Text(L"TaskItem"))).WillOnce(Return(S_OK));
        EXPECT_CALL(*request, AddField(Text(L"ToDo_Index"), LongValue(1))).WillOnce(Return(S_OK));
        EXPECT_CALL(*request, EndElement(Text(L"TaskItem"))).WillOnce(Return(S_OK));
        EXPECT_CALL(*request, Execute(0)).WillOnce(Return(S_OK));
        // A second method on the same request: no new SetFlags, SetComponent or BeginInput.
        EXPECT_CALL(*request, SetMethod(Text(L"SetTaskAssignments"))).WillOnce(Return(S_OK));
        EXPECT_CALL(*request, SetInput(Text(L"<A/>"))).WillOnce(Return(S_OK));
        EXPECT_CALL(*request, Execute(0)).WillOnce(Return(S_OK));
    }
    FrameworkRequest call;
    ASSERT_EQ(S_OK, FrameworkRequest::Open(workspace.get(), L"SetTaskItemData", call));
    call.BeginInput();
    call.BeginRecord();
    call.AddLong(L"ToDo_Index", 1);
    call.EndRecord();
    ASSERT_EQ(S_OK, call.Execute());
    call.SetMethod(L"SetTaskAssignments");
    call.SetInput(L"<A/>");
    EXPECT_EQ(S_OK, call.Execute());
}

// A framework that fills a missing field with a default would act on another task: a
// record with a field the request refused is never executed, whichever call refused.
TEST_F(FrameworkGatewayTest, RecordThatCouldNotBeBuiltIsNotExecuted) {
    const HRESULT kRefused = static_cast<HRESULT>(0x80041002);
    struct Refusal {
        const char* call;
        HRESULT beginInput, beginElement, index, count, endElement;
    };
    const Refusal refusals[] = {
        {"BeginInput", kRefused, S_OK, S_OK, S_OK, S_OK},
        {"BeginElement", S_OK, kRefused, S_OK, S_OK, S_OK},
        {"the first AddField", S_OK, S_OK, kRefused, S_OK, S_OK},
        {"the last AddField", S_OK, S_OK, S_OK, kRefused, S_OK},
        {"EndElement", S_OK, S_OK, S_OK, S_OK, kRefused},
    };
    for (const Refusal& refusal : refusals) {
        SCOPED_TRACE(refusal.call);
        ExpectOpen(L"DeleteTask");
        EXPECT_CALL(*request, BeginInput()).WillOnce(Return(refusal.beginInput));
        EXPECT_CALL(*request, BeginElement(_)).WillOnce(Return(refusal.beginElement));
        EXPECT_CALL(*request, AddField(Text(L"ToDo_Index"), _)).WillOnce(Return(refusal.index));
        EXPECT_CALL(*request, AddField(Text(L"Count"), _)).WillOnce(Return(refusal.count));
        EXPECT_CALL(*request, EndElement(_)).WillOnce(Return(refusal.endElement));
        EXPECT_CALL(*request, Execute(_)).Times(0);
        FrameworkRequest call;
        ASSERT_EQ(S_OK, FrameworkRequest::Open(workspace.get(), L"DeleteTask", call));
        call.BeginInput();
        call.BeginRecord();
        call.AddLong(L"ToDo_Index", 3);
        call.AddLong(L"Count", 2);
        call.EndRecord();
        EXPECT_EQ(kRefused, call.Execute());
        // Nor is a second method given the broken record.
        EXPECT_CALL(*request, SetMethod(Text(L"SetTaskAssignments"))).WillOnce(Return(S_OK));
        call.SetMethod(L"SetTaskAssignments");
        EXPECT_EQ(kRefused, call.Execute());
        call = FrameworkRequest();
        testing::Mock::VerifyAndClearExpectations(request.get());
        testing::Mock::VerifyAndClearExpectations(workspace.get());
    }
}

TEST_F(FrameworkGatewayTest, RequestThatCannotBeMadeCallsNothing) {
    EXPECT_CALL(*workspace, CreateServiceRequest(_)).WillOnce(Return(E_OUTOFMEMORY));
    FrameworkRequest call;
    EXPECT_EQ(E_OUTOFMEMORY, FrameworkRequest::Open(workspace.get(), L"CreateTask", call));
    EXPECT_EQ(nullptr, call.get());
}

} // namespace
