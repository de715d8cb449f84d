// The task list fetch, asserted through the collection's state. Needs
// TaskItemCollection::Load (the TaskItemList reader) to link.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include "support/fake_host.h"
#include "frameworkgateway.h"
#include "taskitemcollection.h"

using testing::_;
using testing::InSequence;
using testing::Return;
using testing::StrictMock;
using testcom::Text;

namespace {

class FrameworkGatewayFetchTest : public testing::Test {
protected:
    void SetUp() override {
        // One task listed before the fetch.
        tasks.Items().emplace_back();
        tasks.Items().back().ToDo_Index = 1;
    }
    void TearDown() override {
        EXPECT_EQ(1u, request->RefCount());
        EXPECT_EQ(1u, workspace->RefCount());
        request.reset();
        workspace.reset();
        EXPECT_EQ(0, testcom::LiveObjects());
    }
    void ExpectOpen() {
        EXPECT_CALL(*workspace, CreateServiceRequest(_)).WillOnce(testcom::HandOut<IServiceRequest>(request.get()));
        EXPECT_CALL(*request, SetFlags(0)).WillOnce(Return(S_OK));
        EXPECT_CALL(*request, SetComponent(Text(L"QRDBEFrameworkSvcs.Main"))).WillOnce(Return(S_OK));
        EXPECT_CALL(*request, SetMethod(Text(L"GetTaskList"))).WillOnce(Return(S_OK));
    }

    TaskItemCollection tasks;
    testcom::Fake<StrictMock<testcom::MockWorkspace>> workspace;
    testcom::Fake<StrictMock<testcom::MockServiceRequest>> request;
};

TEST_F(FrameworkGatewayFetchTest, FailedFetchKeepsTheListedTasks) {
    {
        InSequence order;
        ExpectOpen();
        EXPECT_CALL(*request, Execute(0)).WillOnce(Return(E_FAIL));
    }
    FetchTaskList(workspace.get(), tasks);
    EXPECT_EQ(1u, tasks.Count());

    EXPECT_CALL(*workspace, CreateServiceRequest(_)).WillOnce(Return(E_FAIL));
    FetchTaskList(workspace.get(), tasks);
    EXPECT_EQ(1u, tasks.Count());

    FetchTaskList(nullptr, tasks);
    EXPECT_EQ(1u, tasks.Count());
}

TEST_F(FrameworkGatewayFetchTest, EmptyOutputEmptiesTheList) {
    {
        InSequence order;
        ExpectOpen();
        EXPECT_CALL(*request, Execute(0)).WillOnce(Return(S_OK));
        EXPECT_CALL(*request, GetOutput(_)).WillOnce(testcom::WriteText(L""));
    }
    EXPECT_CALL(*request, SetInput(_)).Times(0);
    FetchTaskList(workspace.get(), tasks);
    EXPECT_EQ(0u, tasks.Count());
}

TEST_F(FrameworkGatewayFetchTest, FailedReadLoadsAnEmptyDocument) {
    {
        InSequence order;
        ExpectOpen();
        EXPECT_CALL(*request, Execute(0)).WillOnce(Return(S_OK));
        EXPECT_CALL(*request, GetOutput(_)).WillOnce(Return(E_FAIL));
    }
    FetchTaskList(workspace.get(), tasks);
    EXPECT_EQ(0u, tasks.Count());
}

} // namespace
