// The simulated framework component as the To Do list calls it: through the library's
// requests on the registered workspace, saving into the workspace file at once.
#include <gtest/gtest.h>
#include "diagnostics/qrerrorelement.h"
#include "frameworkgateway.h"
#include "support/errorinfo_helpers.h"
#include "support/sim_workspace.h"

// The To Do list deletes the selected 3, 4, 5, 9 and 10 as (3, 3) and then (6, 2): the
// tasks after a run move up at once, in the file too.
TEST(SimFramework, DeletedRunsRenumberTheTasksAfterThem) {
    SimWorkspace sample;
    ASSERT_TRUE(sample.ok()) << "QRSim.Workspace must be registered (register-components.sh)";
    auto remove = [&](long index, long count) {
        FrameworkRequest request;
        EXPECT_EQ(S_OK, FrameworkRequest::Open(sample.Workspace(), L"DeleteTask", request));
        request.BeginInput();
        request.BeginRecord();
        request.AddLong(L"ToDo_Index", index);
        request.AddLong(L"Count", count);
        request.EndRecord();
        HRESULT hr = request.Execute();
        return std::to_wstring(hr) + L" " + (FAILED(hr) ? FirstDesc(TakeThreadError().description) : L"");
    };
    std::vector<std::wstring> names;
    for (long i = 1; i <= 30; ++i)
        if (i < 3 || (i > 5 && i != 9 && i != 10)) names.push_back(sample.TaskField(i, L"ToDo_Name"));
    ASSERT_EQ(L"0 ", remove(3, 3));
    ASSERT_EQ(L"0 ", remove(6, 2));
    SimWorkspace reopened(sample.Path());  // a copy of the file as it was saved
    names.push_back(L"(failed)");          // no task 26 any more
    for (size_t i = 1; i <= names.size(); ++i)
        EXPECT_EQ(names[i - 1], reopened.TaskField(static_cast<long>(i), L"ToDo_Name")) << i;
    EXPECT_EQ(L"0 ", remove(25, 1)) << "the last task";
    EXPECT_EQ(std::to_wstring(E_INVALIDARG) + L" DeleteTask: 3 tasks from ToDo_Index 23 reach beyond the last task 24",
              remove(23, 3));
}
