// The simulated framework component as the To Do list calls it: through the library's
// requests on the workspace, saving into the workspace file at once.
#include <gtest/gtest.h>
#include "frameworkgateway.h"
#include "simtestsupport.h"

using winkit::UniqueBstr;

// The To Do list deletes the selected 3, 4, 5, 9 and 10 as (3, 3) and then (6, 2): the
// tasks after a run move up at once, in the file too.
TEST(SimFramework, DeletedRunsRenumberTheTasksAfterThem) {
    simtest::SampleCopy sample;
    ASSERT_TRUE(sample.workspace);
    auto remove = [&](long index, long count) {
        FrameworkRequest request;
        EXPECT_EQ(S_OK, FrameworkRequest::Open(sample.workspace.get(), L"DeleteTask", request));
        request.BeginInput();
        request.BeginRecord();
        request.AddLong(L"ToDo_Index", index);
        request.AddLong(L"Count", count);
        request.EndRecord();
        HRESULT hr = request.Execute();
        return std::to_wstring(hr) + L" " + (FAILED(hr) ? simtest::TakeErrorDesc() : L"");
    };
    std::vector<std::wstring> names;
    for (long i = 1; i <= 30; ++i)
        if (i < 3 || (i > 5 && i != 9 && i != 10)) names.push_back(sample.Field(i, L"ToDo_Name"));
    ASSERT_EQ(L"0 ", remove(3, 3));
    ASSERT_EQ(L"0 ", remove(6, 2));
    simtest::SampleCopy reopened;
    reopened.scriptable->Open(UniqueBstr::Copy(sample.path).get());
    names.push_back(L"FAILED");  // no task 26 any more
    for (size_t i = 1; i <= names.size(); ++i) EXPECT_EQ(names[i - 1], reopened.Field(static_cast<long>(i), L"ToDo_Name")) << i;
    EXPECT_EQ(L"0 ", remove(25, 1)) << "the last task";
    EXPECT_EQ(std::to_wstring(E_INVALIDARG) + L" DeleteTask: 3 tasks from ToDo_Index 23 reach beyond the last task 24",
              remove(23, 3));
}
